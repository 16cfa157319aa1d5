// The sort buttons of the candidate grid.
#include "DialogFixture.h"

namespace {

class SortButtonsTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        fill();
    }

    static void fill() {
        // Path, fields, records, base name; the blank row of the cleared grid goes first.
        dialog().FlexGridClear();
        for (const char* row : {"/d/c.shp\t2\t30\tc", "/d/a.shp\t10\t20\ta", "/d/B.shp\t2\t10\tB",
                                "/d/d.shp\t1\t40\td"})
            grid().AddItem(row);
        grid().RemoveItem(1);
    }

    static void select(qsizetype row, int col, qsizetype rowSel, int colSel) {
        grid().setRow(row);
        grid().setCol(col);
        grid().setRowSel(rowSel);
        grid().setColSel(colSel);
    }
};

TEST_F(SortButtonsTest, ByNameAlternatesAscendingDescendingAscending) {
    ASSERT_FALSE(dialog().state().SortState.has_value());
    select(2, 0, 4, 2);  // a selection the by-name sort ignores
    const QStringList up = {"a", "B", "c", "d"};
    const QStringList down = {"d", "c", "B", "a"};
    for (const auto& [names, state] : {std::pair{up, 1}, std::pair{down, 0}, std::pair{up, 1}}) {
        QTest::mouseClick(form().CmdSortByName, Qt::LeftButton);
        EXPECT_EQ(column(3), names);
        EXPECT_EQ(dialog().state().SortState, state);
    }
}

TEST_F(SortButtonsTest, AscendingKeysOnTheCurrentColumnDescendingOnTheSelectedOnes) {
    struct Case {
        const char* name;
        QAbstractButton* button;
        qsizetype row, rowSel;
        QStringList names;
        int colSelAfter;
    };
    const Case cases[] = {
        // Rows 2..4 (a, B, d) by fields alone, as numbers; row 1 stays.
        {"ascending", form().CmdSortAss, 2, 4, {"c", "d", "B", "a"}, 1},
        // All rows by fields, then records: c(30) before B(10).
        {"descending", form().CmdSortDesc, 1, 1, {"a", "c", "B", "d"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fill();
        select(c.row, 1, c.rowSel, 2);
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(column(3), c.names);
        EXPECT_EQ(grid().ColSel(), c.colSelAfter);
    }
}

}  // namespace
