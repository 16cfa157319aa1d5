// The candidate grid: the directory scan with its fields and messages, adding, deleting and
// sorting candidates, and committing an empty grid as the input.
#include "DialogFixture.h"

#include "support/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class CandidatesTest : public DialogFixture {
protected:
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    // Empty files, with their folders.
    void files(const QStringList& names) const {
        for (const QString& name : names) {
            QDir().mkpath(QFileInfo(path(name)).path());
            ASSERT_TRUE(QFile(path(name)).open(QIODevice::WriteOnly)) << name.toStdString();
        }
    }
    static void fields(const QString& root, const QString& depth, const QString& fileMask = "*",
                       const QString& dirMask = "*") {
        form().TxtsDir->setText(root);
        form().TxtDepthLevel->setText(depth);
        form().TxtFileMask->setText(fileMask);
        form().TxtDirMask->setText(dirMask);
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

TEST_F(CandidatesTest, ScanFieldsDecideTheRowsListed) {
    files({"abc.shp", "abd.shp", "abcd.shp", "Bx/y.shp", "Bx/C/z.shp"});
    struct Case {
        QString depth, fileMask, dirMask;
        QStringList found;
        QString label;
    };
    // The depth is read as its leading number; ".shp" is added to the file mask and blanks
    // around either mask go. Each folder lists by name, letter case ignored.
    const Case cases[] = {
        {"2", "*", "*", {"abc.shp", "abcd.shp", "abd.shp", "Bx/y.shp"}, "Выбрано: 4 файл(ов)"},
        {"3 levels", "*", " b* ", {"Bx/y.shp"}, "Выбрано: 1 файл(ов)"},
        {"0", "*", "*", {""}, "Файлов нет!"},
        {"1", " ab? ", "*", {"abc.shp", "abd.shp"}, "Выбрано: 2 файл(ов)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth.toStdString());
        fields(m_dir.path() + "/", c.depth, c.fileMask, c.dirMask);
        form().CmdGetDir->click();
        QStringList found;
        for (const QString& cell : column(0))
            found << cell.mid(m_dir.path().size() + 1);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(label(), c.label);
        EXPECT_EQ(dialog().state().RecursCount, 0);
    }
    // Each row holds the path and, hidden, the base name the sort by name uses.
    EXPECT_EQ(grid().TextMatrix(0, 0), "файл");
    EXPECT_EQ(column(3), QStringList({"abc", "abd"}));
}

TEST_F(CandidatesTest, MissingEmptyRootAndBadMaskLeaveTheGridAlone) {
    files({"keep.shp"});
    fields(m_dir.path(), "2");
    form().CmdGetDir->click();
    const QStringList before = column(0);
    const std::tuple<QString, QString, QString> cases[] = {
        {path("missing"), "*", "Проверьте существование корневой директории"},
        {path("keep.shp"), "*", "Проверьте существование корневой директории"},  // not a folder
        {"", "*", ""},
        {m_dir.path(), "ab[c", "Invalid pattern: ab[c.shp"},
    };
    for (const auto& [root, fileMask, message] : cases) {
        SCOPED_TRACE(root.toStdString() + " " + fileMask.toStdString());
        prompter.messages.clear();
        fields(root, "2", fileMask);
        form().CmdGetDir->click();
        EXPECT_EQ(column(0), before);
        EXPECT_EQ(label(), "Файлов нет!");
        EXPECT_EQ(prompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        for (const ShownMessage& m : prompter.messages) {
            EXPECT_EQ(m.icon, MsgBoxIcon::Exclamation);
            EXPECT_EQ(m.title, "Conflux2_v9");
        }
    }
}

TEST_F(CandidatesTest, AddAppendsOnlyPathsNotListedAndCountsThem) {
    files({"r1.shp", "r2.shp", "r3.shp", "q1.shp", "q2.shp"});
    fields(m_dir.path(), "1", "r*");
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
}

TEST_F(CandidatesTest, DeleteRemovesTheSelectedBlockInEitherDirection) {
    files({"f1.shp", "f2.shp", "f3.shp", "f4.shp", "f5.shp", "f6.shp"});
    fields(m_dir.path(), "1");
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

TEST_F(CandidatesTest, ByNameAlternatesAndTheArrowsSortTheSelection) {
    const auto fill = [] {
        // Path, fields, records, base name; the blank row of the cleared grid goes.
        dialog().FlexGridClear();
        for (const char* row : {"/d/c.shp\t2\t30\tc", "/d/a.shp\t10\t20\ta", "/d/B.shp\t2\t10\tB",
                                "/d/d.shp\t1\t40\td"})
            grid().AddItem(row);
        grid().RemoveItem(1);
    };
    // Rows from `first` to the last, keys fields then records.
    const auto select = [](qsizetype first) {
        grid().setRow(first);
        grid().setCol(1);
        grid().setRowSel(4);
        grid().setColSel(2);
    };
    // By name: ascending, descending, ascending, all rows whatever the selection.
    fill();
    select(2);
    const QStringList up = {"a", "B", "c", "d"};
    const QStringList down = {"d", "c", "B", "a"};
    for (const auto& [names, state] : {std::pair{up, 1}, std::pair{down, 0}, std::pair{up, 1}}) {
        QTest::mouseClick(form().CmdSortByName, Qt::LeftButton);
        EXPECT_EQ(column(3), names);
        EXPECT_EQ(dialog().state().SortState, state);
    }
    // Ascending by the current column (fields) alone: c stays before B.
    fill();
    select(1);
    QTest::mouseClick(form().CmdSortAss, Qt::LeftButton);
    EXPECT_EQ(column(3), QStringList({"d", "c", "B", "a"}));
    EXPECT_EQ(grid().ColSel(), 1);
    // Descending keeps the selected key columns.
    fill();
    select(1);
    QTest::mouseClick(form().CmdSortDesc, Qt::LeftButton);
    EXPECT_EQ(column(3), QStringList({"a", "c", "B", "d"}));
    EXPECT_EQ(grid().ColSel(), 2);
}

}  // namespace
