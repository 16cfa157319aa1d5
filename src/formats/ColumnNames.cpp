#include "formats/ColumnNames.h"

QString ColumnNames::take(const QString& wanted) {
    QString name = wanted;
    for (int n = 1; m_taken.contains(name.toLower()); ++n) {
        name = QStringLiteral("%1_%2").arg(wanted).arg(n);
    }
    m_taken.insert(name.toLower());
    return name;
}
