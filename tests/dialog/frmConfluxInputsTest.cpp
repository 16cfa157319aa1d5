// The candidate grid: adding, deleting and sorting candidates, and committing an empty grid as
// the input.
#include "DialogFixture.h"

#include "support/FakeHost.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class CandidatesTest : public DialogFixture {
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
    // Committed inputs; an edit of the candidates makes them stale but keeps the output.
    static void commitFrames() {
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
        form().CmbNames->addItems({"a", "b"});
        form().TxtPath->setText("/out");
    }
    static void expectStale() {
        EXPECT_FALSE(form().FrameInput->isEnabled());
        EXPECT_FALSE(form().FrameOutput->isEnabled());
        EXPECT_EQ(form().CmbNames->count(), 0);
        EXPECT_EQ(form().TxtPath->text(), "/out");
    }

    QTemporaryDir m_dir;
};

TEST_F(CandidatesTest, AddAppendsOnlyPathsNotListedAndCountsThem) {
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
    EXPECT_EQ(prompter.texts(), QStringList{"Проверьте существование корневой директории"});
}

TEST_F(CandidatesTest, DeleteRemovesTheSelectedBlockInEitherDirection) {
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

TEST_F(CandidatesTest, SortButtons) {
    const auto fill = [] {
        // Path, fields, records, base name; the blank row of the cleared grid goes.
        dialog().FlexGridClear();
        for (const char* row : {"/d/c.shp\t2\t30\tc", "/d/a.shp\t10\t20\ta", "/d/B.shp\t2\t10\tB",
                                "/d/d.shp\t1\t40\td"})
            grid().AddItem(row);
        grid().RemoveItem(1);
    };
    // All rows, keys fields then records.
    const auto select = [] {
        grid().setRow(1);
        grid().setCol(1);
        grid().setRowSel(4);
        grid().setColSel(2);
    };
    // By name: ascending, descending, ascending, whatever the selection.
    fill();
    select();
    const QStringList up = {"a", "B", "c", "d"};
    const QStringList down = {"d", "c", "B", "a"};
    for (const auto& [names, state] : {std::pair{up, 1}, std::pair{down, 0}, std::pair{up, 1}}) {
        QTest::mouseClick(form().CmdSortByName, Qt::LeftButton);
        EXPECT_EQ(column(3), names);
        EXPECT_EQ(dialog().state().SortState, state);
    }
    // Ascending by the current column (fields) alone: c stays before B.
    fill();
    select();
    QTest::mouseClick(form().CmdSortAss, Qt::LeftButton);
    EXPECT_EQ(column(3), QStringList({"d", "c", "B", "a"}));
    EXPECT_EQ(grid().ColSel(), 1);
    // Descending keeps the selected key columns.
    fill();
    select();
    QTest::mouseClick(form().CmdSortDesc, Qt::LeftButton);
    EXPECT_EQ(column(3), QStringList({"a", "c", "B", "d"}));
    EXPECT_EQ(grid().ColSel(), 2);
}

TEST_F(CandidatesTest, ToInputOnAnEmptyGridSaysNothingSelectedAndNoData) {
    dialog().state().m_pApp = std::make_shared<FakeApplication>();
    form().FrameOutput->setEnabled(true);
    form().CmdToInput->click();
    EXPECT_EQ(dialog().state().FilesList, QStringList{QString()});
    ASSERT_EQ(prompter.texts(), QStringList{"Nothing selected"});
    EXPECT_EQ(prompter.messages[0].buttons, MsgBoxButtons::Ok);
    EXPECT_EQ(prompter.messages[0].icon, MsgBoxIcon::None);
    EXPECT_EQ(prompter.messages[0].title, "Conflux2_v9");
    EXPECT_EQ(prompter.busyWhenAsked, QList<bool>{true});
    EXPECT_EQ(form().LblInputCount->text(), "no data");
    EXPECT_FALSE(form().FrameOutput->isEnabled());
    EXPECT_TRUE(form().FrameInput->isEnabled());
    EXPECT_FALSE(form().ImageWork->isVisible());
    EXPECT_EQ(dialog().state().TablesArray, std::vector<std::shared_ptr<ITable>>(1));
}

}  // namespace
