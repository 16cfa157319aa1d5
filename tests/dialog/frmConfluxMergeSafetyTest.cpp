// Reports, a failed rebuild and a merge that could write nothing: what the user is told and
// what stays as it was.
#include "MergeDialogFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class MergeSafetyTest : public MergeDialogFixture {
protected:
    // Empty files, with their folders.
    void emptyFiles(const QStringList& names) const {
        for (const QString& name : names) {
            QDir().mkpath(QFileInfo(path(name)).path());
            ASSERT_TRUE(QFile(path(name)).open(QIODevice::WriteOnly)) << name.toStdString();
        }
    }
    // The line of a report that carries the label: a TAB, the label, CRLF.
    static std::string labelLine(const QString& report) {
        const qsizetype start = report.indexOf(QLatin1Char('\t'));
        const qsizetype end = report.indexOf(QStringLiteral("\r\n"), start);
        return report.mid(start + 1, end - start - 1).toStdString();
    }
};

// A dialog procedure's report label is its procedure label, no module part, then one blank and
// the (empty) line text: two blanks after the name.
TEST_F(MergeSafetyTest, DialogReportLabelsCarryNoModulePart) {
    dialog().state().m_pApp = std::make_shared<ApplicationWithoutCatalogue>();
    dialog().state().FilesList = QStringList{path("a.shp")};
    EXPECT_EQ(dialog().UpdateTablesArrayFromDir(), 0);

    dialog().state().m_pApp = std::make_shared<FakeApplication>();
    buildInputs({polygons("parcels", 3)});
    QFile broken(path("broken.gpkg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a geopackage");
    broken.close();
    form().FrameInput->setEnabled(true);
    form().FrameOutput->setEnabled(true);
    form().opOutputType[1]->setChecked(true);
    form().TxtPath->setText(path("broken.gpkg"));
    form().CmbFileSource->setCurrentText(path("parcels.shp"));
    form().CmdMerge->click();

    ASSERT_EQ(errors.reports.texts.size(), 2);
    EXPECT_EQ(labelLine(errors.reports.texts[0]), "UpdateTablesArrayFromDir  ");
    EXPECT_EQ(labelLine(errors.reports.texts[1]), "Conflux  ");
}

// A rebuild that fails must not leave the input frame offering what the previous build found:
// here the names of the earlier inputs, paired with the path of the file that failed to open.
TEST_F(MergeSafetyTest, FailedRebuildOffersNothingOfThePreviousInputs) {
    QDir().mkdir(path("one"));
    QDir().mkdir(path("two"));
    polygons("alpha", 2, path("one"));
    polygons("beta", 3, path("one"));
    form().TxtsDir->setText(path("one"));
    form().CmdGetDir->click();
    form().CmdToInput->click();
    ASSERT_TRUE(form().FrameOutput->isEnabled());

    emptyFiles({"two/broken.shp"});  // no shapefile: the rebuild fails on it
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
TEST_F(MergeSafetyTest, FieldSourceOfAnotherKindNeitherEmptiesTheOutputNorReportsSuccess) {
    QDir().mkdir(path("out"));
    buildInputs({polygons("parcels", 10), polygons("roads", 4, {}, true)});
    const auto mergeInto = [this](const QString& fieldSource) {
        form().FrameInput->setEnabled(true);
        form().FrameOutput->setEnabled(true);
        form().opFeatureType[2]->setChecked(true);
        form().TxtFeatureMask->setText("*");
        form().TxtPath->setText(path("out"));
        form().txtDataClassName->setText("merged");
        form().CmbFileSource->setCurrentText(fieldSource);
        form().CmdMerge->click();
    };
    mergeInto(path("parcels.shp"));
    ASSERT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 10u);

    prompter.answers = {MsgBoxResult::Yes};  // "Заменить?"
    mergeInto(path("roads.shp"));
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 10u);
    EXPECT_FALSE(form().LblOutputCount->text().startsWith("Merge success!!!"))
        << form().LblOutputCount->text().toStdString();
}

}  // namespace
