// Window behaviour: keys, and closing and reloading.
#include "DialogFixture.h"

#include "support/FakeHost.h"

#include <QPointer>
#include <QSignalSpy>

#include <functional>

namespace {

using ConfluxFormTest = DialogFixture;

TEST_F(ConfluxFormTest, EnterAndEscPressNeitherMergeNorCancel) {
    form().FrameOutput->setEnabled(true);
    QSignalSpy merges(form().CmdMerge, &QPushButton::clicked);
    for (QWidget* focus :
         {static_cast<QWidget*>(form().TxtsDir), static_cast<QWidget*>(form().TxtPath)}) {
        focus->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(focus, key);
            ASSERT_TRUE(dialog().isLoaded());
            EXPECT_TRUE(form().isVisible());
        }
    }
    EXPECT_EQ(merges.count(), 0);
}

TEST_F(ConfluxFormTest, ClosingUnloadsTheControlsAndKeepsTheState) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [] { QTest::mouseClick(form().CmdCancel, Qt::LeftButton); }},
        {"close box", [] { form().close(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        auto application = std::make_shared<FakeApplication>();
        dialog().state().m_pApp = application;
        dialog().state().FilesList = QStringList{"/data/roads.shp"};
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
        typeText(form().TxtsDir, "/data");
        grid().AddItem("/data/roads.shp\t3\t10\troads");
        clickOption(form().opOutputType[1]);
        QPointer<ConfluxForm> first = dialog().form();

        close();
        EXPECT_FALSE(dialog().isLoaded());
        flushDeletes();
        EXPECT_TRUE(first.isNull());

        loadAndShow();
        EXPECT_EQ(form().TxtsDir->text(), "");
        EXPECT_EQ(column(0), QStringList{""});
        EXPECT_EQ(form().LblPath->text(), "Path");
        EXPECT_FALSE(form().FrameInput->isEnabled());
        EXPECT_FALSE(form().FrameOutput->isEnabled());
        EXPECT_EQ(dialog().state().m_pApp, application);
        EXPECT_EQ(dialog().state().FilesList, QStringList{"/data/roads.shp"});
    }
}

}  // namespace
