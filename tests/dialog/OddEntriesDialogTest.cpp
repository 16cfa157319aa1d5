// The dialog over named pipes beside shapefiles and over names that are not UTF-8: the scan,
// the input list, the viewer and the merge end, and find, open and write by the names' bytes.
#include "MergeDialogFixture.h"

#include "platform/FileNameCodec.h"
#include "support/ByteNamedDir.h"
#include "support/Watchdog.h"
#include "windows/FrmBrowse.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <sys/stat.h>

namespace {

constexpr int kStepSeconds = 120;

class OddEntriesDialogTest : public MergeDialogFixture {
protected:
    void scan(const QString& root) {
        retype(form().TxtsDir, root);
        const Watchdog watchdog(kStepSeconds, "the scan");
        QTest::mouseClick(form().CmdGetDir, Qt::LeftButton);
    }
    void toInput() {
        const Watchdog watchdog(kStepSeconds, "the move to the input");
        QTest::mouseClick(form().CmdToInput, Qt::LeftButton);
    }
    // Polygons into `target`: a shapefile folder, a GeoPackage or a File Geodatabase.
    void mergeInto(const QString& target, const QString& fieldSource) {
        QTest::mouseClick(form().opFeatureType[2], Qt::LeftButton);
        const bool shapefile = !target.endsWith(".gpkg") && !target.endsWith(".gdb");
        form().opOutputType[shapefile ? 0 : 1]->setChecked(true);
        form().TxtPath->setText(target);
        form().txtDataClassName->setText("merged");
        form().CmbFileSource->setCurrentText(fieldSource);
        const Watchdog watchdog(kStepSeconds, "the merge");
        QTest::mouseClick(form().CmdMerge, Qt::LeftButton);
    }
};

TEST_F(OddEntriesDialogTest, PipesBesideShapefilesCountAsMissingFiles) {
    const QString root = path("sheets");
    QDir().mkpath(root);
    QDir().mkpath(path("out"));
    for (const char* name : {"good", "odd_shx", "odd_dbf", "odd_cpg", "odd_prj"}) {
        polygons(name, 2, root);
        QFile(root + '/' + name + ".cpg").open(QIODevice::WriteOnly);
        QFile prj(root + '/' + name + ".prj");
        ASSERT_TRUE(prj.open(QIODevice::WriteOnly));
        prj.write(R"(GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],)"
                  R"(PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]])");
    }
    for (const char* companion : {"shx", "dbf", "cpg", "prj"}) {
        const QByteArray pipe = QFile::encodeName(root + "/odd_" + companion + '.' + companion);
        ASSERT_EQ(::unlink(pipe.constData()), 0);
        ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    }

    scan(root);
    EXPECT_EQ(form().LblSelected->text(), "Выбрано: 5 файл(ов)");
    QStringList counts;
    for (qsizetype row = 1; row < grid().Rows(); ++row)
        counts << grid().TextMatrix(row, 3) + ' ' + grid().TextMatrix(row, 1) + '/' +
                      grid().TextMatrix(row, 2);
    counts.sort();
    EXPECT_EQ(counts, QStringList({"good 1/2", "odd_cpg 1/2", "odd_dbf  - / - ", "odd_prj 1/2",
                                   "odd_shx 1/2"}));

    // The input without its index cannot be opened: the move is refused and reported.
    toInput();
    ASSERT_EQ(errors.reports.texts.size(), 1);
    EXPECT_TRUE(errors.reports.texts[0].contains(root + "/odd_shx.shp"));
    errors.reports.texts.clear();

    removeRow(root + "/odd_shx.shp");
    toInput();
    ASSERT_TRUE(form().FrameInput->isEnabled());
    GDALAllRegister();
    GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
        path("base.gpkg").toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    GDALDatasetUniquePtr(
        GetGDALDriverManager()
            ->GetDriverByName("OpenFileGDB")
            ->Create(path("base.gdb").toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    for (const QString& target : {path("out"), path("base.gpkg"), path("base.gdb")}) {
        SCOPED_TRACE(target.toStdString());
        mergeInto(target, root + "/good.shp");
        EXPECT_TRUE(errors.reports.texts.isEmpty()) << errors.reports.texts.value(0).toStdString();
        EXPECT_TRUE(form().LblOutputCount->text().contains("new Feature count 8"))
            << form().LblOutputCount->text().toStdString();
    }
}

TEST_F(OddEntriesDialogTest, NamesInCp1251AndCp866AreScannedViewedAndMerged) {
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

    scan(FileNameCodec::decode(tree.path()));
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

    toInput();
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
