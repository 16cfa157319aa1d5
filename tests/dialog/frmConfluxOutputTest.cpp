// The output frame: the proposed name, captions of the output type, path tidying and browsing.
#include "DialogFixture.h"

#include <QTemporaryDir>

namespace {

class OutputTargetTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
    }
};

TEST_F(OutputTargetTest, EitherMaskChangeReplacesTheNameTheUserTyped) {
    retype(form().txtDataClassName, "mine");
    retype(form().TxtFeatureMask, "лес*");
    EXPECT_EQ(form().txtDataClassName->text(), "лес");
    retype(form().txtDataClassName, "mine");
    retype(form().TxtFileMask, "road*");
    EXPECT_EQ(form().txtDataClassName->text(), "road");
}

TEST_F(OutputTargetTest, OutputTypeSwitchesCaptionsAndKeepsThePath) {
    retype(form().TxtPath, "/out/base.gpkg");
    clickOption(form().opOutputType[1]);
    EXPECT_FALSE(form().TxtDataSet->isHidden());
    EXPECT_FALSE(form().Label1->isHidden());
    EXPECT_EQ(form().LblPath->text(), ".mdb Full Path");
    EXPECT_EQ(form().LblClassName->text(), "Feature Class");

    form().opOutputType[0]->setChecked(true);  // code runs the click too
    EXPECT_TRUE(form().TxtDataSet->isHidden());
    EXPECT_TRUE(form().Label1->isHidden());
    EXPECT_EQ(form().LblPath->text(), "Folder Path");
    EXPECT_EQ(form().LblClassName->text(), "File Name");
    EXPECT_EQ(form().TxtPath->text(), "/out/base.gpkg");
}

TEST_F(OutputTargetTest, LeavingThePathDropsOneTrailingSlashButKeepsTheRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/out/", "/out"}, {"/out//", "/out/"}, {"/", "/"}};
    for (const auto& [typed, left] : cases) {
        form().TxtPath->setText(typed);
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(form().TxtPath, &focusOut);
        EXPECT_EQ(form().TxtPath->text(), left) << typed;
    }
    // Switching to another window is no loss of focus for the box.
    form().TxtPath->setText("/out/");
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(form().TxtPath, &deactivated);
    EXPECT_EQ(form().TxtPath->text(), "/out/");
}

TEST_F(OutputTargetTest, FolderBrowsesPresetAndChangeOnlyWhenAFolderIsChosen) {
    QTemporaryDir dir;
    const QString missing = dir.path() + "/missing";
    form().TxtPath->setText(missing);
    form().TxtsDir->setText(dir.path());
    form().CmdFindPath2->click();
    EXPECT_EQ(prompter.chooser.drivePresets, QStringList{missing});
    EXPECT_EQ(prompter.chooser.folderPresets, QStringList({missing, dir.path()}));
    EXPECT_EQ(form().TxtPath->text(), missing);
    prompter.chooser.nextAnswer = dir.path();
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), dir.path());
    EXPECT_TRUE(prompter.fileDialogTitles.isEmpty());

    prompter.chooser.nextAnswer.reset();
    form().CmdFindPath->click();  // the root's own browse
    EXPECT_EQ(prompter.chooser.folderPresets.last(), dir.path());
    EXPECT_EQ(form().TxtsDir->text(), dir.path());
    prompter.chooser.nextAnswer = "/srv";
    form().CmdFindPath->click();
    EXPECT_EQ(form().TxtsDir->text(), "/srv");
}

TEST_F(OutputTargetTest, GeodatabaseBrowseOffersMdbAndGeoPackage) {
    form().opOutputType[1]->setChecked(true);
    form().TxtPath->setText("/kept.gpkg");
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), "/kept.gpkg");
    ASSERT_EQ(prompter.fileDialogTitles, QStringList{"Поиск файла "});
    QStringList filters;
    for (const FileFilter& filter : prompter.fileDialogFilters[0])
        filters << filter.description + "|" + filter.pattern;
    EXPECT_EQ(filters, QStringList({"Personal Data Base *.mdb|*.mdb", "GeoPackage *.gpkg|*.gpkg"}));
    prompter.files.push_back(QString("/data/base.gpkg"));
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), "/data/base.gpkg");
    EXPECT_EQ(prompter.chooser.shown, 0);
}

}  // namespace
