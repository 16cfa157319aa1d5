#include "discovery/ScanRoot.h"

#include "platform/FileNameCodec.h"

#include <sys/stat.h>

bool scanRootAnswers(const QString& strStartDir) {
    if (strStartDir.isEmpty()) {
        return true;
    }
    // Through the name's own bytes, so a root whose name is not valid in the locale still answers.
    struct stat info {};
    return stat(FileNameCodec::encode(strStartDir).constData(), &info) == 0;
}

QString scanResultText(qsizetype found) {
    if (found == 0) {
        return QStringLiteral("Файлов нет!");
    }
    return QStringLiteral("Выбрано: ") + QString::number(found) + QStringLiteral(" файл(ов)");
}
