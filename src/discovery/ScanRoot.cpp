#include "discovery/ScanRoot.h"

#include "platform/FileEntry.h"

bool scanRootAnswers(const QString& strStartDir) {
    // Through the name's own bytes, so a root whose name is not valid in the locale still answers.
    // A file is no root: walking it would find nothing and say so as if the folder were empty.
    return strStartDir.isEmpty() || FileEntry::isFolder(strStartDir);
}

QString scanResultText(qsizetype found) {
    if (found == 0) {
        return QStringLiteral("Файлов нет!");
    }
    return QStringLiteral("Выбрано: ") + QString::number(found) + QStringLiteral(" файл(ов)");
}
