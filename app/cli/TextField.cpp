#include "cli/TextField.h"

QString escapeField(const QString& field) {
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
            case u'\t':
                escaped += QLatin1String("\\t");
                break;
            case u'\n':
                escaped += QLatin1String("\\n");
                break;
            case u'\r':
                escaped += QLatin1String("\\r");
                break;
            case u'\\':
                escaped += QLatin1String("\\\\");
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}
