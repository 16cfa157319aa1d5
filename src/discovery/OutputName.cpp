#include "discovery/OutputName.h"

#include "discovery/StringUtils.h"

QString proposedOutputName(const QString& fileMask, const QString& featureMask) {
    const auto withoutWildcards = [](const QString& mask) {
        return StrTran(QStringLiteral("?"), StrTran(QStringLiteral("*"), mask));
    };
    if (fileMask != QStringLiteral("*"))
        return withoutWildcards(fileMask);
    if (featureMask != QStringLiteral("*"))
        return withoutWildcards(featureMask);
    return QStringLiteral("Merge");
}
