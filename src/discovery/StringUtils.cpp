#include "discovery/StringUtils.h"

#include <QSet>

#include <algorithm>
#include <vector>

bool aSort(QStringList& arr, int RowNum, bool TextComp) {
    Q_UNUSED(RowNum);
    if (arr.size() < 2)
        return true;
    if (!TextComp) {
        std::stable_sort(arr.begin(), arr.end(),
                         [](const QString& a, const QString& b) { return a < b; });
        return true;
    }
    // Upper-case each element once, not once per comparison.
    std::vector<std::pair<QString, qsizetype>> keyed;
    keyed.reserve(static_cast<std::size_t>(arr.size()));
    for (qsizetype i = 0; i < arr.size(); ++i)
        keyed.emplace_back(arr[i].toUpper(), i);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList sorted;
    sorted.reserve(arr.size());
    for (const auto& entry : keyed)
        sorted.append(arr[entry.second]);
    arr = std::move(sorted);
    return true;
}

std::optional<QStringList> UnicArray(const QStringList& inArr) {
    if (inArr.isEmpty())
        return std::nullopt;
    QStringList out;
    QSet<QString> seen;
    seen.reserve(inArr.size());
    for (const QString& value : inArr) {
        // A null and an empty text are the same value here; QSet hashes both alike.
        if (!seen.contains(value)) {
            seen.insert(value);
            out.append(value);
        }
    }
    return out;
}

QString StrTran(const QString& SearchChar, const QString& SearchString, const QString& ReplStr) {
    if (SearchChar.isEmpty())
        return SearchString;
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype found = SearchString.indexOf(SearchChar, from, Qt::CaseSensitive);
        if (found < 0)
            break;
        result += QStringView(SearchString).mid(from, found - from);
        result += ReplStr;
        from = found + SearchChar.size();
    }
    result += QStringView(SearchString).mid(from);
    return result;
}
