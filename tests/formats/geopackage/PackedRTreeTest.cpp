#include "formats/geopackage/PackedRTree.h"

#include "errors/ConfluxError.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>
#include <set>
#include <string>

namespace {

struct Box {
    std::int64_t id;
    double minX, maxX, minY, maxY;
};

class Database {
public:
    explicit Database(int pageSize) {
        sqlite3_open(":memory:", &m_db);
        run("PRAGMA page_size = " + std::to_string(pageSize));
        run("CREATE VIRTUAL TABLE tree USING rtree(id, minx, maxx, miny, maxy)");
    }
    ~Database() { sqlite3_close(m_db); }
    sqlite3* handle() const { return m_db; }

    void run(const std::string& sql) const {
        char* message = nullptr;
        ASSERT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
            << sql << ": " << (message ? message : "");
    }
    std::string text(const std::string& sql) const {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr);
        std::string result;
        if (sqlite3_step(statement) == SQLITE_ROW) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
        return result;
    }
    std::set<std::int64_t> ids(double minX, double maxX, double minY, double maxY) const {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db,
                           "SELECT id FROM tree WHERE maxx >= ?1 AND minx <= ?2 AND maxy >= ?3 "
                           "AND miny <= ?4",
                           -1, &statement, nullptr);
        const double bounds[] = {minX, maxX, minY, maxY};
        for (int i = 0; i < 4; ++i) {
            sqlite3_bind_double(statement, i + 1, bounds[i]);
        }
        std::set<std::int64_t> found;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            found.insert(sqlite3_column_int64(statement, 0));
        }
        sqlite3_finalize(statement);
        return found;
    }

private:
    sqlite3* m_db = nullptr;
};

std::vector<Box> randomBoxes(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> place(-1e6, 1e6);
    std::uniform_real_distribution<double> size(0.0, 500.0);
    std::vector<Box> boxes;
    for (int i = 0; i < count; ++i) {
        const double x = place(random);
        const double y = place(random);
        boxes.push_back({i * 3 + 7, x, x + size(random), y, y + size(random)});
    }
    return boxes;
}

// Every size around the node and pack boundaries, two node sizes: the tree passes the R-tree
// module's own check and answers window queries exactly like a scan of the boxes.
TEST(PackedRTree, PackedTreeIsValidAndFindsWhatAScanFinds) {
    for (const int pageSize : {4096, 1024}) {
        for (const int count : {0, 1, 51, 52, 2601, 2602, 30000}) {
            SCOPED_TRACE("page " + std::to_string(pageSize) + ", boxes " + std::to_string(count));
            const Database db(pageSize);
            const std::vector<Box> boxes = randomBoxes(count, static_cast<std::uint32_t>(count));
            db.run("BEGIN");
            {
                PackedRTree tree(db.handle(), QStringLiteral("tree"));
                for (const Box& box : boxes) {
                    tree.add(box.id, box.minX, box.maxX, box.minY, box.maxY);
                }
                tree.finish();
            }
            db.run("COMMIT");
            EXPECT_EQ(db.text("SELECT rtreecheck('tree')"), "ok");
            EXPECT_EQ(db.text("SELECT count(*) FROM tree"), std::to_string(count));

            std::mt19937 random(1);
            std::uniform_real_distribution<double> place(-1e6, 1e6);
            for (int query = 0; query < 20; ++query) {
                const double x = place(random);
                const double y = place(random);
                const double side = query < 10 ? 2e4 : 3e5;
                std::set<std::int64_t> expected;
                for (const Box& box : boxes) {
                    if (box.maxX >= x && box.minX <= x + side && box.maxY >= y &&
                        box.minY <= y + side) {
                        expected.insert(box.id);
                    }
                }
                EXPECT_EQ(db.ids(x, x + side, y, y + side), expected);
            }
        }
    }
}

// Stored bounds are 32-bit: they are rounded outward, so a box that touches a window exactly
// is still found; the module keeps working on the packed tree afterwards.
TEST(PackedRTree, BoundsRoundOutwardAndTheTreeStaysUpdatable) {
    const Database db(4096);
    const double odd = 0.1;  // not exact in 32 bits
    {
        PackedRTree tree(db.handle(), QStringLiteral("tree"));
        for (int i = 0; i < 200; ++i) {
            tree.add(i, i + odd, i + 1 + odd, -odd, odd);
        }
        tree.add(999, std::nan(""), 1, 1, 2);
        tree.finish();
    }
    EXPECT_EQ(db.ids(5 + odd, 5 + odd, odd, odd), (std::set<std::int64_t>{4, 5}));
    EXPECT_EQ(db.text("SELECT count(*) FROM tree"), "200");

    db.run("INSERT INTO tree VALUES (1000, 3, 4, 5, 6)");
    db.run("DELETE FROM tree WHERE id < 150");
    EXPECT_EQ(db.text("SELECT rtreecheck('tree')"), "ok");
    EXPECT_EQ(db.ids(3, 4, 5, 6), (std::set<std::int64_t>{1000}));
}

TEST(PackedRTree, RefusesATreeThatIsNotEmpty) {
    const Database db(4096);
    db.run("INSERT INTO tree VALUES (1, 0, 1, 0, 1)");
    EXPECT_THROW(PackedRTree(db.handle(), QStringLiteral("tree")), ConfluxError);
}

}  // namespace
