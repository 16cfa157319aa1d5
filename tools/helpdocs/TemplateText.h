#pragma once

#include <QList>
#include <QString>

#include <utility>

// `text` with each @NAME@ replaced by its value. A value written line by line loses its last
// line break, since its placeholder stands on a line of its own.
inline QString filledTemplate(QString text, const QList<std::pair<QString, QString>>& values) {
    for (auto [name, value] : values) {
        if (value.endsWith(QLatin1Char('\n')))
            value.chop(1);
        text.replace(QLatin1Char('@') + name + QLatin1Char('@'), value);
    }
    return text;
}
