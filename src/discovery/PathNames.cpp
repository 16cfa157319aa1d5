#include "discovery/PathNames.h"

QString GetFNameFromFullName(const QString& FullName) {
    const qsizetype separator = FullName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = FullName.lastIndexOf(QLatin1Char('.'));
    const qsizetype length = dot - separator - 1;
    return length < 0 ? QString() : FullName.mid(separator + 1, length);
}

QString GetLastDir(QString& sDir) {
    if (!sDir.endsWith(QLatin1Char('/')))
        sDir += QLatin1Char('/');
    const qsizetype last = sDir.size() - 1;
    if (last == 0)
        return QString();
    const qsizetype before = sDir.lastIndexOf(QLatin1Char('/'), last - 1);  // -1 when none
    return sDir.mid(before + 1, last - before - 1);
}
