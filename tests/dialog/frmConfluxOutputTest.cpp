#include "DialogFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

using OutputTargetTest = DialogFixture;

void retype(QLineEdit* box, const QString& text) {
    box->clear();
    DialogFixture::typeText(box, text);
}

struct NameCase {
    QString fileMask;
    QString featureMask;
    QString proposed;
};

TEST_F(OutputTargetTest, ProposedNameFollowsTheMasks) {
    form().FrameInput->setEnabled(true);
    const QList<NameCase> cases = {
        {"road*", "*", "road"}, {"*", "*_2005?", "_2005"}, {"*", "*", "Merge"},      {"", "*", ""},
        {"a b?*", "x", "a b"},  {"*", "лес*", "лес"},      {"?r*?", "ignored", "r"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.fileMask.toStdString() + " / " + c.featureMask.toStdString());
        retype(form().TxtFeatureMask, c.featureMask);
        retype(form().TxtFileMask, c.fileMask);
        EXPECT_EQ(form().txtDataClassName->text(), c.proposed);
    }
}

TEST_F(OutputTargetTest, MaskChangeReplacesTheNameTheUserTyped) {
    form().FrameOutput->setEnabled(true);
    retype(form().txtDataClassName, "mine");
    typeText(form().TxtFileMask, "x");  // "*x"
    EXPECT_EQ(form().txtDataClassName->text(), "x");
}

TEST_F(OutputTargetTest, OutputTypeSwitchesCaptionsAndKeepsThePath) {
    form().FrameOutput->setEnabled(true);
    retype(form().TxtPath, "/out/base.gpkg");
    QRadioButton* geodatabase = form().opOutputType[1];
    QTest::mouseClick(geodatabase, Qt::LeftButton, {}, QPoint(6, geodatabase->height() / 2));
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
    EXPECT_EQ(form().TxtDataSet->text(), "Merge");
}

TEST_F(OutputTargetTest, LeavingThePathDropsOneTrailingSlashButKeepsTheRoot) {
    form().FrameOutput->setEnabled(true);
    const QList<std::pair<QString, QString>> cases = {
        {"/out/", "/out"}, {"/out//", "/out/"}, {"/", "/"}, {"/out", "/out"}, {"", ""}, {"//", "/"},
    };
    for (const auto& [typed, left] : cases) {
        form().TxtPath->setText(typed);
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(form().TxtPath, &focusOut);
        EXPECT_EQ(form().TxtPath->text(), left) << typed.toStdString();
    }
    // Switching to another window is no loss of focus for the box.
    form().TxtPath->setText("/out/");
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(form().TxtPath, &deactivated);
    EXPECT_EQ(form().TxtPath->text(), "/out/");
}

TEST_F(OutputTargetTest, FolderBrowsePresetsFromThePathThenTheRoot) {
    form().FrameOutput->setEnabled(true);
    QTemporaryDir dir;
    struct Case {
        QString path;
        QString root;
        QStringList drivePresets;
        QStringList folderPresets;
    };
    const QString missing = dir.path() + "/missing";
    const QList<Case> cases = {
        {"", dir.path(), {"", dir.path()}, {"", dir.path()}},
        {dir.path(), "/elsewhere", {dir.path()}, {dir.path()}},
        {missing, dir.path(), {missing}, {missing, dir.path()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        prompter.chooser.drivePresets.clear();
        prompter.chooser.folderPresets.clear();
        form().TxtPath->setText(c.path);
        form().TxtsDir->setText(c.root);
        prompter.chooser.nextAnswer.reset();
        form().CmdFindPath2->click();
        EXPECT_EQ(prompter.chooser.drivePresets, c.drivePresets);
        EXPECT_EQ(prompter.chooser.folderPresets, c.folderPresets);
        EXPECT_EQ(form().TxtPath->text(), c.path);  // cancelled
    }
    prompter.chooser.nextAnswer = dir.path();
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), dir.path());
    EXPECT_TRUE(prompter.fileDialogTitles.isEmpty());
}

TEST_F(OutputTargetTest, GeodatabaseBrowseOffersMdbAndGeoPackage) {
    form().FrameOutput->setEnabled(true);
    form().opOutputType[1]->setChecked(true);
    form().TxtPath->setText("/kept.gpkg");
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), "/kept.gpkg");
    ASSERT_EQ(prompter.fileDialogTitles, QStringList{"Поиск файла "});
    const QList<FileFilter> filters = prompter.fileDialogFilters[0];
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].description, "Personal Data Base *.mdb");
    EXPECT_EQ(filters[0].pattern, "*.mdb");
    EXPECT_EQ(filters[1].pattern, "*.gpkg");
    prompter.files.push_back(QString("/data/base.gpkg"));
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), "/data/base.gpkg");
    EXPECT_EQ(prompter.chooser.shown, 0);
}

TEST_F(OutputTargetTest, RootBrowsePresetsFromTheRootAndKeepsItOnCancel) {
    QTemporaryDir dir;
    form().TxtsDir->setText(dir.path());
    form().CmdFindPath->click();
    EXPECT_EQ(prompter.chooser.drivePresets, QStringList{dir.path()});
    EXPECT_EQ(prompter.chooser.folderPresets, QStringList{dir.path()});
    EXPECT_EQ(form().TxtsDir->text(), dir.path());
    prompter.chooser.nextAnswer = "/srv";
    form().CmdFindPath->click();
    EXPECT_EQ(form().TxtsDir->text(), "/srv");
}

}  // namespace
