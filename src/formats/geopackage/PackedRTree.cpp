#include "formats/geopackage/PackedRTree.h"

#include "errors/ConfluxError.h"
#include "formats/geopackage/SqlIdentifier.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
constexpr std::size_t kCellBytes = 8 + 4 * 4;  // id, then four 32-bit floats
// Entries a level gathers before packing them: enough for good neighbourhoods, a few hundred KiB.
constexpr std::size_t kNodesPerPack = 256;

// The R-tree stores 32-bit floats; rounding outward keeps every box inside its stored one.
float roundedDown(double value) {
    if (value > std::numeric_limits<float>::max()) {
        return std::numeric_limits<float>::max();
    }
    if (value < -std::numeric_limits<float>::max()) {
        return -std::numeric_limits<float>::infinity();
    }
    const auto rounded = static_cast<float>(value);
    return rounded > value ? std::nextafter(rounded, -std::numeric_limits<float>::infinity())
                           : rounded;
}

float roundedUp(double value) {
    return -roundedDown(-value);
}

void putBigEndian(char* out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<char>(value & 0xff);
        value >>= 8;
    }
}

// Sort key; a box unbounded on both sides sorts as if centred at 0, never as NaN.
double centre(const float* box, int axis) {
    const double middle = (double{box[2 * axis]} + double{box[2 * axis + 1]}) / 2;
    return std::isnan(middle) ? 0.0 : middle;
}
}  // namespace

PackedRTree::PackedRTree(sqlite3* db, const QString& table, const QString& what) {
    const QString failure =
        what.isEmpty() ? QStringLiteral("Spatial index '%1' cannot be written").arg(table) : what;
    const QByteArray node = sqlIdentifier(table + QStringLiteral("_node"));
    const QByteArray rowid = sqlIdentifier(table + QStringLiteral("_rowid"));
    const QByteArray parent = sqlIdentifier(table + QStringLiteral("_parent"));
    {
        // The module sizes every node like the root it created; an empty tree has only the root.
        SqliteStatement shape(db,
                              "SELECT (SELECT length(data) FROM " + node +
                                  " WHERE nodeno = 1), (SELECT count(*) FROM " + node +
                                  "), (SELECT count(*) FROM " + rowid + ")",
                              failure);
        shape.row();
        m_nodeBytes = static_cast<std::size_t>(shape.integer(0));
        if (shape.integer(1) != 1 || shape.integer(2) != 0) {
            throw ConfluxError(ErrorNumber::HostFailure,
                               QStringLiteral("Spatial index '%1' is not empty").arg(table));
        }
    }
    m_cellsPerNode = m_nodeBytes > 4 ? (m_nodeBytes - 4) / kCellBytes : 0;
    if (m_cellsPerNode < 3) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("'%1' is no two-dimensional R-tree").arg(table));
    }
    m_node = QByteArray(static_cast<qsizetype>(m_nodeBytes), '\0');
    m_insertNode = std::make_unique<SqliteStatement>(
        db, "INSERT INTO " + node + " (nodeno, data) VALUES (?, ?)", failure);
    m_updateRoot = std::make_unique<SqliteStatement>(
        db, "UPDATE " + node + " SET data = ? WHERE nodeno = 1", failure);
    m_insertRowid = std::make_unique<SqliteStatement>(
        db, "INSERT INTO " + rowid + " (rowid, nodeno) VALUES (?, ?)", failure);
    m_insertParent = std::make_unique<SqliteStatement>(
        db, "INSERT INTO " + parent + " (nodeno, parentnode) VALUES (?, ?)", failure);
}

PackedRTree::~PackedRTree() = default;

void PackedRTree::add(std::int64_t id, double minX, double maxX, double minY, double maxY) {
    if (std::isnan(minX) || std::isnan(maxX) || std::isnan(minY) || std::isnan(maxY)) {
        return;
    }
    push(0, Entry{id, {roundedDown(minX), roundedUp(maxX), roundedDown(minY), roundedUp(maxY)}});
}

void PackedRTree::push(std::size_t level, const Entry& entry) {
    if (m_levels.size() <= level) {
        m_levels.resize(level + 1);
    }
    m_levels[level].pending.push_back(entry);
    if (m_levels[level].pending.size() >= m_cellsPerNode * kNodesPerPack) {
        pack(level);
    }
}

void PackedRTree::pack(std::size_t level) {
    // Sort-tile-recursive: vertical slices by x, each sliced into nodes by y.
    std::vector<Entry> entries;
    entries.swap(m_levels[level].pending);
    m_levels[level].emitted = true;
    const std::size_t nodes = (entries.size() + m_cellsPerNode - 1) / m_cellsPerNode;
    const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(nodes))));
    const std::size_t perSlice = (nodes + slices - 1) / slices * m_cellsPerNode;
    const auto byCentre = [](int axis) {
        return [axis](const Entry& a, const Entry& b) {
            return centre(a.box, axis) < centre(b.box, axis);
        };
    };
    std::sort(entries.begin(), entries.end(), byCentre(0));
    for (std::size_t slice = 0; slice < entries.size(); slice += perSlice) {
        const auto first = entries.begin() + static_cast<std::ptrdiff_t>(slice);
        const auto last = entries.begin() +
                          static_cast<std::ptrdiff_t>(std::min(entries.size(), slice + perSlice));
        std::sort(first, last, byCentre(1));
        for (auto cell = first; cell < last; cell += static_cast<std::ptrdiff_t>(m_cellsPerNode)) {
            const auto count =
                std::min<std::size_t>(m_cellsPerNode, static_cast<std::size_t>(last - cell));
            Entry parent{m_nextNode++, {cell->box[0], cell->box[1], cell->box[2], cell->box[3]}};
            for (std::size_t i = 1; i < count; ++i) {
                const float* box = cell[static_cast<std::ptrdiff_t>(i)].box;
                parent.box[0] = std::min(parent.box[0], box[0]);
                parent.box[1] = std::max(parent.box[1], box[1]);
                parent.box[2] = std::min(parent.box[2], box[2]);
                parent.box[3] = std::max(parent.box[3], box[3]);
            }
            writeNode(level, parent.id, &*cell, count);
            push(level + 1, parent);
        }
    }
}

void PackedRTree::finish() {
    for (std::size_t level = 0;; ++level) {
        if (m_levels.size() <= level) {
            m_levels.resize(level + 1);
        }
        Level& current = m_levels[level];
        if (!current.emitted && current.pending.size() <= m_cellsPerNode) {
            const std::vector<Entry> cells = std::move(current.pending);
            writeNode(level, 1, cells.data(), cells.size());
            return;
        }
        if (!current.pending.empty()) {
            pack(level);
        }
    }
}

void PackedRTree::writeNode(std::size_t level, std::int64_t nodeNo, const Entry* cells,
                            std::size_t count) {
    std::fill(m_node.begin(), m_node.end(), '\0');
    char* out = m_node.data();
    if (nodeNo == 1) {
        putBigEndian(out, level, 2);  // only the root records the tree's depth
    }
    putBigEndian(out + 2, count, 2);
    for (std::size_t i = 0; i < count; ++i) {
        char* cell = out + 4 + i * kCellBytes;
        putBigEndian(cell, static_cast<std::uint64_t>(cells[i].id), 8);
        for (int k = 0; k < 4; ++k) {
            std::uint32_t bits = 0;
            static_assert(sizeof bits == sizeof cells[i].box[k]);
            std::memcpy(&bits, &cells[i].box[k], sizeof bits);
            putBigEndian(cell + 8 + 4 * k, bits, 4);
        }
    }
    SqliteStatement& write = nodeNo == 1 ? *m_updateRoot : *m_insertNode;
    if (nodeNo == 1) {
        write.bind(1, m_node);
    } else {
        write.bind(1, nodeNo);
        write.bind(2, m_node);
    }
    write.run();
    // Leaves say where each row lives; inner nodes say whose children their cells are.
    SqliteStatement& link = level == 0 ? *m_insertRowid : *m_insertParent;
    for (std::size_t i = 0; i < count; ++i) {
        link.bind(1, cells[i].id);
        link.bind(2, nodeNo);
        link.run();
    }
}
