// The whole road through the dialog's controls: scan a folder tree, prune the candidates, move
// them to the input, pick kind, mask, field source and output, and merge.
#include "MergeDialogFixture.h"

#include "platform/FileNameCodec.h"
#include "support/ByteNamedDir.h"
#include "windows/FrmBrowse.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include <sys/stat.h>

namespace {

using ScanToMergeTest = MergeDialogFixture;

TEST_F(ScanToMergeTest, ScanPruneCommitAndMergeThroughTheControls) {
    const QString root = path("survey");
    for (const char* folder : {"survey/north", "survey/south/old", "out"})
        QDir().mkpath(path(folder));
    polygons("parcels_1", 3, path("survey/north"));
    polygons("roads", 2);  // in the folder above the root: never found
    polygons("parcels_2", 4, path("survey/south"));
    polygons("parcels_3", 5, path("survey/south/old"));
    const QString junk = polygons("junk", 6, path("survey/south"));
    polygons("deep", 7, path("survey/south/old"));

    retype(form().TxtsDir, root + "/");
    retype(form().TxtDepthLevel, "3");
    QTest::mouseClick(form().CmdGetDir, Qt::LeftButton);
    EXPECT_EQ(form().LblSelected->text(), "Выбрано: 5 файл(ов)");
    ASSERT_EQ(grid().Rows(), 6);

    removeRow(junk);
    removeRow(root + "/south/old/deep.shp");
    EXPECT_EQ(form().LblSelected->text(), "Всего: 3");

    QTest::mouseClick(form().CmdToInput, Qt::LeftButton);
    ASSERT_TRUE(form().FrameInput->isEnabled());
    ASSERT_TRUE(form().FrameOutput->isEnabled());
    EXPECT_EQ(dialog().state().PolygonNames, QStringList({"parcels_1", "parcels_2", "parcels_3"}));
    EXPECT_EQ(dialog().state().LineNames, QStringList{QString()});

    QTest::mouseClick(form().opFeatureType[2], Qt::LeftButton);
    retype(form().TxtFeatureMask, "parcels_*");
    EXPECT_EQ(form().LblInputCount->text(), "3 из 3");
    EXPECT_EQ(form().txtDataClassName->text(), "parcels_");
    const QString fieldSource = root + "/north/parcels_1.shp";
    ASSERT_GE(form().CmbFileSource->findText(fieldSource), 0);
    form().CmbFileSource->setCurrentIndex(form().CmbFileSource->findText(fieldSource));

    QTest::mouseClick(form().opOutputType[0], Qt::LeftButton);
    prompter.chooser.nextAnswer = path("out");
    QTest::mouseClick(form().CmdFindPath2, Qt::LeftButton);
    EXPECT_EQ(form().TxtPath->text(), path("out"));
    retype(form().txtDataClassName, "merged");

    QTest::mouseClick(form().CmdMerge, Qt::LeftButton);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(errors.reports.texts.isEmpty());
    EXPECT_EQ(form().LblOutputCount->text(),
              "Merge success!!!\r\nFeaturs merged 3\r\nnew Feature count 12\r\nnot merged 0");
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 12u);
}

// A candidate row is TAB-joined text: names with a TAB or a line break must still stay whole in
// their cells through the scan and a delete, and be opened whole as inputs.
TEST_F(ScanToMergeTest, NamesWithATabOrALineBreakStayWholeFromTheScanToTheInputs) {
    const QString root = path("sheets");
    QStringList paths;
    int count = 0;
    for (const char* name : {"a\tb", "line\nbreak", "plain", "tab\tdir/in"}) {
        const QFileInfo shp(root + '/' + name + ".shp");
        QDir().mkpath(shp.path());
        paths << polygons(shp.completeBaseName(), ++count, shp.path());
    }
    retype(form().TxtsDir, root);
    QTest::mouseClick(form().CmdGetDir, Qt::LeftButton);
    EXPECT_EQ(column(0), paths);
    EXPECT_EQ(column(2), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(column(3), QStringList({"a\tb", "line\nbreak", "plain", "in"}));
    // Shown on one line, the TAB and the line feed as their pictures.
    EXPECT_EQ(grid().model()->index(0, 3).data().toString(), QString("a") + QChar(0x2409) + "b");
    EXPECT_EQ(grid().model()->index(1, 3).data().toString(),
              QString("line") + QChar(0x240A) + "break");

    removeRow(paths.takeAt(2));
    EXPECT_EQ(column(0), paths);
    EXPECT_EQ(column(2), QStringList({"1", "2", "4"}));

    QTest::mouseClick(form().CmdToInput, Qt::LeftButton);
    EXPECT_TRUE(errors.reports.texts.isEmpty());
    EXPECT_EQ(dialog().state().FilesList, paths);
    EXPECT_EQ(dialog().state().PolygonNames, QStringList({"a\tb", "in", "line\nbreak"}));
    EXPECT_TRUE(form().FrameOutput->isEnabled());
}

// Names that are not UTF-8 (CP866 and CP1251): scanned, viewed and merged by their bytes.
TEST_F(ScanToMergeTest, NamesInCp1251AndCp866AreScannedViewedAndMerged) {
    ByteNamedDir tree;
    ASSERT_TRUE(tree.isValid());
    const QByteArray sheet = tree.path() + "/\x8B\xA8\xE1\xE2";           // "Лист" in CP866
    const QByteArray stem = sheet + "/\xCF\xE0\xF0\xF6\xE5\xEB\xEB\xFB";  // "Парцеллы", CP1251
    ASSERT_EQ(::mkdir(sheet.constData(), 0755), 0);
    polygons("parcels", 3);
    for (const char* extension : {".shp", ".shx", ".dbf"}) {
        ASSERT_EQ(::rename(QFile::encodeName(path(QStringLiteral("parcels") + extension)),
                           stem + extension),
                  0);
    }
    const QString shp = FileNameCodec::decode(stem + ".shp");

    retype(form().TxtsDir, FileNameCodec::decode(tree.path()));
    QTest::mouseClick(form().CmdGetDir, Qt::LeftButton);
    ASSERT_EQ(column(0), QStringList{shp});
    EXPECT_EQ(column(1), QStringList{"1"});
    EXPECT_EQ(column(2), QStringList{"3"});
    // Shown in the code pages that read them as text, each part its own; kept as bytes.
    const QString shown = QStringLiteral("/Лист/Парцеллы.shp");
    EXPECT_TRUE(grid().model()->index(0, 0).data().toString().endsWith(shown));
    EXPECT_TRUE(grid()
                    .model()
                    ->index(0, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith(shown + " [CP866, CP1251]"));

    QString title;
    dialog().setViewerOpener([&title](const QString& row) {
        const bool viewed = FrmBrowse::instance().prepareOpen(row) &&
                            FrmBrowse::instance().model()->rowCount() == 3;
        title = FrmBrowse::instance().Data1()->findChild<QLabel*>()->text();
        FrmBrowse::instance().Unload();
        return viewed;
    });
    grid().setRow(1);
    dialog().FlexGrid1_DblClick();
    EXPECT_TRUE(title.endsWith(QStringLiteral("/Лист/Парцеллы.dbf [CP866, CP1251]")))
        << title.toStdString();

    QTest::mouseClick(form().CmdToInput, Qt::LeftButton);
    ASSERT_TRUE(form().FrameInput->isEnabled()) << errors.reports.texts.value(0).toStdString();
    QTest::mouseClick(form().opFeatureType[2], Qt::LeftButton);
    EXPECT_EQ(form().CmbNames->itemText(0), QStringLiteral("Парцеллы [CP1251]"));
    EXPECT_EQ(form().TxtFeatureMask->text(), "*");
    QTest::qWait(1);                     // the list's own selection has settled
    emit form().CmbNames->activated(0);  // the user picks the name already selected
    EXPECT_EQ(form().TxtFeatureMask->text(), FileNameCodec::decode(stem.mid(sheet.size() + 1)));
    ASSERT_EQ(form().CmbFileSource->count(), 1);
    form().CmbFileSource->setCurrentIndex(0);  // picked as shown; the merge takes its bytes
    QDir().mkpath(path("out"));
    form().TxtPath->setText(path("out"));
    form().txtDataClassName->setText("merged");
    QTest::mouseClick(form().CmdMerge, Qt::LeftButton);
    EXPECT_TRUE(errors.reports.texts.isEmpty()) << errors.reports.texts.value(0).toStdString();
    EXPECT_EQ(ShapefileFixture::read(path("out/merged.shp")).features.size(), 3u);
}

}  // namespace
