#pragma once

#include <QString>
#include <QStringList>

// What the candidate grid shows for one found file.

// The attribute table's counts as the grid shows them, in decimal digits, or " - " in both
// when the table cannot be read.
struct TableProp {
    QString recordCount;  // position 0
    QString fieldCount;   // position 1
};

// The counts of the .dbf that shares FullFileName's folder and base name (either case of the
// extension). " - " in both when there is no "." after the last "/", the folder or the table
// is missing, or its header is truncated or malformed. Nothing stays open after the call.
TableProp GetDBFTableProp(const QString& FullFileName);

// The cells of one grid row: path, field count, record count, base name.
QStringList candidateRowCells(const QString& path);
// The same row as one text: path TAB field count TAB record count TAB base name. A name that
// holds a TAB cannot be carried this way; see candidateRowCells.
QString candidateRowText(const QString& path);
