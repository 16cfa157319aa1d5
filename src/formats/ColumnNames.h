#pragma once

#include <QSet>
#include <QString>

// The column names of one new table, each unique with letter case ignored: a name asked for
// again gets "_1", "_2", ... added. So a feature id or geometry column never takes the place of
// a field of the same name, in any of the typed outputs.
class ColumnNames {
public:
    // `wanted`, or it with the first number added that makes it free; taken from then on.
    QString take(const QString& wanted);

private:
    QSet<QString> m_taken;  // folded to lower case
};
