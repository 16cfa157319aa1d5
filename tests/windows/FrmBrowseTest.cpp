#include "windows/FrmBrowse.h"

#include "platform/DbfFixture.h"
#include "platform/widgets/WindowScale.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

int openDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

// CITY and POP (1, 2, ...) of the named cities; the second record is deleted.
DbfFixture cityTable(const QList<QByteArray>& names, quint8 languageDriver = 0) {
    DbfFixture table;
    table.languageDriver = languageDriver;
    table.fields = {{"CITY", 'C', 16}, {"POP", 'N', 9}};
    for (const QByteArray& name : names) {
        table.records.append({name, QByteArray::number(table.records.size() + 1)});
    }
    table.deleted = {false, true};
    return table;
}

class FrmBrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Data"));
        WindowScales::setShared({1.0, 1.0});  // the size the window was drawn for
    }
    void TearDown() override {
        viewer().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static FrmBrowse& viewer() { return FrmBrowse::instance(); }
    QString path(const QString& name) const { return m_tmp.filePath(name); }
    void write(const QString& name, const DbfFixture& table) const {
        DbfFixture::write(path(name), table.bytes());
    }
    QString cell(int row, int column) const {
        return viewer().model()->index(row, column).data().toString();
    }

    QTemporaryDir m_tmp;
};

TEST_F(FrmBrowseTest, ShowsTheTableBesideTheShapefileWithCyrillicTextIntact) {
    // "Москва" and "Тверь" as the two Russian code pages store them.
    const QList<QByteArray> cp866 = {"\x8C\xAE\xE1\xAA\xA2\xA0", "\x92\xA2\xA5\xE0\xEC"};
    const QList<QByteArray> cp1251 = {"\xCC\xEE\xF1\xEA\xE2\xE0", "\xD2\xE2\xE5\xF0\xFC"};
    struct Case {
        const char* name;
        QString table;
        DbfFixture contents;
        QByteArray cpg;
    };
    const Case cases[] = {
        {"cp866 by language driver", "Data/cities.dbf", cityTable(cp866, 0x26), {}},
        {"cp1251 by .cpg, base name to the last dot", "Data/a.b.dbf", cityTable(cp1251), "1251"},
        {"extension in capitals", "Data/RIVERS.DBF", cityTable(cp1251, 0xC9), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = path(c.table.chopped(4));
        write(c.table, c.contents);
        if (!c.cpg.isEmpty()) {
            DbfFixture::write(base + ".cpg", c.cpg);
        }
        ASSERT_TRUE(viewer().prepareOpen(base + ".shp"));
        EXPECT_EQ(viewer().Data1()->caption(), base + ".dbf");
        EXPECT_EQ(viewer().model()->path(), path(c.table));
        DbfTableModel* model = viewer().model();
        ASSERT_EQ(model->rowCount(), 2);
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CITY"));
        EXPECT_EQ(QStringList({cell(0, 0), cell(1, 0), cell(1, 1)}),
                  QStringList({"Москва", "Тверь", "2"}));
        // The deleted record stays in its place, marked and struck through.
        EXPECT_EQ(model->headerData(1, Qt::Vertical).toString(), QStringLiteral("*"));
        EXPECT_TRUE(model->index(1, 0).data(Qt::FontRole).value<QFont>().strikeOut());
        EXPECT_FALSE(model->index(0, 0).data(Qt::FontRole).isValid());
    }
}

TEST_F(FrmBrowseTest, RefusesWhatItCannotOpenAndShowsNothing) {
    QDir(m_tmp.path()).mkpath(QStringLiteral("maps.2"));
    write("maps.2/.dbf", cityTable({"Ring"}));
    DbfFixture::write(path("Data/broken.dbf"), cityTable({"Ring"}).header().left(40));
    const QStringList rows = {QString(),                    // blank row
                              QStringLiteral("roads.shp"),  // no separator
                              path("Data/rivers.shp"),      // no table beside it
                              path("maps.2/roads"),         // no dot in the name
                              path("Data/broken.shp"),      // truncated header
                              path("Missing/roads.shp")};   // no such folder
    for (const QString& row : rows) {
        SCOPED_TRACE(row.toStdString());
        EXPECT_FALSE(viewer().prepareOpen(row));
        EXPECT_FALSE(viewer().openFor(row));
        if (viewer().isLoaded()) {
            EXPECT_FALSE(viewer().form()->isVisible());
            EXPECT_FALSE(viewer().model()->isOpen());
        }
    }
}

TEST_F(FrmBrowseTest, ViewerFollowsResizesAndEscapeClosesItAndItsTable) {
    write("Data/roads.dbf", cityTable({"Ring", "Spur"}));
    const int before = openDescriptors();
    ASSERT_TRUE(viewer().prepareOpen(path("Data/roads.shp")));
    QDialog* form = viewer().form();
    form->show();
    EXPECT_EQ(openDescriptors(), before + 1);
    form->resize(300, 200);
    EXPECT_EQ(viewer().MSFlexGrid1()->geometry(), QRect(0, 0, 298, 172));
    EXPECT_EQ(viewer().Data1()->pos(), QPoint(8, 172));  // 5 twips below: the same pixel row
    // Margins that would leave 10 twips or less give way to the whole window, until it grows.
    form->resize(2, 20);
    EXPECT_EQ(viewer().MSFlexGrid1()->size(), form->size());
    form->resize(300, 200);
    EXPECT_EQ(viewer().MSFlexGrid1()->geometry(), QRect(0, 0, 298, 172));

    QTest::keyClick(viewer().MSFlexGrid1(), Qt::Key_Escape);
    EXPECT_EQ(openDescriptors(), before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(viewer().isLoaded());
    // The one modal loop: Esc ends it as the user's key would.
    QTimer::singleShot(0, [] { QTest::keyClick(viewer().MSFlexGrid1(), Qt::Key_Escape); });
    EXPECT_TRUE(viewer().openFor(path("Data/roads.shp")));
    EXPECT_FALSE(viewer().isLoaded());
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(FrmBrowseTest, LargeTableOffersRowsInBatchesAndLastReachesTheLastRecord) {
    write("Data/big.dbf", cityTable(QList<QByteArray>(5000, "Tver")));
    ASSERT_TRUE(viewer().prepareOpen(path("Data/big.shp")));
    viewer().form()->show();
    DbfTableModel* model = viewer().model();
    const int offered = model->rowCount();
    EXPECT_EQ(model->recordCount(), 5000);
    EXPECT_LT(offered, 5000);

    viewer().MSFlexGrid1()->setCurrentIndex(model->index(offered - 1, 0));
    viewer().Data1()->moveNext();
    EXPECT_EQ(viewer().MSFlexGrid1()->currentIndex().row(), offered);
    EXPECT_EQ(cell(offered, 1), QString::number(offered + 1));
    viewer().Data1()->moveLast();
    EXPECT_EQ(viewer().MSFlexGrid1()->currentIndex().row(), 4999);
    EXPECT_EQ(cell(4999, 1), QStringLiteral("5000"));
}

TEST_F(FrmBrowseTest, ViewerTakesTheDialogScaleShowsItsMarksAndSizesColumnsToWhatShows) {
    WindowScales::setShared({1.4, 0.8});
    DbfFixture table;
    table.fields = {{"NAME", 'C', 254}, {"POP", 'N', 9}};
    table.records = {{QByteArray(90, 'W'), "1"}, {"Ring", "22"}, {"Spur", "333"}};
    for (int i = 0; i < 40; ++i)
        table.records.append(QList<QByteArray>{"Lane", "4"});
    table.deleted = QList<bool>(43, false);
    table.deleted[42] = true;  // off the first screen
    write("Data/streets.dbf", table);
    ASSERT_TRUE(viewer().prepareOpen(path("Data/streets.shp")));
    QDialog* form = viewer().form();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    EXPECT_EQ(form->size(), QSize(609, 242));             // 6525 x 2595 twips at 1.4 / 15
    EXPECT_NE(form->minimumSize(), form->maximumSize());  // the viewer stays resizable
    QTableView* grid = viewer().MSFlexGrid1();
    EXPECT_DOUBLE_EQ(grid->font().pointSizeF(), QApplication::font().pointSizeF() * 0.8);

    // The fixed column shows the deleted record's mark whole, wherever the record is.
    const QFontMetrics metrics = grid->verticalHeader()->fontMetrics();
    EXPECT_GE(grid->verticalHeader()->width(), 2 * metrics.horizontalAdvance(u'*'));
    // A long first field leaves the second in view; a short one is as wide as its values.
    const int secondEnd = grid->columnViewportPosition(1) + grid->columnWidth(1);
    EXPECT_LE(secondEnd, grid->viewport()->width());
    EXPECT_GE(grid->columnWidth(1), grid->fontMetrics().horizontalAdvance("333"));
    EXPECT_GE(grid->columnWidth(0),
              grid->horizontalHeader()->fontMetrics().horizontalAdvance("NAME"));

    // Tab does not walk the cells.
    grid->setFocus();
    grid->setCurrentIndex(viewer().model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), viewer().model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(grid->currentIndex(), viewer().model()->index(0, 1));
}

}  // namespace
