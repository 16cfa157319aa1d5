#include "discovery/ScanRoot.h"

#include <QFileInfo>

bool scanRootAnswers(const QString& strStartDir) {
    if (strStartDir.isEmpty())
        return true;
    return QFileInfo::exists(strStartDir);
}

QString scanResultText(qsizetype found) {
    if (found == 0)
        return QStringLiteral("Файлов нет!");
    return QStringLiteral("Выбрано: ") + QString::number(found) + QStringLiteral(" файл(ов)");
}
