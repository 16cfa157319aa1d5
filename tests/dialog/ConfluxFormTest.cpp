// The window and its lower frames: keys, closing; the event chains of the kind options, the
// name list, the masks and the field sources; output captions, path tidying and browsing.
#include "DialogFixture.h"

#include "support/FakeHost.h"

#include <QButtonGroup>
#include <QPointer>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

namespace {

// The window once inputs exist: both lower frames take clicks.
class FramesTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
    }

    // Two line types, a polygon, a point and a multipatch.
    static void setInputs() {
        ConfluxState& s = dialog().state();
        s.FilesList = QStringList{"/d/roads.shp", "/d/rivers.shp", "/d/lakes.shp", "/d/wells.shp",
                                  "/d/model.shp"};
        s.TableNames = {"ROADS", "rivers", "lakes", "wells", "model"};
        s.ShapeTypes = {3, 13, 4, 1, 9};
    }
};

TEST_F(FramesTest, EnterAndEscPressNeitherMergeNorCancel) {
    QSignalSpy merges(form().CmdMerge, &QPushButton::clicked);
    form().TxtPath->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(form().TxtPath, key);
        ASSERT_TRUE(dialog().isLoaded());
        EXPECT_TRUE(form().isVisible());
    }
    EXPECT_EQ(merges.count(), 0);
}

TEST_F(FramesTest, ClosingUnloadsTheControlsAndKeepsTheState) {
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
        QPointer<ConfluxForm> first = dialog().form();

        close();
        EXPECT_FALSE(dialog().isLoaded());
        flushDeletes();
        EXPECT_TRUE(first.isNull());

        loadAndShow();
        EXPECT_EQ(form().TxtsDir->text(), "");
        EXPECT_FALSE(form().FrameInput->isEnabled());
        EXPECT_FALSE(form().FrameOutput->isEnabled());
        EXPECT_EQ(dialog().state().m_pApp, application);
        EXPECT_EQ(dialog().state().FilesList, QStringList{"/data/roads.shp"});
    }
}

TEST_F(FramesTest, KindClickRefillsNamesThenSourcesAndANamePickSetsTheMask) {
    setInputs();
    dialog().state().LineNames = QStringList{"rivers", "roads"};
    QStringList masks;
    QObject::connect(form().TxtFeatureMask, &QLineEdit::textChanged,
                     [&](const QString& t) { masks << t; });

    clickOption(form().opFeatureType[1]);
    EXPECT_EQ(items(form().CmbNames), (QStringList{"rivers", "roads"}));
    // The first name was picked (its click set the mask) before the mask went back to "*".
    EXPECT_EQ(masks, (QStringList{"rivers", "*"}));
    EXPECT_EQ(items(form().CmbFileSource), (QStringList{"/d/roads.shp", "/d/rivers.shp"}));
    EXPECT_EQ(form().LblInputCount->text(), "2");

    flushDeletes();                      // back in the event loop, as before any pick of the user
    emit form().CmbNames->activated(0);  // the name already shown
    EXPECT_EQ(form().TxtFeatureMask->text(), "rivers");
    EXPECT_EQ(form().LblInputCount->text(), "1 из 2");

    QTest::keyClick(form().CmbNames, Qt::Key_Down);
    EXPECT_EQ(form().TxtFeatureMask->text(), "roads");
    EXPECT_EQ(form().txtDataClassName->text(), "roads");
    EXPECT_EQ(items(form().CmbFileSource), QStringList{"/d/roads.shp"});
    EXPECT_EQ(form().LblInputCount->text(), "1 из 2");
}

TEST_F(FramesTest, FieldSourcesAreTheMatchingInputsOfTheKind) {
    setInputs();
    struct Case {
        const char* name;
        int kind;
        QString mask;
        QStringList sources;
        QString label;
    };
    const Case cases[] = {
        {"both line types", 1, "*", {"/d/roads.shp", "/d/rivers.shp"}, "2 из 2"},
        {"mask narrows, case-blind", 1, "roads", {"/d/roads.shp"}, "1 из 2"},
        {"polygons", 2, "*", {"/d/lakes.shp"}, "1 из 1"},
        {"multipatch is no point", 0, "*", {"/d/wells.shp"}, "1 из 1"},
        {"invalid mask: the label says why", 1, "[r", {}, "Invalid pattern: [r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            const QSignalBlocker quiet(form().opFeatureTypeGroup);
            form().opFeatureType[c.kind]->setChecked(true);
        }
        retype(form().TxtFeatureMask, c.mask);
        EXPECT_EQ(items(form().CmbFileSource), c.sources);
        EXPECT_EQ(form().CmbFileSource->currentText(), "");
        EXPECT_EQ(form().LblInputCount->text(), c.label);
    }
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(FramesTest, ListsNeverOrPartlyBuiltOfferOnlyWhatIsDescribed) {
    typeText(form().TxtFeatureMask, "a");
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0 из 0");
    clickOption(form().opFeatureType[0]);
    EXPECT_EQ(form().CmbNames->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0");

    // A build of the inputs that stopped after the first file.
    dialog().state().FilesList = QStringList{"/d/a.shp", "/d/b.shp", "/d/c.shp"};
    dialog().state().TableNames = {"a", "b"};
    dialog().state().ShapeTypes = {1};
    form().TxtFeatureMask->setText("?");
    EXPECT_EQ(items(form().CmbFileSource), QStringList{"/d/a.shp"});
    EXPECT_EQ(form().LblInputCount->text(), "1 из 1");
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(FramesTest, OutputTypeSwitchesCaptionsAndKeepsThePath) {
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

TEST_F(FramesTest, BrowsesPresetAndChangeThePathOnlyWhenSomethingIsChosen) {
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

    // A geodatabase is a file: the file dialog offers both kinds and opens on the one that can
    // be written.
    form().opOutputType[1]->setChecked(true);
    form().TxtPath->setText("/kept.gpkg");
    form().CmdFindPath2->click();
    EXPECT_EQ(form().TxtPath->text(), "/kept.gpkg");
    ASSERT_EQ(prompter.fileDialogTitles, QStringList{"Поиск файла "});
    EXPECT_EQ(prompter.fileDialogInitialFilters, QList<qsizetype>{1});  // opens on GeoPackage
    QStringList filters;
    for (const FileFilter& filter : prompter.fileDialogFilters[0])
        filters << filter.description + "|" + filter.pattern;
    EXPECT_EQ(filters, QStringList({"Personal Data Base *.mdb|*.mdb", "GeoPackage *.gpkg|*.gpkg",
                                    "File Geodatabase *.gdb|*"}));
    // A File Geodatabase is a folder: a file chosen inside it, or the folder, names the folder.
    const std::pair<QString, QString> chosen[] = {
        {"/data/base.gpkg", "/data/base.gpkg"},
        {"/data/Карты.GDB/a00000001.gdbtable", "/data/Карты.GDB"},
        {"/data/maps.gdb/gdb", "/data/maps.gdb"},
        {"/data/maps.gdb/", "/data/maps.gdb"},
        {"/data/gdb/maps.gpkg", "/data/gdb/maps.gpkg"},
        {"/data/old.gdb/inner/x.gpkg", "/data/old.gdb/inner/x.gpkg"},
    };
    for (const auto& [file, path] : chosen) {
        prompter.files.push_back(file);
        form().CmdFindPath2->click();
        EXPECT_EQ(form().TxtPath->text(), path) << file.toStdString();
    }
    EXPECT_EQ(prompter.chooser.shown, 4);
}

TEST_F(FramesTest, LeavingThePathDropsOneTrailingSlashButKeepsTheRoot) {
    // Switching to another window is no loss of focus for the box.
    const std::tuple<const char*, Qt::FocusReason, const char*> cases[] = {
        {"/out//", Qt::TabFocusReason, "/out/"},
        {"/", Qt::TabFocusReason, "/"},
        {"/out/", Qt::ActiveWindowFocusReason, "/out/"}};
    for (const auto& [typed, reason, left] : cases) {
        form().TxtPath->setText(typed);
        QFocusEvent focusOut(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(form().TxtPath, &focusOut);
        EXPECT_EQ(form().TxtPath->text(), left) << typed;
    }
}

}  // namespace
