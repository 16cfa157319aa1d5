#include "DialogFixture.h"

#include "dialog/WorkAnimation.h"
#include "platform/FlexGrid.h"
#include "support/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class InputEditingTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        form().TxtsDir->setText(m_dir.path());
        form().TxtDepthLevel->setText("1");
    }
    QString file(const QString& name) {
        const QString path = m_dir.path() + "/" + name;
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }
    static FlexGrid& grid() { return *form().FlexGrid1; }
    static QStringList names() {
        QStringList cells;
        for (qsizetype row = 1; row < grid().Rows(); ++row)
            cells << grid().TextMatrix(row, 3);
        return cells;
    }
    static QString label() { return form().LblSelected->text(); }
    static void commitFrames() {
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
    }
    static void expectStale() {
        EXPECT_FALSE(form().FrameInput->isEnabled());
        EXPECT_FALSE(form().FrameOutput->isEnabled());
    }

    QTemporaryDir m_dir;
};

TEST_F(InputEditingTest, AddAppendsOnlyPathsNotListedAndCountsThem) {
    for (const char* name : {"r1.shp", "r2.shp", "r3.shp", "q1.shp", "q2.shp"})
        file(name);
    form().TxtFileMask->setText("r*");
    form().CmdGetDir->click();
    ASSERT_EQ(grid().Rows(), 4);

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

TEST_F(InputEditingTest, AddOnACleanGridDropsTheBlankRow) {
    file("a.shp");
    form().CmdAddFile->click();
    EXPECT_EQ(label(), "Добавлено: 1 файл(ов) Всего: 1");
    EXPECT_EQ(names(), QStringList{"a"});
}

TEST_F(InputEditingTest, DeleteRemovesTheSelectedBlockInEitherDirection) {
    for (int i = 1; i <= 6; ++i)
        file(QString("f%1.shp").arg(i));
    form().CmdGetDir->click();
    QStringList all = names();
    ASSERT_EQ(all.size(), 6);
    commitFrames();
    grid().setRow(4);
    grid().setRowSel(2);
    form().CmdDelFile->click();
    EXPECT_EQ(names(), QStringList({all[0], all[4], all[5]}));
    EXPECT_EQ(label(), "Всего: 3");
    expectStale();

    grid().setRow(1);
    grid().setRowSel(3);
    form().CmdDelFile->click();
    EXPECT_EQ(grid().Rows(), 2);
    EXPECT_EQ(grid().TextMatrix(1, 0), "");
    EXPECT_EQ(grid().TextMatrix(0, 0), "файл");
    EXPECT_EQ(label(), "Всего: 0");
}

// Records whether the busy picture was showing when a message came up.
class BusyAwarePrompter : public ScriptedPrompter {
public:
    using ScriptedPrompter::messageBox;
    MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) override {
        busyWhenAsked << form().ImageWork->isVisible();
        return ScriptedPrompter::messageBox(text, buttons, icon, title);
    }
    QList<bool> busyWhenAsked;

private:
    static ConfluxForm& form() { return *frmConflux::instance().form(); }
};

TEST_F(InputEditingTest, ToInputOnAnEmptyGridSaysNothingSelectedAndNoData) {
    dialog().state().m_pApp = std::make_shared<FakeApplication>();
    BusyAwarePrompter busy;
    dialog().setPrompter(&busy);
    form().FrameOutput->setEnabled(true);
    form().CmdToInput->click();
    ASSERT_TRUE(dialog().state().FilesList.has_value());
    EXPECT_EQ(*dialog().state().FilesList, QStringList{QString()});
    ASSERT_EQ(busy.messages.size(), 1);
    EXPECT_EQ(busy.messages[0].text, "Nothing selected");
    EXPECT_EQ(busy.busyWhenAsked, QList<bool>{true});
    EXPECT_EQ(form().LblInputCount->text(), "no data");
    EXPECT_FALSE(form().FrameOutput->isEnabled());
    EXPECT_TRUE(form().FrameInput->isEnabled());
    EXPECT_FALSE(form().ImageWork->isVisible());
    ASSERT_EQ(dialog().state().TablesArray.size(), 1u);
    EXPECT_EQ(dialog().state().TablesArray[0], nullptr);
    dialog().setPrompter(&prompter);
}

TEST_F(InputEditingTest, DoubleClickOpensTheViewerOnTheCurrentRow) {
    file("a.shp");
    file("b.shp");
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
