#pragma once

#include "formats/geopackage/SqliteStatement.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct sqlite3;

// Fills an empty SQLite R-tree ("USING rtree(id, minx, maxx, miny, maxy)") by writing its node,
// rowid and parent tables directly. Boxes are packed bottom up into full nodes instead of being
// inserted one at a time, which costs a small fraction of the time and gives a tree the R-tree
// module reads and updates as its own. Each level buffers a bounded number of entries and packs
// them sort-tile-recursive, so a node holds neighbours and memory stays flat however many boxes
// come. Everything is written on the caller's connection, inside the caller's transaction.
class PackedRTree {
public:
    // Throws ConfluxError when the table is no two-dimensional R-tree or is not empty. `what`
    // begins the message of a failure to write (default: "Spatial index 'table' cannot be
    // written").
    PackedRTree(sqlite3* db, const QString& table, const QString& what = {});
    ~PackedRTree();
    PackedRTree(const PackedRTree&) = delete;
    PackedRTree& operator=(const PackedRTree&) = delete;

    // A box that is not a number in some bound is left out: no query could find it.
    void add(std::int64_t id, double minX, double maxX, double minY, double maxY);
    // Writes what is buffered and the root. Nothing may be added afterwards.
    void finish();

private:
    struct Entry {
        std::int64_t id;  // the row's id in a leaf, the child's node number above
        float box[4];     // minx, maxx, miny, maxy; rounded outward from the doubles
    };
    struct Level {
        std::vector<Entry> pending;
        bool emitted = false;  // has written nodes, so the level above holds their entries
    };
    void push(std::size_t level, const Entry& entry);
    void pack(std::size_t level);
    void writeNode(std::size_t level, std::int64_t nodeNo, const Entry* cells, std::size_t count);
    std::size_t m_nodeBytes = 0;
    std::size_t m_cellsPerNode = 0;
    std::int64_t m_nextNode = 2;  // the root is always node 1
    std::vector<Level> m_levels;
    QByteArray m_node;
    std::unique_ptr<SqliteStatement> m_insertNode;
    std::unique_ptr<SqliteStatement> m_updateRoot;
    std::unique_ptr<SqliteStatement> m_insertRowid;
    std::unique_ptr<SqliteStatement> m_insertParent;
};
