#include "discovery/InputNames.h"

#include "discovery/StringUtils.h"
#include "host/GeometryKind.h"

#include <algorithm>

std::array<QStringList, 3> inputNamesByKind(const QStringList& tableNames,
                                            const std::vector<std::int32_t>& shapeTypes) {
    std::array<QStringList, 3> lists{QStringList{QString()}, QStringList{QString()},
                                     QStringList{QString()}};
    const qsizetype described =
        std::min<qsizetype>(tableNames.size(), static_cast<qsizetype>(shapeTypes.size()));
    for (qsizetype i = 0; i < described; ++i) {
        const auto kind = geometryKindOf(shapeTypes[static_cast<std::size_t>(i)]);
        if (!kind)
            continue;
        QStringList& list = lists[static_cast<std::size_t>(*kind)];
        // The first name takes the place of the empty entry a list starts with.
        if (list.size() == 1 && list.front().isEmpty())
            list.front() = tableNames[i];
        else
            list.append(tableNames[i]);
    }
    for (QStringList& list : lists) {
        list = UnicArray(list).value_or(list);
        aSort(list, 0, true);
    }
    return lists;
}
