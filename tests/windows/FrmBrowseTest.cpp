#include "windows/FrmBrowse.h"

#include "platform/DbfFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

// "Москва" and "Тверь" as the two Russian code pages store them.
const QByteArray kMoscow1251("\xCC\xEE\xF1\xEA\xE2\xE0");
const QByteArray kTver1251("\xD2\xE2\xE5\xF0\xFC");
const QByteArray kMoscow866("\x8C\xAE\xE1\xAA\xA2\xA0");
const QByteArray kTver866("\x92\xA2\xA5\xE0\xEC");

DbfFixture roadsTable() {
    DbfFixture table;
    table.fields = {{"NAME", 'C', 20}, {"LEN", 'N', 8, 2}, {"BUILT", 'D', 8}, {"PAVED", 'L', 1}};
    table.records = {{"Ring", "12.50", "20240131", "T"},
                     {"Old road", "3", "19991231", "F"},
                     {"Spur", "", "", "?"}};
    return table;
}

int openDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count());
}

class FrmBrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Data"));
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

TEST_F(FrmBrowseTest, OpensTheTableBesideTheShapefileWithTheFullPathAsCaption) {
    write(QStringLiteral("Data/roads.dbf"), roadsTable());
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/roads.shp"))));
    EXPECT_EQ(viewer().Data1()->caption(), path(QStringLiteral("Data/roads.dbf")));
    DbfTableModel* model = viewer().model();
    ASSERT_EQ(model->rowCount(), 3);
    ASSERT_EQ(model->columnCount(), 4);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("NAME"));
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("PAVED"));
    const QStringList first = {cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3)};
    EXPECT_EQ(first, QStringList({"Ring", "12.50", "2024-01-31", "True"}));
    EXPECT_EQ(QStringList({cell(1, 1), cell(1, 3)}), QStringList({"3", "False"}));
    EXPECT_EQ(QStringList({cell(2, 1), cell(2, 2), cell(2, 3)}), QStringList({"", "", ""}));
    EXPECT_EQ(model->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
              Qt::AlignRight);
}

TEST_F(FrmBrowseTest, BaseNameRunsToTheLastDotAndCaseOfTheExtensionIsForgiven) {
    write(QStringLiteral("Data/roads.old.dbf"), roadsTable());
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/roads.old.shp"))));
    EXPECT_EQ(viewer().Data1()->caption(), path(QStringLiteral("Data/roads.old.dbf")));

    write(QStringLiteral("Data/RIVERS.DBF"), roadsTable());
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/RIVERS.shp"))));
    EXPECT_EQ(viewer().model()->path(), path(QStringLiteral("Data/RIVERS.DBF")));
}

TEST_F(FrmBrowseTest, FailedOpeningsShowNothing) {
    write(QStringLiteral("Data/roads.dbf"), roadsTable());
    QDir(m_tmp.path()).mkpath(QStringLiteral("maps.2"));
    write(QStringLiteral("maps.2/.dbf"), roadsTable());
    DbfFixture::write(path(QStringLiteral("Data/broken.dbf")), roadsTable().header().left(40));
    const QStringList rows = {QString(),                                   // blank row
                              QStringLiteral("roads.shp"),                 // no separator
                              path(QStringLiteral("Data/rivers.shp")),     // no table beside it
                              path(QStringLiteral("maps.2/roads")),        // no dot in the name
                              path(QStringLiteral("Data/broken.shp")),     // truncated header
                              path(QStringLiteral("Missing/roads.shp"))};  // no such folder
    for (const QString& row : rows) {
        ASSERT_FALSE(viewer().prepareOpen(row)) << row.toStdString();
        EXPECT_FALSE(viewer().openFor(row)) << row.toStdString();
        if (viewer().isLoaded()) {
            EXPECT_FALSE(viewer().form()->isVisible());
            EXPECT_FALSE(viewer().model()->isOpen());
        }
    }
}

TEST(FrmBrowseResizeRule, GridKeepsItsMarginsUnlessThatLeavesTenOrLess) {
    struct Case {
        int width, height, gridWidth, gridHeight;
    };
    const Case cases[] = {{6525, 2595, 6495, 2175},  // design size
                          {9000, 6000, 8970, 5580},  // larger
                          {41, 431, 11, 11},         // just above the limit
                          {40, 430, 40, 430},        // 10 left: the whole window measure
                          {15, 300, 15, 300},        // negative
                          {0, 0, 0, 0}};
    for (const Case& c : cases) {
        const auto layout = FrmBrowse::resizeRule(c.width, c.height, 30, 420);
        EXPECT_EQ(layout.gridWidth, c.gridWidth) << c.width;
        EXPECT_EQ(layout.gridHeight, c.gridHeight) << c.height;
        EXPECT_EQ(layout.dataTop, c.gridHeight + 5) << c.height;
    }
}

TEST_F(FrmBrowseTest, WindowMeasuresMarginsAtLoadAndFollowsResizes) {
    write(QStringLiteral("Data/roads.dbf"), roadsTable());
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/roads.shp"))));
    QDialog* form = viewer().form();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Browse"));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->size(), QSize(435, 173));
    EXPECT_EQ(viewer().horizontalMargin(), 30);
    EXPECT_EQ(viewer().verticalMargin(), 420);
    form->show();
    EXPECT_EQ(viewer().MSFlexGrid1()->geometry(), QRect(0, 0, 433, 145));

    form->resize(300, 200);
    EXPECT_EQ(viewer().MSFlexGrid1()->geometry(), QRect(0, 0, 298, 172));
    EXPECT_EQ(viewer().Data1()->y(), 172);  // 5 twips below the grid: the same pixel row
    EXPECT_EQ(viewer().Data1()->x(), 8);

    form->resize(2, 20);  // margins would leave 10 twips or less
    EXPECT_EQ(viewer().MSFlexGrid1()->size(), form->size());
    form->resize(300, 200);
    EXPECT_EQ(viewer().MSFlexGrid1()->geometry(), QRect(0, 0, 298, 172));
}

TEST_F(FrmBrowseTest, EscapeInTheGridClosesTheViewerAndTheTable) {
    write(QStringLiteral("Data/roads.dbf"), roadsTable());
    const int before = openDescriptors();
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/roads.shp"))));
    viewer().form()->show();
    EXPECT_EQ(openDescriptors(), before + 1);
    QTest::keyClick(viewer().MSFlexGrid1(), Qt::Key_Escape);
    EXPECT_EQ(openDescriptors(), before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(viewer().isLoaded());
}

TEST_F(FrmBrowseTest, ModalOpeningEndsOnEscapeAndLeavesNothingOpen) {
    write(QStringLiteral("Data/roads.dbf"), roadsTable());
    const int before = openDescriptors();
    // The one modal loop: Esc ends it as the user's key would.
    QTimer::singleShot(0, [] { QTest::keyClick(viewer().MSFlexGrid1(), Qt::Key_Escape); });
    EXPECT_TRUE(viewer().openFor(path(QStringLiteral("Data/roads.shp"))));
    EXPECT_FALSE(viewer().isLoaded());
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(FrmBrowseTest, CyrillicValuesReadBackExactlyInEachCodePage) {
    struct Case {
        const char* name;
        quint8 languageDriver;
        QByteArray cpg;
        QByteArray moscow;
        QByteArray tver;
    };
    const Case cases[] = {{"cp866", 0x26, {}, kMoscow866, kTver866},
                          {"cp1251", 0xC9, {}, kMoscow1251, kTver1251},
                          {"cpg1251", 0, "1251", kMoscow1251, kTver1251},
                          {"guessed1251", 0, {}, kMoscow1251, kTver1251},
                          {"guessed866", 0, {}, kMoscow866, kTver866}};
    for (const Case& c : cases) {
        DbfFixture table;
        table.languageDriver = c.languageDriver;
        table.fields = {{"CITY", 'C', 16}, {"POP", 'N', 9}};
        table.records = {{c.moscow, "13010112"}, {c.tver, "424969"}};
        const QString base = QStringLiteral("Data/") + QString::fromLatin1(c.name);
        write(base + QStringLiteral(".dbf"), table);
        if (!c.cpg.isEmpty()) {
            DbfFixture::write(path(base + QStringLiteral(".cpg")), c.cpg);
        }
        ASSERT_TRUE(viewer().prepareOpen(path(base + QStringLiteral(".shp")))) << c.name;
        EXPECT_EQ(cell(0, 0), QStringLiteral("Москва")) << c.name;
        EXPECT_EQ(cell(1, 0), QStringLiteral("Тверь")) << c.name;
        EXPECT_EQ(cell(0, 1), QStringLiteral("13010112")) << c.name;
    }
}

TEST_F(FrmBrowseTest, DeletedRecordsAreMarkedAndStruckThrough) {
    DbfFixture table = roadsTable();
    table.deleted = {false, true, false};
    write(QStringLiteral("Data/roads.dbf"), table);
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/roads.shp"))));
    DbfTableModel* model = viewer().model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Vertical).toString(), QStringLiteral("*"));
    EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), QString());
    EXPECT_TRUE(model->index(1, 0).data(Qt::FontRole).value<QFont>().strikeOut());
    EXPECT_FALSE(model->index(0, 0).data(Qt::FontRole).isValid());
    EXPECT_EQ(cell(1, 0), QStringLiteral("Old road"));
}

TEST_F(FrmBrowseTest, DataControlButtonsMoveTheGridsCurrentRow) {
    write(QStringLiteral("Data/roads.dbf"), roadsTable());
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/roads.shp"))));
    viewer().form()->show();
    DataControl* data = viewer().Data1();
    const auto currentRow = [] { return viewer().MSFlexGrid1()->currentIndex().row(); };
    QTest::mouseClick(data->button(DataControl::Last), Qt::LeftButton);
    EXPECT_EQ(currentRow(), 2);
    QTest::mouseClick(data->button(DataControl::Next), Qt::LeftButton);
    EXPECT_EQ(currentRow(), 2);
    QTest::mouseClick(data->button(DataControl::Previous), Qt::LeftButton);
    EXPECT_EQ(currentRow(), 1);
    QTest::mouseClick(data->button(DataControl::First), Qt::LeftButton);
    EXPECT_EQ(currentRow(), 0);
    QTest::mouseClick(data->button(DataControl::Previous), Qt::LeftButton);
    EXPECT_EQ(currentRow(), 0);
}

TEST_F(FrmBrowseTest, LargeTableOffersRowsInBatchesAndLastReachesTheLastRecord) {
    DbfFixture table;
    table.fields = {{"ID", 'N', 7}};
    for (int i = 1; i <= 5000; ++i) {
        table.records.append({QByteArray::number(i)});
    }
    write(QStringLiteral("Data/big.dbf"), table);
    ASSERT_TRUE(viewer().prepareOpen(path(QStringLiteral("Data/big.shp"))));
    viewer().form()->show();
    DbfTableModel* model = viewer().model();
    EXPECT_EQ(model->recordCount(), 5000);
    EXPECT_LT(model->rowCount(), 5000);
    const int offered = model->rowCount();

    viewer().MSFlexGrid1()->setCurrentIndex(model->index(offered - 1, 0));
    viewer().Data1()->moveNext();
    EXPECT_EQ(viewer().MSFlexGrid1()->currentIndex().row(), offered);
    EXPECT_EQ(cell(offered, 0), QString::number(offered + 1));

    viewer().Data1()->moveLast();
    EXPECT_EQ(model->rowCount(), 5000);
    EXPECT_EQ(viewer().MSFlexGrid1()->currentIndex().row(), 4999);
    EXPECT_EQ(cell(4999, 0), QStringLiteral("5000"));
}

}  // namespace
