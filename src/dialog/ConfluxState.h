#pragma once

#include "host/Application.h"
#include "host/GeodataInterfaces.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The window-level variables of the merge dialog. They belong to the window object, not to its
// controls: closing the window leaves them as they are, and only the procedures that own each
// one write it. Every member starts empty and loading the window sets none of them.
struct ConfluxState {
    // The application that loaded the command; set once when the command is created.
    std::shared_ptr<IApplication> m_pApp;
    // Full paths of the current candidates or inputs. nullopt: no list was ever made, which is
    // not the same as a list without entries.
    std::optional<QStringList> FilesList;
    // Current level of the recursive folder walk.
    std::int64_t RecursCount = 0;

    // One opened input per entry; a null entry holds nothing (a list reset to one empty entry
    // is a vector of one null pointer).
    std::vector<std::shared_ptr<ITable>> TablesArray;
    // Name and shape type code of each input, parallel to TablesArray and FilesList. When the
    // inputs stop being built early these are shorter than FilesList.
    QStringList TableNames;
    std::vector<std::int32_t> ShapeTypes;
    // The layer whose feature class gives the output its shape type.
    std::shared_ptr<IFeatureLayer> m_pFeatureLayer;

    // Distinct sorted names of the inputs of each geometry kind. nullopt: never built; a built
    // list has at least one entry, and a kind without inputs has one empty entry.
    std::optional<QStringList> PointNames;
    std::optional<QStringList> LineNames;
    std::optional<QStringList> PolygonNames;

    // Direction of the last sort of the candidates by name: nullopt before the first, 1 after an
    // ascending sort, 0 after a descending one.
    std::optional<int> SortState;
};
