#include "command/ClsConflux.h"
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "platform/PictureHandles.h"

#include "support/CapturedErrorWindow.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>

extern "C" std::int32_t DllGetClassObject(const char* className, ICommand** command);
extern "C" std::int32_t DllCanUnloadNow();

namespace {

class ClsConfluxTest : public ::testing::Test {
protected:
    void SetUp() override { frmConflux::instance().state().m_pApp.reset(); }
    void TearDown() override {
        frmConflux::instance().Unload();
        frmConflux::instance().state().m_pApp.reset();
    }
    ErrorCapture capture;
};

TEST_F(ClsConfluxTest, OnCreateWithoutCatalogueInterfaceReportsAndLeavesAppUnset) {
    ClsConflux command;
    command.OnCreate(std::make_shared<ApplicationWithoutCatalogue>());
    EXPECT_EQ(frmConflux::instance().state().m_pApp, nullptr);
    ASSERT_EQ(capture.reports.texts.size(), 1);
    EXPECT_TRUE(capture.reports.texts[0].contains("\tICommand_OnCreate clsConflux \r\n"));
    EXPECT_TRUE(capture.reports.texts[0].contains("\r\n\t13\r\n"));
}

TEST_F(ClsConfluxTest, SecondClickFindsFreshControlsButTheSameApplication) {
    ClsConflux command;
    auto application = std::make_shared<FakeApplication>();
    command.OnCreate(application);
    frmConflux& dialog = frmConflux::instance();

    QList<QPointer<ConfluxForm>> forms;
    for (int click = 0; click < 2; ++click) {
        QTimer::singleShot(0, [&] {
            forms << dialog.form();
            EXPECT_TRUE(dialog.form()->isModal());
            EXPECT_EQ(dialog.form()->windowTitle(), "Conflux");
            dialog.CmdCancel_Click();
        });
        command.OnClick();
        EXPECT_FALSE(dialog.isLoaded());
    }
    ASSERT_EQ(forms.size(), 2);
    EXPECT_TRUE(forms[0].isNull());  // the first opening's controls are gone
    EXPECT_EQ(dialog.state().m_pApp.get(), static_cast<IApplication*>(application.get()));
}

TEST_F(ClsConfluxTest, EntryPointsCreateCommandAndTellWhenLibraryMayUnload) {
    ICommand* raw = nullptr;
    EXPECT_NE(DllGetClassObject("NoSuchClass", &raw), 0);
    EXPECT_EQ(raw, nullptr);
    ASSERT_EQ(DllGetClassObject("ClsConflux", &raw), 0);
    std::unique_ptr<ICommand> command(raw);
    EXPECT_EQ(command->Caption(), "Conflux");
    EXPECT_NE(DllCanUnloadNow(), 0);
    command.reset();
    EXPECT_EQ(DllCanUnloadNow(), 0);
}

TEST_F(ClsConfluxTest, DestroyingCommandUnloadsDialogNeverShown) {
    QPointer<ConfluxForm> form;
    {
        ClsConflux command;
        frmConflux::instance().Load();
        form = frmConflux::instance().form();
        ASSERT_FALSE(form.isNull());
    }
    EXPECT_FALSE(frmConflux::instance().isLoaded());
    EXPECT_TRUE(form.isNull());
}

}  // namespace
