// Editing the candidates (add, delete, view) and committing an empty grid as the input.
#include "DialogFixture.h"

#include "support/FakeHost.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class InputEditingTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        form().TxtsDir->setText(m_dir.path());
        form().TxtDepthLevel->setText("1");
    }
    void files(const QStringList& names) const {
        for (const QString& name : names)
            QFile(m_dir.path() + "/" + name).open(QIODevice::WriteOnly);
    }
    static QString label() { return form().LblSelected->text(); }
    // Inputs committed before the edit; any edit makes them stale.
    static void commitFrames() {
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
        form().CmbNames->addItems({"a", "b"});
        form().CmbFileSource->addItem("/data/a.shp");
        form().TxtPath->setText("/out");
    }
    static void expectStale() {
        EXPECT_FALSE(form().FrameInput->isEnabled());
        EXPECT_FALSE(form().FrameOutput->isEnabled());
        EXPECT_EQ(form().CmbNames->count(), 0);
        EXPECT_EQ(form().CmbFileSource->count(), 1);
        EXPECT_EQ(form().TxtPath->text(), "/out");
    }

    QTemporaryDir m_dir;
};

TEST_F(InputEditingTest, AddAppendsOnlyPathsNotListedAndCountsThem) {
    files({"r1.shp", "r2.shp", "r3.shp", "q1.shp", "q2.shp"});
    form().TxtFileMask->setText("r*");
    form().CmdAddFile->click();  // onto the cleared grid: its blank row goes
    EXPECT_EQ(label(), "Добавлено: 3 файл(ов) Всего: 3");
    EXPECT_EQ(column(3).size(), 3);

    commitFrames();
    form().TxtFileMask->setText("[rq][12]");  // finds r1, r2, q1, q2
    form().CmdAddFile->click();
    EXPECT_EQ(label(), "Добавлено: 2 файл(ов) Всего: 5");
    expectStale();

    form().CmdAddFile->click();  // everything found is listed already
    EXPECT_EQ(label(), "Добавлено: 0 файл(ов) Всего: 5");
    EXPECT_EQ(grid().Rows(), 6);

    form().TxtsDir->setText(m_dir.path() + "/missing");
    form().CmdAddFile->click();
    EXPECT_EQ(label(), "Добавлено: 0 файл(ов) Всего: 5");
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Проверьте существование корневой директории");
}

TEST_F(InputEditingTest, DeleteRemovesTheSelectedBlockInEitherDirection) {
    files({"f1.shp", "f2.shp", "f3.shp", "f4.shp", "f5.shp", "f6.shp"});
    form().CmdGetDir->click();
    const QStringList all = column(3);
    ASSERT_EQ(all.size(), 6);
    commitFrames();
    grid().setRow(4);
    grid().setRowSel(2);
    form().CmdDelFile->click();
    EXPECT_EQ(column(3), QStringList({all[0], all[4], all[5]}));
    EXPECT_EQ(label(), "Всего: 3");
    expectStale();

    grid().setRow(1);
    grid().setRowSel(3);
    form().CmdDelFile->click();
    EXPECT_EQ(column(0), QStringList{""});
    EXPECT_EQ(grid().TextMatrix(0, 0), "файл");
    EXPECT_EQ(label(), "Всего: 0");
}

TEST_F(InputEditingTest, ToInputOnAnEmptyGridSaysNothingSelectedAndNoData) {
    dialog().state().m_pApp = std::make_shared<FakeApplication>();
    form().FrameOutput->setEnabled(true);
    form().CmdToInput->click();
    EXPECT_EQ(dialog().state().FilesList, QStringList{QString()});
    EXPECT_EQ(prompter.texts(), QStringList{"Nothing selected"});
    EXPECT_EQ(prompter.busyWhenAsked, QList<bool>{true});
    EXPECT_EQ(form().LblInputCount->text(), "no data");
    EXPECT_FALSE(form().FrameOutput->isEnabled());
    EXPECT_TRUE(form().FrameInput->isEnabled());
    EXPECT_FALSE(form().ImageWork->isVisible());
    ASSERT_EQ(dialog().state().TablesArray.size(), 1u);
    EXPECT_EQ(dialog().state().TablesArray[0], nullptr);
}

TEST_F(InputEditingTest, DoubleClickOpensTheViewerOnTheCurrentRow) {
    files({"a.shp", "b.shp"});
    form().CmdGetDir->click();
    QStringList opened;
    dialog().setViewerOpener([&opened](const QString& path) {
        opened << path;
        return false;
    });
    const QRect cell = grid().visualRect(grid().model()->index(1, 0));
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    dialog().setViewerOpener({});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], grid().TextMatrix(grid().Row(), 0));
    EXPECT_TRUE(opened[0].endsWith(".shp"));
}

}  // namespace
