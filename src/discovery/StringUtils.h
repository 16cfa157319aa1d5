#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Small list and text routines of the dialog: sorted name lists and text replacement.

// Sorts arr ascending in place; equal elements keep their order. TextComp true compares the
// upper-cased texts (every alphabet), false compares character codes ("B" < "a"). RowNum has
// no effect on a list; it is kept for callers' sake. Always returns true.
bool aSort(QStringList& arr, int RowNum = 0, bool TextComp = false);

// The distinct values of inArr in the order of their first occurrence, compared exactly
// (case-sensitive). nullopt when inArr has no elements.
std::optional<QStringList> UnicArray(const QStringList& inArr);

// SearchString with every occurrence of SearchChar replaced by ReplStr, left to right and
// never overlapping; replaced text is not searched again. An empty SearchChar returns
// SearchString unchanged.
QString StrTran(const QString& SearchChar, const QString& SearchString,
                const QString& ReplStr = QString());
