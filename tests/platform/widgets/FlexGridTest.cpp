#include "errors/ConfluxError.h"
#include "platform/widgets/FlexGrid.h"

#include <gtest/gtest.h>

#include <functional>

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

// Rows from Row to RowSel (either way round) by the key columns from Col to ColSel, numbers as
// numbers, texts case-blind, equal keys in their order; one selected row sorts them all.
TEST(FlexGrid, SortsSelectedRowsByKeyColumns) {
    const QStringList numbers{"a\t10\tx", "b\t9\tx", "c\t100\tx", "d\t-1.5\tx"};
    const QStringList names{"1\tdelta", "2\tAlpha", "3\tcharlie", "4\talpha", "5\tBravo"};
    const QStringList twoKeys{"1\t2\tb", "2\t1\tz", "3\t2\ta", "4\t1\ta", "5\t2\tb"};
    const QStringList mixed{"1\t10", "2\tabc", "3\t9", "4\t", "5\t2e1"};
    constexpr int up = FlexGrid::flexSortGenericAscending;
    constexpr int down = FlexGrid::flexSortGenericDescending;
    const struct {
        const char* name;
        QStringList rows;
        qsizetype row, rowSel;
        int col, colSel, order;
        const char* firstColumn;  // after the sort
    } cases[] = {{"numbers as numbers", numbers, 1, 1, 1, 1, up, "h0|d|b|a|c"},
                 {"numbers descending", numbers, 1, 1, 1, 1, down, "h0|c|a|b|d"},
                 {"texts ignore case, keep order", names, 1, 1, 1, 1, up, "h0|2|4|5|3|1"},
                 {"descending keeps equal order", names, 1, 1, 1, 1, down, "h0|1|3|5|2|4"},
                 {"only selected rows move", names, 4, 2, 1, 1, up, "h0|1|2|4|3|5"},
                 {"single selected row sorts all", names, 3, 3, 1, 1, up, "h0|2|4|5|3|1"},
                 {"two keys descending", twoKeys, 1, 1, 1, 2, down, "h0|1|5|3|2|4"},
                 {"keys right to left", twoKeys, 1, 1, 2, 1, up, "h0|4|2|3|1|5"},
                 {"blank and text against numbers", mixed, 1, 1, 1, 1, up, "h0|4|3|1|5|2"},
                 {"unknown order leaves rows", names, 1, 1, 1, 1, 7, "h0|1|2|3|4|5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FlexGrid grid;
        fill(grid, c.rows);
        grid.setRow(c.row);
        grid.setCol(c.col);
        grid.setRowSel(c.rowSel);
        grid.setColSel(c.colSel);
        grid.setSort(c.order);
        EXPECT_EQ(column(grid, 0), QString::fromUtf8(c.firstColumn));
        EXPECT_EQ(grid.Rows(), c.rows.size() + 1);
    }
}

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

TEST(FlexGrid, SizesAndCellsOutsideTheGridAreErrors) {
    FlexGrid grid;
    fill(grid, {"1", "2"});
    const std::function<void()> wrong[] = {
        [&] { grid.setRows(-1); },      [&] { grid.setCols(-1); },
        [&] { grid.setFixedRows(9); },  [&] { grid.setFixedCols(9); },
        [&] { grid.TextMatrix(3, 0); }, [&] { grid.setTextMatrix(0, 5, "x"); },
        [&] { grid.RemoveItem(3); },    [&] { grid.setCol(-1); }};
    for (const auto& call : wrong) {
        EXPECT_THROW(call(), ConfluxError);
    }
    EXPECT_EQ(column(grid, 0), QStringLiteral("h0|1|2"));
}

}  // namespace
