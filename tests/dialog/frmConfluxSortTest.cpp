#include "DialogFixture.h"

#include "platform/FlexGrid.h"

#include <QPushButton>
#include <QToolButton>

namespace {

class SortButtonsTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        FlexGrid& grid = *form().FlexGrid1;
        // Path, fields, records, base name; the blank row of the cleared grid goes first.
        grid.AddItem("/d/c.shp\t2\t30\tc");
        grid.AddItem("/d/a.shp\t10\t20\ta");
        grid.AddItem("/d/B.shp\t2\t10\tB");
        grid.AddItem("/d/d.shp\t1\t40\td");
        grid.RemoveItem(1);
    }

    // The base names of the data rows, top to bottom.
    static QStringList names() {
        QStringList column;
        for (qsizetype row = 1; row < form().FlexGrid1->Rows(); ++row) {
            column << form().FlexGrid1->TextMatrix(row, 3);
        }
        return column;
    }

    static void select(qsizetype row, int col, qsizetype rowSel, int colSel) {
        FlexGrid& grid = *form().FlexGrid1;
        grid.setRow(row);
        grid.setCol(col);
        grid.setRowSel(rowSel);
        grid.setColSel(colSel);
    }
};

TEST_F(SortButtonsTest, ByNameAlternatesAscendingDescendingAscending) {
    ASSERT_FALSE(dialog().state().SortState.has_value());
    select(2, 0, 4, 2);  // a selection the by-name sort ignores
    QTest::mouseClick(form().CmdSortByName, Qt::LeftButton);
    EXPECT_EQ(names(), (QStringList{"a", "B", "c", "d"}));
    EXPECT_EQ(dialog().state().SortState, 1);
    QTest::mouseClick(form().CmdSortByName, Qt::LeftButton);
    EXPECT_EQ(names(), (QStringList{"d", "c", "B", "a"}));
    EXPECT_EQ(dialog().state().SortState, 0);
    QTest::mouseClick(form().CmdSortByName, Qt::LeftButton);
    EXPECT_EQ(names(), (QStringList{"a", "B", "c", "d"}));
    EXPECT_EQ(dialog().state().SortState, 1);
}

TEST_F(SortButtonsTest, AscendingSortsTheSelectedRowsByTheCurrentColumnAlone) {
    select(2, 1, 4, 2);  // rows 2..4 (a, B, d), keys fields then records
    QTest::mouseClick(form().CmdSortAss, Qt::LeftButton);
    // By fields alone, as numbers: d(1), B(2), a(10); row 1 stays.
    EXPECT_EQ(names(), (QStringList{"c", "d", "B", "a"}));
    EXPECT_EQ(form().FlexGrid1->ColSel(), 1);
}

TEST_F(SortButtonsTest, AscendingWithOneRowSelectedSortsAllDataRows) {
    select(3, 2, 3, 2);
    QTest::mouseClick(form().CmdSortAss, Qt::LeftButton);
    EXPECT_EQ(names(), (QStringList{"B", "a", "c", "d"}));
    EXPECT_EQ(form().FlexGrid1->TextMatrix(0, 0), "файл");
}

TEST_F(SortButtonsTest, DescendingUsesEverySelectedKeyColumn) {
    select(1, 1, 1, 2);  // all rows; keys fields, then records
    QTest::mouseClick(form().CmdSortDesc, Qt::LeftButton);
    // Fields descending; between c and B (2 fields each) records decide: c(30) before B(10).
    EXPECT_EQ(names(), (QStringList{"a", "c", "B", "d"}));
}

}  // namespace
