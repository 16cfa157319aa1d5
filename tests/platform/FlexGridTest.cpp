#include "errors/ConfluxError.h"
#include "platform/FlexGrid.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

// Readable failure output.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A grid with a header row and one data row per entry of rows (cells TAB-joined).
void fill(FlexGrid& grid, const QStringList& rows, int cols = 3) {
    grid.setCols(cols);
    grid.setFixedCols(0);
    grid.setRows(1);
    for (int c = 0; c < cols; ++c)
        grid.setTextMatrix(0, c, QStringLiteral("h%1").arg(c));
    for (const QString& row : rows)
        grid.AddItem(row);
}

// Column col of every row, header included, joined by "|".
QString column(const FlexGrid& grid, int col) {
    QStringList texts;
    for (qsizetype r = 0; r < grid.Rows(); ++r)
        texts.append(grid.TextMatrix(r, col));
    return texts.join(QLatin1Char('|'));
}

struct SortCase {
    const char* label;
    QStringList rows;
    qsizetype row, rowSel;
    int col, colSel;
    int order;
    int checkedColumn;
    const char* expected;
};

void PrintTo(const SortCase& row, std::ostream* out) {
    *out << row.label;
}

class FlexGridSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(FlexGridSort, SortsSelectedRowsByKeyColumns) {
    const SortCase& c = GetParam();
    FlexGrid grid;
    fill(grid, c.rows);
    grid.setRow(c.row);
    grid.setCol(c.col);
    grid.setRowSel(c.rowSel);
    grid.setColSel(c.colSel);
    grid.setSort(c.order);
    EXPECT_EQ(column(grid, c.checkedColumn), QString::fromUtf8(c.expected));
    EXPECT_EQ(grid.Rows(), c.rows.size() + 1);
}

const QStringList numbers{"a\t10\tx", "b\t9\tx", "c\t100\tx", "d\t-1.5\tx"};
const QStringList names{"1\tdelta", "2\tAlpha", "3\tcharlie", "4\talpha", "5\tBravo"};
const QStringList twoKeys{"1\t2\tb", "2\t1\tz", "3\t2\ta", "4\t1\ta", "5\t2\tb"};
const QStringList mixed{"1\t10", "2\tabc", "3\t9", "4\t", "5\t2e1"};

INSTANTIATE_TEST_SUITE_P(
    Table, FlexGridSort,
    ::testing::Values(SortCase{"NumbersAsNumbers", numbers, 1, 1, 1, 1,
                               FlexGrid::flexSortGenericAscending, 0, "h0|d|b|a|c"},
                      SortCase{"NumbersDescending", numbers, 1, 1, 1, 1,
                               FlexGrid::flexSortGenericDescending, 0, "h0|c|a|b|d"},
                      SortCase{"TextsIgnoreCaseAndKeepOrder", names, 1, 1, 1, 1,
                               FlexGrid::flexSortGenericAscending, 0, "h0|2|4|5|3|1"},
                      SortCase{"DescendingKeepsEqualOrder", names, 1, 1, 1, 1,
                               FlexGrid::flexSortGenericDescending, 0, "h0|1|3|5|2|4"},
                      SortCase{"OnlySelectedRowsMove", names, 4, 2, 1, 1,
                               FlexGrid::flexSortGenericAscending, 0, "h0|1|2|4|3|5"},
                      SortCase{"SingleSelectedRowSortsAll", names, 3, 3, 1, 1,
                               FlexGrid::flexSortGenericAscending, 0, "h0|2|4|5|3|1"},
                      SortCase{"TwoKeysDescending", twoKeys, 1, 1, 1, 2,
                               FlexGrid::flexSortGenericDescending, 0, "h0|1|5|3|2|4"},
                      SortCase{"KeysRightToLeftSelection", twoKeys, 1, 1, 2, 1,
                               FlexGrid::flexSortGenericAscending, 0, "h0|4|2|3|1|5"},
                      SortCase{"BlankAndTextAgainstNumbers", mixed, 1, 1, 1, 1,
                               FlexGrid::flexSortGenericAscending, 0, "h0|4|3|1|5|2"},
                      SortCase{"UnknownOrderLeavesRows", names, 1, 1, 1, 1, 7, 0, "h0|1|2|3|4|5"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FlexGrid, AddItemSplitsOnTabFitsTheColumnsAndTheFirstRowBecomesCurrent) {
    FlexGrid grid;
    fill(grid, {});
    EXPECT_EQ(grid.Row(), 0);
    grid.AddItem(QStringLiteral("a\tb"));
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.RowSel(), 1);
    grid.AddItem(QStringLiteral("c\td\te\textra"));
    grid.AddItem(QString());
    ASSERT_EQ(grid.Rows(), 4);
    EXPECT_EQ(column(grid, 1), QStringLiteral("h1|b|d|"));
    EXPECT_EQ(column(grid, 2), QStringLiteral("h2||e|"));
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("h1"));
}

TEST(FlexGrid, RemoveItemShiftsLaterRowsUp) {
    FlexGrid grid;
    fill(grid, {"1", "2", "3"});
    grid.RemoveItem(2);
    EXPECT_EQ(column(grid, 0), QStringLiteral("h0|1|3"));
    EXPECT_THROW(grid.RemoveItem(3), ConfluxError);
    EXPECT_EQ(grid.Rows(), 3);

    // The current row keeps its number when it is removed (the next row takes it) and moves up
    // with its row when one above goes: the blank first row a scan drops leaves row 1 current.
    fill(grid, {"", "a", "b", "c"});
    grid.setRow(1);
    grid.RemoveItem(1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.RowSel(), 1);
    grid.setRow(3);
    grid.setRowSel(3);
    grid.RemoveItem(1);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.TextMatrix(grid.Row(), 0), QStringLiteral("c"));
}

TEST(FlexGrid, ClearBlanksEveryCellAndSetRowsDropsAndAddsBlankRows) {
    FlexGrid grid;
    fill(grid, {"1\t2\t3", "4\t5\t6"});
    grid.Clear();
    EXPECT_EQ(std::pair(grid.Rows(), grid.Cols()), std::pair(qsizetype{3}, 3));
    EXPECT_EQ(column(grid, 0) + column(grid, 2), QStringLiteral("||||"));

    fill(grid, {"1", "2", "3"});
    grid.setRow(3);
    grid.setRows(2);
    EXPECT_EQ(column(grid, 0), QStringLiteral("h0|1"));
    EXPECT_EQ(grid.Row(), 1);  // the current row follows the shrinking grid
    grid.setRows(4);
    EXPECT_EQ(column(grid, 0), QStringLiteral("h0|1||"));
    EXPECT_EQ(grid.model()->rowCount(), 3);
}

TEST(FlexGrid, SettingColCollapsesTheSelection) {
    FlexGrid grid;
    fill(grid, {"1", "2", "3"});
    grid.setRow(1);
    grid.setRowSel(3);
    grid.setColSel(2);
    grid.setCol(1);
    EXPECT_EQ(grid.RowSel(), 1);
    EXPECT_EQ(grid.ColSel(), 1);
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 1);
    grid.setRowSel(3);  // setting Row or RowSel does not collapse
    grid.setRow(2);
    EXPECT_EQ(grid.RowSel(), 3);
}

TEST(FlexGrid, CellsOutsideTheGridRaiseSubscriptOutOfRange) {
    FlexGrid grid;
    try {
        grid.setTextMatrix(5, 0, QStringLiteral("x"));
        FAIL();
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::SubscriptOutOfRange);
    }
    EXPECT_THROW(grid.TextMatrix(0, 2), ConfluxError);
    EXPECT_THROW(grid.setCol(-1), ConfluxError);
}

TEST(FlexGrid, ColumnWidthsInTwips) {
    FlexGrid grid;
    fill(grid, {"1\t2\t3"});
    grid.setColWidth(0, 1000);
    EXPECT_EQ(grid.columnWidth(0), 67);
    EXPECT_EQ(grid.ColWidth(0), 1000);
    grid.setColWidth(2, 0);
    EXPECT_TRUE(grid.isColumnHidden(2));
    EXPECT_EQ(grid.ColWidth(2), 0);
    grid.setRows(5);  // adding rows keeps the widths
    EXPECT_EQ(grid.ColWidth(0), 1000);
    EXPECT_TRUE(grid.isColumnHidden(2));
    grid.resize(200, 100);
    EXPECT_EQ(grid.WidthTwips(), 3000);
}

QPoint cellCenter(const FlexGrid& grid, qsizetype row, int col) {
    const QModelIndex index = grid.model()->index(static_cast<int>(row - grid.FixedRows()), col);
    return grid.visualRect(index).center();
}

TEST(FlexGrid, MouseAndKeysSetTheAnchorAndTheSelectionEnd) {
    FlexGrid grid;
    fill(grid, {"1\ta\tx", "2\tb\ty", "3\tc\tz", "4\td\tw"});
    grid.resize(400, 300);
    grid.show();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, 4, 2));
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(qsizetype{4}, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCenter(grid, 2, 1));
    EXPECT_EQ(std::pair(grid.Row(), grid.Col()), std::pair(qsizetype{4}, 2));
    EXPECT_EQ(std::pair(grid.RowSel(), grid.ColSel()), std::pair(qsizetype{2}, 1));
    // The sort buttons then act on rows 2 to 4 by columns 1 to 2.
    grid.setSort(FlexGrid::flexSortGenericDescending);
    EXPECT_EQ(column(grid, 0), QStringLiteral("h0|1|4|3|2"));

    // A header click selects the whole column.
    QHeaderView* header = grid.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2,
                             header->height() / 2));
    EXPECT_EQ(std::min(grid.Row(), grid.RowSel()), 1);
    EXPECT_EQ(std::max(grid.Row(), grid.RowSel()), 4);
    EXPECT_EQ(std::pair(grid.Col(), grid.ColSel()), std::pair(1, 1));

    // Shift and arrows extend from the current cell.
    grid.setFocus();
    grid.setRow(1);
    grid.setCol(0);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(std::pair(grid.Row(), grid.RowSel()), std::pair(qsizetype{1}, qsizetype{3}));
}

TEST(FlexGrid, DoubleClickSignalsOnTheRowClicked) {
    FlexGrid grid;
    fill(grid, {"1", "2"});
    grid.show();
    QSignalSpy spy(&grid, &FlexGrid::DblClick);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCenter(grid, 2, 0));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(grid.Row(), 2);
}

}  // namespace
