#include "MergeDialogFixture.h"

#include "dialog/WorkAnimation.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gdal_priv.h>

namespace {

using ShapefileFixture::bytesOf;

// Records whether the busy picture was showing whenever a question was asked.
class WatchingPrompter : public ScriptedPrompter {
public:
    using ScriptedPrompter::messageBox;
    MsgBoxResult messageBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                            const QString& title) override {
        busyWhenAsked << frmConflux::instance().form()->ImageWork->isVisible();
        return ScriptedPrompter::messageBox(text, buttons, icon, title);
    }
    QList<bool> busyWhenAsked;
};

class MergeTest : public MergeDialogFixture {
protected:
    void SetUp() override {
        MergeDialogFixture::SetUp();
        dialog().setPrompter(&watcher);
        QDir().mkdir(path("out"));
    }

    // The output and filter controls as a user leaves them; the field source is typed last
    // because the mask and the kind refill its list.
    void setUp(const QString& mask, int kind, const QString& fieldSource, bool shapefile,
               const QString& target, const QString& name) {
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
        form().opFeatureType[kind]->setChecked(true);
        form().TxtFeatureMask->setText(mask);
        form().opOutputType[shapefile ? 0 : 1]->setChecked(true);
        form().TxtPath->setText(target);
        form().txtDataClassName->setText(name);
        form().CmbFileSource->setCurrentText(fieldSource);
    }

    void clickMerge() {
        form().FrameOutput->setEnabled(true);
        form().CmdMerge->click();
        EXPECT_FALSE(form().ImageWork->isVisible());
    }

    QStringList texts() const {
        QStringList shown;
        for (const ShownMessage& m : watcher.messages) {
            shown << m.text;
        }
        return shown;
    }

    QString summary() const { return form().LblOutputCount->text(); }

    // Two polygon inputs of 10 and 15 features and a line input, built as inputs.
    void buildParcels() {
        const QStringList files = {polygons("parcels_a", 10), lines("parcels_l", 4),
                                   polygons("parcels_b", 15)};
        buildInputs(files);
    }

    WatchingPrompter watcher;
};

TEST_F(MergeTest, NothingToMergeWithoutInputsOrFieldSource) {
    for (const auto& tables :
         {std::vector<std::shared_ptr<ITable>>{}, std::vector<std::shared_ptr<ITable>>{nullptr}}) {
        dialog().state().TablesArray = tables;
        clickMerge();
    }
    buildParcels();
    form().CmbFileSource->setCurrentText(QString());
    clickMerge();
    EXPECT_EQ(texts(), QStringList({"нет объектов", "нет объектов",
                                    "Вы забыли указать файл-источник полей"}));
    for (const ShownMessage& m : watcher.messages) {
        EXPECT_EQ(m.title, "Conflux2_v9");
        EXPECT_EQ(m.icon, MsgBoxIcon::None);
    }
    EXPECT_TRUE(errors.reports.texts.isEmpty());
    EXPECT_EQ(watcher.busyWhenAsked, QList<bool>({false, false, false}));
}

TEST_F(MergeTest, FieldSourceThatCannotBeOpenedIsReported) {
    buildParcels();
    setUp("*", 2, path("gone.shp"), true, path("out"), "merged");
    clickMerge();
    ASSERT_EQ(errors.reports.texts.size(), 1);
    EXPECT_TRUE(errors.reports.texts[0].contains("CmdMerge_Click "));
    EXPECT_TRUE(watcher.messages.isEmpty());
}

TEST_F(MergeTest, OutputChecksStopBeforeAnythingIsWritten) {
    buildParcels();
    QFile(path("notes.txt")).open(QIODevice::WriteOnly);
    struct Case {
        bool shapefile;
        QString target;
        QString message;
    };
    const QList<Case> cases = {
        {true, path("nowhere"), "Directory " + path("nowhere") + " is not exist!!"},
        {true, QString(), "Directory  is not exist!!"},
        {false, path("notes.txt"), "File  " + path("notes.txt") + " is not exist!!"},
        {false, path("none.mdb"), "File  " + path("none.mdb") + " is not exist!!"},
        {false, path("none.gpkg"), "File  " + path("none.gpkg") + " is not exist!!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        watcher.messages.clear();
        form().LblOutputCount->setText("previous");
        setUp("*", 2, path("parcels_a.shp"), c.shapefile, c.target, "merged");
        clickMerge();
        ASSERT_EQ(watcher.messages.size(), 1);
        EXPECT_EQ(watcher.messages[0].text, c.message);
        EXPECT_EQ(watcher.messages[0].icon, MsgBoxIcon::Exclamation);
        EXPECT_EQ(watcher.messages[0].title, "Conflux");
        EXPECT_EQ(summary(), QString());
    }
    EXPECT_EQ(watcher.busyWhenAsked, QList<bool>(cases.size(), true));
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(MergeTest, NoElementsWhenMaskOrKindAdmitsNothing) {
    buildParcels();
    // A multipatch input is of no kind, whatever is chosen.
    dialog().state().ShapeTypes[1] = 9;
    const QList<std::pair<QString, int>> cases = {
        {"roads*", 2}, {"*", 0}, {"parcels_l", 1}, {"parcels_l", 0}};
    for (const auto& [mask, kind] : cases) {
        watcher.messages.clear();
        setUp(mask, kind, path("parcels_a.shp"), true, path("out"), "merged");
        clickMerge();
        EXPECT_EQ(texts(), QStringList({"No elements for merge"}));
    }
    EXPECT_EQ(watcher.messages[0].title, "Conflux2_v9");
    EXPECT_EQ(ShapefileFixture::files(path("out")), QStringList());
}

TEST_F(MergeTest, MergesTheAdmittedInputsAndSummarises) {
    buildParcels();
    // Lower case with blanks: both sides are upper-cased and the blanks removed.
    setUp("  parcels_* ", 2, path("parcels_a.shp"), true, path("out"), "merged");
    clickMerge();
    EXPECT_TRUE(watcher.messages.isEmpty());
    EXPECT_TRUE(errors.reports.texts.isEmpty());
    EXPECT_EQ(summary(),
              "Merge success!!!\r\nFeaturs merged 2\r\nnew Feature count 25\r\n"
              "not merged 0");
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 25u);
    // The inputs stay built for another merge.
    EXPECT_EQ(dialog().state().TablesArray.size(), 3u);
}

TEST_F(MergeTest, ReplaceQuestionNoKeepsYesReplaces) {
    buildParcels();
    polygons("merged", 3, path("out"));
    const QByteArray before = bytesOf(path("out/merged.shp"));
    setUp("*", 2, path("parcels_a.shp"), true, path("out"), "merged");
    const QString question = "Файл " + path("out") + "/merged.shp существует \r\nЗаменить?";

    watcher.answers = {MsgBoxResult::No};
    clickMerge();
    EXPECT_EQ(bytesOf(path("out/merged.shp")), before);
    EXPECT_EQ(summary(), QString());

    watcher.answers = {MsgBoxResult::Yes};
    clickMerge();
    ASSERT_EQ(watcher.messages.size(), 2);
    for (const ShownMessage& m : watcher.messages) {
        EXPECT_EQ(m.text, question);
        EXPECT_EQ(m.buttons, MsgBoxButtons::YesNo);
        EXPECT_EQ(m.icon, MsgBoxIcon::Exclamation);
        EXPECT_EQ(m.title, "Conflux2_v9");
    }
    EXPECT_EQ(watcher.busyWhenAsked, QList<bool>({true, true}));
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 25u);
    EXPECT_TRUE(summary().startsWith("Merge success!!!"));
}

TEST_F(MergeTest, RefusedFeaturesAreCountedAndExplained) {
    std::vector<ShapefileFixture::Feature> multi = {{"MULTIPOINT ((0 0),(1 1))", {"1"}},
                                                    {"MULTIPOINT ((2 2))", {"2"}},
                                                    {"MULTIPOINT ((3 3),(4 4))", {"3"}}};
    std::vector<ShapefileFixture::Feature> single = {{"POINT (5 5)", {"4"}}};
    const QString wells =
        ShapefileFixture::write(dir.path(), "wells", "POINT", {{"ID", 'N', 9}}, single);
    const QString groups =
        ShapefileFixture::write(dir.path(), "groups", "MULTIPOINT", {{"ID", 'N', 9}}, multi);
    buildInputs({wells, groups});
    setUp("*", 0, wells, true, path("out"), "points");
    clickMerge();
    EXPECT_EQ(summary(),
              "Merge success!!!\r\nFeaturs merged 2\r\nnew Feature count 2\r\n"
              "not merged 2");
    EXPECT_TRUE(form().LblOutputCount->toolTip().contains("other geometry: 2"));
}

TEST_F(MergeTest, GeoPackageOutputAndAccessFileRefused) {
    buildParcels();
    GDALAllRegister();
    const QString gpkg = path("store.gpkg");
    GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
        gpkg.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    setUp("*", 2, path("parcels_b.shp"), false, gpkg, "parcels");
    clickMerge();
    EXPECT_TRUE(summary().endsWith("new Feature count 25\r\nnot merged 0"));
    EXPECT_EQ(ShapefileFixture::read(gpkg, "parcels").features.size(), 25u);

    QByteArray jet(4096, '\0');
    jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    QFile mdb(path("base.MDB"));
    ASSERT_TRUE(mdb.open(QIODevice::WriteOnly));
    mdb.write(jet);
    mdb.close();
    setUp("*", 2, path("parcels_b.shp"), false, path("base.MDB"), "parcels");
    clickMerge();
    EXPECT_EQ(summary(), QString());
    ASSERT_EQ(errors.reports.texts.size(), 1);
    EXPECT_TRUE(errors.reports.texts[0].contains("Conflux "));
    EXPECT_TRUE(errors.reports.texts[0].contains("Access"));
    EXPECT_EQ(bytesOf(path("base.MDB")), jet);
    EXPECT_TRUE(watcher.messages.isEmpty());
}

}  // namespace
