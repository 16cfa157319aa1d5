// The inputs opened from the file list and the merge button: its checks in order, the output
// questions, the merge and its summary, and what stays as it was when either fails.
#include "MergeDialogFixture.h"

#include <QDir>
#include <QFile>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace {

using ShapefileFixture::bytesOf;

class MergeTest : public MergeDialogFixture {
protected:
    void SetUp() override {
        MergeDialogFixture::SetUp();
        QDir().mkdir(path("out"));
    }

    // Polygon inputs of 10 and 15 features around a line input.
    void buildParcels() {
        buildInputs({polygons("parcels_a", 10), polygons("parcels_l", 4, {}, true),
                     polygons("parcels_b", 15)});
    }

    // Leaves the controls as a user would, then clicks Merge; the field source goes last
    // because the mask and the kind refill its list.
    static void merge(const QString& mask, int kind, const QString& fieldSource, bool shapefile,
                      const QString& target, const QString& name = "merged") {
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
        form().opFeatureType[kind]->setChecked(true);
        form().TxtFeatureMask->setText(mask);
        form().opOutputType[shapefile ? 0 : 1]->setChecked(true);
        form().TxtPath->setText(target);
        form().txtDataClassName->setText(name);
        form().CmbFileSource->setCurrentText(fieldSource);
        form().CmdMerge->click();
        EXPECT_FALSE(form().ImageWork->isVisible());
    }

    static QString summary() { return form().LblOutputCount->text(); }
};

TEST_F(MergeTest, InputsThenFieldSourceAreCheckedFirst) {
    for (const auto& tables :
         {std::vector<std::shared_ptr<ITable>>{}, std::vector<std::shared_ptr<ITable>>{nullptr}}) {
        dialog().state().TablesArray = tables;
        merge("*", 2, path("parcels_a.shp"), true, path("nowhere"));
    }
    buildParcels();
    merge("*", 2, QString(), true, path("nowhere"));
    EXPECT_EQ(prompter.texts(), QStringList({"нет объектов", "нет объектов",
                                             "Вы забыли указать файл-источник полей"}));
    for (const ShownMessage& m : prompter.messages) {
        EXPECT_EQ(m.title, "Conflux2_v9");
        EXPECT_EQ(m.icon, MsgBoxIcon::None);
    }
    EXPECT_EQ(prompter.busyWhenAsked, QList<bool>({false, false, false}));
    EXPECT_TRUE(errors.reports.texts.isEmpty());

    // A field source that cannot be opened is reported before the output is looked at.
    prompter.messages.clear();
    merge("*", 2, path("gone.shp"), true, path("nowhere"));
    ASSERT_EQ(errors.reports.texts.size(), 1);
    EXPECT_TRUE(errors.reports.texts[0].contains("CmdMerge_Click "));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(MergeTest, OutputChecksStopBeforeAdmissionAndWriting) {
    buildParcels();
    QFile(path("notes.txt")).open(QIODevice::WriteOnly);
    struct Case {
        bool shapefile;
        QString target, message;
    };
    const Case cases[] = {
        {true, path("nowhere"), "Directory " + path("nowhere") + " is not exist!!"},
        {true, QString(), "Directory  is not exist!!"},
        {false, path("notes.txt"), "File  " + path("notes.txt") + " is not exist!!"},
        {false, path("none.gpkg"), "File  " + path("none.gpkg") + " is not exist!!"},
        {false, path("none.gdb"), "File  " + path("none.gdb") + " is not exist!!"},
        {false, path("notes.txt") + "/a.gdb",
         "File  " + path("notes.txt") + "/a.gdb is not exist!!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        prompter.messages.clear();
        form().LblOutputCount->setText("previous");
        // The mask admits nothing: the output is checked first all the same.
        merge("roads*", 2, path("parcels_a.shp"), c.shapefile, c.target);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].text, c.message);
        EXPECT_EQ(prompter.messages[0].icon, MsgBoxIcon::Exclamation);
        EXPECT_EQ(prompter.messages[0].title, "Conflux");
        EXPECT_EQ(summary(), QString());
    }
    EXPECT_EQ(prompter.busyWhenAsked, QList<bool>(std::size(cases), true));
    EXPECT_FALSE(QFile::exists(path("none.gpkg")));
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(MergeTest, NoElementsWhenMaskOrKindAdmitsNothing) {
    buildParcels();
    dialog().state().ShapeTypes[1] = 9;  // a multipatch is of no kind, whatever is chosen
    merge("roads*", 2, path("parcels_a.shp"), true, path("out"));
    merge("parcels_l", 1, path("parcels_a.shp"), true, path("out"));
    EXPECT_EQ(prompter.texts(), QStringList(2, "No elements for merge"));
    EXPECT_EQ(prompter.messages[0].title, "Conflux2_v9");
    EXPECT_EQ(ShapefileFixture::files(path("out")), QStringList());
}

TEST_F(MergeTest, ReplaceQuestionNoKeepsYesReplaces) {
    buildParcels();
    polygons("merged", 3, path("out"));
    const QByteArray before = bytesOf(path("out/merged.shp"));
    prompter.answers = {MsgBoxResult::No, MsgBoxResult::Yes};
    // Lower case with blanks: the admission upper-cases both sides and drops the blanks.
    merge("  parcels_* ", 2, path("parcels_a.shp"), true, path("out"));
    EXPECT_EQ(bytesOf(path("out/merged.shp")), before);
    EXPECT_EQ(summary(), QString());

    merge("  parcels_* ", 2, path("parcels_a.shp"), true, path("out"));
    ASSERT_EQ(prompter.messages.size(), 2);
    for (const ShownMessage& m : prompter.messages) {
        EXPECT_EQ(m.text, "Файл " + path("out") + "/merged.shp существует \r\nЗаменить?");
        EXPECT_EQ(m.buttons, MsgBoxButtons::YesNo);
        EXPECT_EQ(m.icon, MsgBoxIcon::Exclamation);
        EXPECT_EQ(m.title, "Conflux2_v9");
    }
    EXPECT_EQ(prompter.busyWhenAsked, QList<bool>({true, true}));
    // The two polygon inputs, not the line input.
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 25u);
    EXPECT_EQ(summary(),
              "Merge success!!!\r\nFeaturs merged 2\r\nnew Feature count 25\r\nnot merged 0");
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(MergeTest, RefusedFeaturesAreCountedAndExplained) {
    const QString wells = ShapefileFixture::write(dir.path(), "wells", "POINT", {{"ID", 'N', 9}},
                                                  {{"POINT (5 5)", {"4"}}});
    const QString groups =
        ShapefileFixture::write(dir.path(), "groups", "MULTIPOINT", {{"ID", 'N', 9}},
                                {{"MULTIPOINT ((0 0),(1 1))", {"1"}},
                                 {"MULTIPOINT ((2 2))", {"2"}},
                                 {"MULTIPOINT ((3 3),(4 4))", {"3"}}});
    ShapefileFixture::writePrj(wells, 32637);
    ShapefileFixture::writePrj(groups, 32638);
    buildInputs({wells, groups});
    merge("*", 0, wells, true, path("out"), "points");
    EXPECT_EQ(summary(),
              "Merge success!!!\r\nFeaturs merged 2\r\nnew Feature count 2\r\nnot merged 2");
    EXPECT_EQ(form().LblOutputCount->toolTip(),
              "Not merged, by reason:\nother geometry: 2\nMerged with a change:\n"
              "reprojected from WGS 84 / UTM zone 38N (EPSG:32638): 1");
}

// A geodatabase that cannot be written is reported under the procedure's label (no module
// part, then one blank and the empty line text) and left as it was.
TEST_F(MergeTest, GeodatabaseThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    buildParcels();
    QByteArray jet(4096, '\0');
    jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    GDALAllRegister();
    GDALDatasetUniquePtr(
        GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
            path("taken.gpkg").toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr))
        ->CreateLayer("parcels", nullptr, wkbPolygon, nullptr);
    const std::tuple<QString, QByteArray, QString> files[] = {
        {path("base.MDB"), jet, "Access"},
        {path("broken.gpkg"), "not a geopackage", "cannot be opened"},
        {path("taken.gpkg"), bytesOf(path("taken.gpkg")),
         "Layer 'parcels' already exists in '" + path("taken.gpkg") + "'"}};
    for (const auto& [file, bytes, cause] : files) {
        SCOPED_TRACE(file.toStdString());
        errors.reports.texts.clear();
        QFile target(file);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly) && target.write(bytes) == bytes.size());
        target.close();
        merge("*", 2, path("parcels_b.shp"), false, file, "parcels");
        EXPECT_EQ(summary(), QString());
        ASSERT_EQ(errors.reports.texts.size(), 1);
        EXPECT_TRUE(errors.reports.texts[0].contains("\r\n\tConflux  \r\n"));
        EXPECT_TRUE(errors.reports.texts[0].contains(cause))
            << errors.reports.texts[0].toStdString();
        EXPECT_EQ(bytesOf(file), bytes);
        EXPECT_TRUE(prompter.messages.isEmpty());
    }
}

// A rebuild that fails must not leave the input frame offering what the previous build found:
// here the names of the earlier inputs, paired with the path of the file that failed to open.
TEST_F(MergeTest, FailedRebuildOffersNothingOfThePreviousInputs) {
    QDir().mkdir(path("one"));
    QDir().mkdir(path("two"));
    polygons("alpha", 2, path("one"));
    polygons("beta", 3, path("one"));
    form().TxtsDir->setText(path("one"));
    form().CmdGetDir->click();
    form().CmdToInput->click();
    ASSERT_TRUE(form().FrameOutput->isEnabled());

    ASSERT_TRUE(QFile(path("two/broken.shp")).open(QIODevice::WriteOnly));  // no shapefile
    form().TxtsDir->setText(path("two"));
    form().CmdGetDir->click();
    form().CmdToInput->click();
    ASSERT_EQ(form().LblInputCount->text(), "no data");
    ASSERT_TRUE(form().FrameInput->isEnabled());

    clickOption(form().opFeatureType[1]);
    clickOption(form().opFeatureType[2]);
    EXPECT_EQ(items(form().CmbNames).join(",").toStdString(), "");
    EXPECT_EQ(items(form().CmbFileSource).join(",").toStdString(), "");
    EXPECT_EQ(form().LblInputCount->text().left(1).toStdString(), "0");
}

// A field source of another geometry kind than the chosen one (typed into the editable list)
// makes every admitted feature unfit for the output. Such a merge must neither replace the
// earlier output with an empty one nor say it succeeded.
TEST_F(MergeTest, FieldSourceOfAnotherKindNeitherEmptiesTheOutputNorReportsSuccess) {
    buildInputs({polygons("parcels", 10), polygons("roads", 4, {}, true)});
    merge("*", 2, path("parcels.shp"), true, path("out"));
    ASSERT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 10u);

    prompter.answers = {MsgBoxResult::Yes};  // "Заменить?"
    merge("*", 2, path("roads.shp"), true, path("out"));
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 10u);
    EXPECT_FALSE(summary().startsWith("Merge success!!!")) << summary().toStdString();
}

TEST_F(MergeTest, InputsThatCannotBeOpenedAreReportedAndThoseAddedStay) {
    auto& s = dialog().state();
    s.FilesList = QStringList{polygons("lakes", 1), path("missing.shp"), polygons("parks", 1)};
    EXPECT_EQ(dialog().UpdateTablesArrayFromDir(), 0);
    ASSERT_EQ(errors.reports.texts.size(), 1);
    EXPECT_TRUE(errors.reports.texts[0].contains("UpdateTablesArrayFromDir "));
    EXPECT_TRUE(errors.reports.texts[0].contains("missing"));
    EXPECT_EQ(s.TableNames, QStringList({"lakes"}));  // what was added stays

    s.m_pApp = std::make_shared<ApplicationWithoutCatalogue>();
    EXPECT_EQ(dialog().UpdateTablesArrayFromDir(), 0);
    EXPECT_EQ(errors.reports.texts.size(), 2);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

}  // namespace
