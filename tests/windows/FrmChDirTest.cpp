#include "windows/FrmChDir.h"

#include "platform/FolderList.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

// Two volumes: "Data" is mounted and readable, "Stick" has gone away since it was listed.
class FrmChDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        for (const char* folder : {"data/Roads/2024", "data/Rivers", "data/.cache", "data/Алтай"}) {
            ASSERT_TRUE(QDir(m_tmp.path()).mkpath(QString::fromUtf8(folder)));
        }
        m_volumes = {{QStringLiteral("Data"), m_tmp.filePath(QStringLiteral("data"))},
                     {QStringLiteral("Stick"), m_tmp.filePath(QStringLiteral("gone"))}};
        chooser().setPrompter(&m_prompter);
        chooser().setVolumeSource([this] { return m_volumes; });
    }
    void TearDown() override {
        chooser().Unload();
        chooser().setPrompter(nullptr);
        chooser().setVolumeSource({});
        chooser().ReturnPath.clear();
    }

    static FrmChDir& chooser() { return FrmChDir::instance(); }
    QString data(const QString& sub = {}) const {
        return sub.isEmpty() ? m_tmp.filePath(QStringLiteral("data"))
                             : m_tmp.filePath(QStringLiteral("data/") + sub);
    }
    // Presets the chooser like the scan's root button and shows it without a modal loop.
    void presetAndShow(const QString& text) {
        chooser().presetDrive(text);
        chooser().presetFolder(text);
        chooser().prepareShow();
        chooser().form()->show();
    }
    void doubleClickRow(int row) {
        FolderList* list = chooser().Dir1();
        const QRect rect = list->visualItemRect(list->item(row));
        // An item view takes a double-click only on the entry the press went to.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    int rowOf(const QString& path) const {
        FolderList* list = chooser().Dir1();
        for (int row = 0; row < list->count(); ++row) {
            if (list->pathAt(row) == path) {
                return row;
            }
        }
        return -1;
    }

    QTemporaryDir m_tmp;
    QList<Volume> m_volumes;
    ScriptedPrompter m_prompter;
};

TEST_F(FrmChDirTest, WindowHasNoCaptionStaysOnTopAndLaysOutItsControlsInTwips) {
    chooser().Load();
    QDialog* form = chooser().form();
    EXPECT_TRUE(form->windowTitle().isEmpty());
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->size(), QSize(250, 271));
    EXPECT_EQ(chooser().Drive1()->geometry(), QRect(8, 8, 225, 19));
    EXPECT_EQ(chooser().Dir1()->geometry(), QRect(8, 40, 225, 163));
    EXPECT_EQ(chooser().CmdOpenExit(0)->text(), QStringLiteral("Открыть"));
    EXPECT_EQ(chooser().CmdOpenExit(1)->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(chooser().CmdOpenExit(0)->geometry(), QRect(48, 224, 65, 25));
    EXPECT_EQ(chooser().CmdOpenExit(1)->geometry(), QRect(136, 224, 65, 25));
    EXPECT_EQ(chooser().Drive1()->count(), 2);
    EXPECT_EQ(chooser().Drive1()->itemText(0), QStringLiteral("Data (") + data() + ")");
}

TEST_F(FrmChDirTest, PresetsOpenTheFolderAndOpenWithoutMovesReturnsIt) {
    const QString roads = data(QStringLiteral("Roads"));
    EXPECT_TRUE(chooser().presetDrive(roads));
    EXPECT_TRUE(chooser().presetFolder(roads));
    chooser().prepareShow();
    chooser().form()->show();
    EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
    EXPECT_EQ(chooser().Dir1()->path(), roads);
    QTest::mouseClick(chooser().CmdOpenExit(0), Qt::LeftButton);
    EXPECT_EQ(chooser().returnPath(), roads);
    EXPECT_FALSE(chooser().form()->isVisible());
    EXPECT_TRUE(m_prompter.messages.isEmpty());
}

TEST_F(FrmChDirTest, FolderListShowsTheOpenChainThenVisibleSubFolders) {
    presetAndShow(data(QStringLiteral("Roads")));
    FolderList* list = chooser().Dir1();
    QStringList paths;
    for (int row = 0; row < list->count(); ++row) {
        paths << list->pathAt(row);
    }
    EXPECT_EQ(paths, QStringList({data(), data("Roads"), data("Roads/2024")}));
    EXPECT_EQ(list->currentRow(), 1);

    chooser().Dir1()->setPath(data(), data());
    paths.clear();
    for (int row = 0; row < list->count(); ++row) {
        paths << list->pathAt(row);
    }
    // Hidden ".cache" is not listed; sub-folders come in name order.
    EXPECT_EQ(paths, QStringList({data(), data("Rivers"), data("Roads"), data("Алтай")}));
}

TEST_F(FrmChDirTest, PresetsThatDoNotApplyChangeNothing) {
    QDir::setCurrent(data(QStringLiteral("Rivers")));
    chooser().Load();
    const QString before = chooser().Dir1()->path();
    ASSERT_EQ(before, data(QStringLiteral("Rivers")));
    const QStringList noDrive = {QString(), QStringLiteral("relative/path"),
                                 QStringLiteral("/not/on/any/listed/volume"),
                                 m_tmp.filePath(QStringLiteral("gone/Data"))};
    for (const QString& text : noDrive) {
        EXPECT_FALSE(chooser().presetDrive(text)) << text.toStdString();
    }
    const QStringList noFolder = {QString(), data(QStringLiteral("Missing")),
                                  m_tmp.filePath(QStringLiteral("outside"))};
    QDir(m_tmp.path()).mkpath(QStringLiteral("outside"));
    for (const QString& text : noFolder) {
        EXPECT_FALSE(chooser().presetFolder(text)) << text.toStdString();
    }
    EXPECT_EQ(chooser().Dir1()->path(), before);
    EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
    EXPECT_TRUE(m_prompter.messages.isEmpty());
    QDir::setCurrent(QDir::tempPath());
}

TEST_F(FrmChDirTest, DrivePresetNeedsOnlyTheVolumeNotTheFolder) {
    // The volume is found from the path's mount point; the folder itself may not exist.
    EXPECT_TRUE(chooser().presetDrive(data(QStringLiteral("NotYet/There"))));
    EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
}

TEST_F(FrmChDirTest, OpenReturnsTheOpenedFolderNotTheHighlightedOne) {
    presetAndShow(data());
    const int roads = rowOf(data(QStringLiteral("Roads")));
    ASSERT_GE(roads, 0);
    doubleClickRow(roads);
    EXPECT_EQ(chooser().Dir1()->path(), data(QStringLiteral("Roads")));

    const int child = rowOf(data(QStringLiteral("Roads/2024")));
    QTest::mouseClick(chooser().Dir1()->viewport(), Qt::LeftButton, {},
                      chooser().Dir1()->visualItemRect(chooser().Dir1()->item(child)).center());
    EXPECT_EQ(chooser().Dir1()->currentRow(), child);
    EXPECT_EQ(chooser().Dir1()->path(), data(QStringLiteral("Roads")));

    QTest::mouseClick(chooser().CmdOpenExit(0), Qt::LeftButton);
    EXPECT_EQ(chooser().returnPath(), data(QStringLiteral("Roads")));
}

TEST_F(FrmChDirTest, EnterOpensTheHighlightedFolderAndAnAncestorCanBeReopened) {
    presetAndShow(data(QStringLiteral("Roads/2024")));
    chooser().Dir1()->setFocus();
    chooser().Dir1()->setCurrentRow(rowOf(data()));
    QTest::keyClick(chooser().Dir1(), Qt::Key_Return);
    EXPECT_EQ(chooser().Dir1()->path(), data());
    EXPECT_TRUE(chooser().form()->isVisible());
}

TEST_F(FrmChDirTest, CancelAndCloseBoxReturnNothingAfterAnEarlierChoice) {
    presetAndShow(data(QStringLiteral("Rivers")));
    QTest::mouseClick(chooser().CmdOpenExit(0), Qt::LeftButton);
    ASSERT_EQ(chooser().returnPath(), data(QStringLiteral("Rivers")));
    chooser().Unload();

    presetAndShow(data(QStringLiteral("Rivers")));
    QTest::mouseClick(chooser().CmdOpenExit(1), Qt::LeftButton);
    EXPECT_TRUE(chooser().returnPath().isEmpty());
    chooser().Unload();

    presetAndShow(data(QStringLiteral("Rivers")));
    chooser().ReturnPath = QStringLiteral("stale");
    chooser().prepareShow();
    chooser().form()->close();
    EXPECT_TRUE(chooser().returnPath().isEmpty());
    EXPECT_FALSE(chooser().form()->isVisible());
}

TEST_F(FrmChDirTest, UnavailableDriveIsReportedAndThePreviousDriveAndFolderComeBack) {
    presetAndShow(data(QStringLiteral("Roads")));
    chooser().Drive1()->setCurrentIndex(1);
    ASSERT_EQ(m_prompter.messages.size(), 1);
    const ShownMessage& message = m_prompter.messages[0];
    EXPECT_EQ(message.text, QStringLiteral("Диск Stick (") +
                                m_tmp.filePath(QStringLiteral("gone")) +
                                QStringLiteral(") недоступен"));
    EXPECT_EQ(message.buttons, MsgBoxButtons::Ok);
    EXPECT_EQ(message.icon, MsgBoxIcon::Exclamation);
    EXPECT_EQ(message.title, defaultMsgBoxTitle());
    EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
    EXPECT_EQ(chooser().Dir1()->path(), data(QStringLiteral("Roads")));
    EXPECT_TRUE(chooser().form()->isVisible());
}

TEST_F(FrmChDirTest, DrivePresetOnAVolumeThatIsNotReadyDoesNotApply) {
    EXPECT_FALSE(chooser().presetDrive(m_tmp.filePath(QStringLiteral("gone/x"))));
    EXPECT_TRUE(m_prompter.messages.isEmpty());
}

TEST_F(FrmChDirTest, WithoutPresetsTheChooserStartsOnTheCurrentFolder) {
    QDir::setCurrent(data(QStringLiteral("Roads/2024")));
    chooser().prepareShow();
    EXPECT_EQ(chooser().Dir1()->path(), data(QStringLiteral("Roads/2024")));
    EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
    QDir::setCurrent(QDir::tempPath());
}

TEST_F(FrmChDirTest, ShowModalEndsOnOpenAndUnloadsTheControls) {
    chooser().presetFolder(data(QStringLiteral("Rivers")));
    // The one place a modal loop must run: end it from inside as the user's click would.
    QTimer::singleShot(0, [] { chooser().CmdOpenExit(0)->click(); });
    chooser().showModal();
    EXPECT_EQ(chooser().returnPath(), data(QStringLiteral("Rivers")));
    EXPECT_FALSE(chooser().isLoaded());
}

}  // namespace
