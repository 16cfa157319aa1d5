#include "windows/FrmChDir.h"

#include "platform/widgets/FolderList.h"
#include "platform/widgets/WindowScale.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

// Two volumes: "Data" is mounted and readable, "Stick" has gone away since it was listed.
class FrmChDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        for (const char* folder :
             {"data/Roads/2024", "data/Rivers", "data/.cache", "data/Алтай", "outside"}) {
            ASSERT_TRUE(QDir(m_tmp.path()).mkpath(QString::fromUtf8(folder)));
        }
        m_volumes = {{QStringLiteral("Data"), data()},
                     {QStringLiteral("Stick"), m_tmp.filePath(QStringLiteral("gone"))}};
        chooser().setPrompter(&m_prompter);
        chooser().setVolumeSource([this] { return m_volumes; });
        WindowScales::setShared({1.0, 1.0});
    }
    void TearDown() override {
        chooser().Unload();
        chooser().setPrompter(nullptr);
        chooser().setVolumeSource({});
        chooser().ReturnPath.clear();
        QDir::setCurrent(QDir::tempPath());
    }

    static FrmChDir& chooser() { return FrmChDir::instance(); }
    QString data(const QString& sub = {}) const {
        return m_tmp.filePath(sub.isEmpty() ? QStringLiteral("data") : "data/" + sub);
    }
    // Presets the chooser like the scan's root button and shows it without a modal loop.
    void presetAndShow(const QString& text) {
        chooser().presetDrive(text);
        chooser().presetFolder(text);
        chooser().prepareShow();
        chooser().form()->show();
    }
    QStringList listed() const {
        QStringList paths;
        for (int row = 0; row < chooser().Dir1()->count(); ++row) {
            paths << chooser().Dir1()->pathAt(row);
        }
        return paths;
    }
    void click(const QString& folder, bool twice) {
        FolderList* list = chooser().Dir1();
        const QPoint at = list->visualItemRect(list->item(listed().indexOf(folder))).center();
        // An item view takes a double-click only on the entry the press went to.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
    }

    QTemporaryDir m_tmp;
    QList<Volume> m_volumes;
    ScriptedPrompter m_prompter;
};

TEST_F(FrmChDirTest, PresetsApplyOnlyWhereTheyCan) {
    struct Case {
        const char* name;
        QString path;
        bool drive, folder;
    };
    const Case cases[] = {
        {"folder on the volume", data("Roads"), true, true},
        {"the volume holds a folder not made yet", data("Not/Yet"), true, false},
        {"empty", QString(), false, false},
        {"relative", "relative/path", false, false},
        {"on no listed volume", m_tmp.filePath("outside"), false, false},
        {"on a volume that is not ready", m_tmp.filePath("gone/x"), false, false},
    };
    QDir::setCurrent(data("Rivers"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chooser().Unload();
        chooser().Load();  // a fresh chooser starts on the current folder
        ASSERT_EQ(chooser().Dir1()->path(), data("Rivers"));
        EXPECT_EQ(chooser().presetDrive(c.path), c.drive);
        EXPECT_EQ(chooser().presetFolder(c.path), c.folder);
        EXPECT_EQ(chooser().Dir1()->path(), c.folder ? c.path : data("Rivers"));
        EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
    }
    EXPECT_TRUE(m_prompter.messages.isEmpty());
}

TEST_F(FrmChDirTest, EnterOrDoubleClickOpensAndOpenReturnsTheOpenNotTheHighlighted) {
    presetAndShow(data("Roads/2024"));
    chooser().Dir1()->setFocus();
    chooser().Dir1()->setCurrentRow(static_cast<int>(listed().indexOf(data())));
    QTest::keyClick(chooser().Dir1(), Qt::Key_Return);
    // The open chain, then visible sub-folders in name order (".cache" is hidden).
    EXPECT_EQ(listed(), QStringList({data(), data("Rivers"), data("Roads"), data("Алтай")}));
    click(data("Roads"), true);
    EXPECT_EQ(listed(), QStringList({data(), data("Roads"), data("Roads/2024")}));

    click(data("Roads/2024"), false);
    EXPECT_EQ(chooser().Dir1()->currentRow(), 2);
    EXPECT_EQ(chooser().Dir1()->path(), data("Roads"));
    EXPECT_TRUE(chooser().form()->isVisible());
    chooser().CmdOpenExit(0)->click();
    EXPECT_EQ(chooser().returnPath(), data("Roads"));
    EXPECT_FALSE(chooser().form()->isVisible());
}

TEST_F(FrmChDirTest, UnavailableDriveIsReportedAndThePreviousDriveAndFolderComeBack) {
    presetAndShow(data("Roads"));
    chooser().Drive1()->setCurrentIndex(1);
    ASSERT_EQ(m_prompter.messages.size(), 1);
    const ShownMessage& message = m_prompter.messages[0];
    EXPECT_EQ(message.text, "Диск Stick (" + m_tmp.filePath("gone") + ") недоступен");
    EXPECT_EQ(std::pair(message.buttons, message.icon),
              std::pair(MsgBoxButtons::Ok, MsgBoxIcon::Exclamation));
    EXPECT_EQ(message.title, defaultMsgBoxTitle());
    EXPECT_EQ(chooser().Drive1()->currentIndex(), 0);
    EXPECT_EQ(chooser().Dir1()->path(), data("Roads"));
    EXPECT_TRUE(chooser().form()->isVisible());
}

TEST_F(FrmChDirTest, PickingAVolumeOpensTheCurrentFolderOnlyWhenItLiesOnThatVolume) {
    m_volumes = {{QStringLiteral("Root"), QStringLiteral("/")}, {QStringLiteral("Data"), data()}};
    const struct {
        const char* name;
        QString current;
        Qt::Key pick;  // Home: the root volume, End: Data
        QString opened;
    } cases[] = {
        {"root volume, current folder on Data", data("Rivers"), Qt::Key_Home, "/"},
        {"Data, current folder on it", data("Rivers"), Qt::Key_End, data("Rivers")},
        {"root volume, current folder on it", m_tmp.filePath("outside"), Qt::Key_Home,
         m_tmp.filePath("outside")},
        {"Data, current folder elsewhere", m_tmp.filePath("outside"), Qt::Key_End, data()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir::setCurrent(c.current);
        chooser().Unload();
        presetAndShow(c.pick == Qt::Key_Home ? data("Roads") : m_tmp.filePath("outside"));
        chooser().Drive1()->setFocus();
        QTest::keyClick(chooser().Drive1(), c.pick);
        EXPECT_EQ(chooser().Dir1()->path(), c.opened);
    }
    EXPECT_TRUE(m_prompter.messages.isEmpty());
}

TEST_F(FrmChDirTest, ModalChooserReturnsTheFolderOnOpenAndNothingOnCancelOrCloseBox) {
    // The modal loop ends from inside, as the user's click would; each way unloads the controls.
    const std::function<void()> ends[] = {[] { chooser().CmdOpenExit(0)->click(); },
                                          [] { chooser().CmdOpenExit(1)->click(); },
                                          [] { chooser().form()->close(); }};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        chooser().presetFolder(data("Rivers"));
        QTimer::singleShot(0, ends[i]);
        chooser().showModal();
        EXPECT_EQ(chooser().returnPath(), i == 0 ? data("Rivers") : QString());
        EXPECT_FALSE(chooser().isLoaded());
    }
}

}  // namespace
