#pragma once

#include <QByteArray>
#include <QString>

// `identifier` quoted for SQLite's SQL: in double quotes, each one inside doubled.
inline QByteArray sqlIdentifier(const QString& identifier) {
    QString text = identifier;
    return '"' + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8() + '"';
}
