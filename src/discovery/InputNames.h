#pragma once

#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// The input names of each geometry kind (index: the kind's value), for the name list. Each list
// holds the distinct names (compared exactly, first occurrence kept), sorted ignoring case with
// equal names in their order; a kind without inputs holds one empty name. Inputs of no kind,
// and names without a shape type, are left out.
std::array<QStringList, 3> inputNamesByKind(const QStringList& tableNames,
                                            const std::vector<std::int32_t>& shapeTypes);
