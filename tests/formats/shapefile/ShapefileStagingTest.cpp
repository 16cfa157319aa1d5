#include "errors/ConfluxError.h"
#include "formats/shapefile/ReplaceJournal.h"
#include "formats/shapefile/ShapefileStaging.h"
#include "merge/MergeTarget.h"
#include "merge/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList allFiles(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

// A dead run that was killed between its renames: the lock file is there but nobody holds it,
// one old file is moved aside and one new file is in place.
void deadRunMidReplace(const QString& folder) {
    put(folder + "/.conflux-dead.lock", "4242\n");
    put(folder + "/.conflux-old-dead.shp", "old shp");
    put(folder + "/roads.dbf", "new dbf");
    put(folder + "/.conflux-dead.shx", "new shx");
    ReplaceJournal journal;
    journal.movedAside = {{"roads.shp", ".conflux-old-dead.shp"},
                          {"roads.dbf", ".conflux-old-dead.dbf"}};
    journal.placed = {{".conflux-dead.dbf", "roads.dbf"}, {".conflux-dead.shx", "roads.shx"}};
    ASSERT_TRUE(journal.write(QFile::encodeName(folder + "/.conflux-dead.journal")));
    put(folder + "/.conflux-old-dead.dbf", "old dbf");
}

TEST(ShapefileStaging, ClearsDeadRunsAndRestoresTheirOldOutputButLeavesLiveRunsAlone) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const ShapefileStaging live(folder, "lakes");
    put(live.tempPath("shp"), "being written");
    deadRunMidReplace(folder);
    put(folder + "/.conflux-finished.dbf", "left by a run that held no lock");
    put(folder + "/.conflux-old-unknown.shp", "moved aside without a journal");
    put(folder + "/.conflux-notes.txt", "the user's own");

    ShapefileStaging::recoverFolder(folder);

    EXPECT_EQ(bytesOf(folder + "/roads.shp"), "old shp");
    EXPECT_EQ(bytesOf(folder + "/roads.dbf"), "old dbf");
    const QString liveTag = QFileInfo(live.tempPath("shp")).completeBaseName();
    QStringList expected = {".conflux-notes.txt", ".conflux-old-unknown.shp",
                            liveTag + ".lock",    liveTag + ".shp",
                            "roads.dbf",          "roads.shp"};
    expected.sort();
    EXPECT_EQ(allFiles(folder), expected);
}

TEST(ShapefileStaging, FailedReplacementPutsEverythingBackAndNamesTheOutputAndTheCause) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    put(folder + "/roads.shp", "old shp");
    put(folder + "/roads.dbf", "old dbf");
    put(folder + "/ROADS.QIX", "old index");  // the same set on a file system ignoring case
    put(folder + "/Roads.shp.xml", "old metadata");
    QDir().mkdir(folder + "/roads.prj");  // a folder where the new .prj must go
    {
        ShapefileStaging staging(folder, "roads");
        for (const char* extension : {"shp", "dbf", "prj"})
            put(staging.tempPath(extension), "new");
        try {
            staging.replaceExisting();
            FAIL() << "replaced over a folder";
        } catch (const ConfluxError& error) {
            EXPECT_EQ(error.description(),
                      "Cannot replace '" + folder + "/roads.shp': Is a directory");
        }
    }
    EXPECT_EQ(bytesOf(folder + "/roads.shp"), "old shp");
    EXPECT_EQ(bytesOf(folder + "/roads.dbf"), "old dbf");
    EXPECT_EQ(bytesOf(folder + "/ROADS.QIX"), "old index");
    EXPECT_EQ(allFiles(folder),
              QStringList({"ROADS.QIX", "Roads.shp.xml", "roads.dbf", "roads.shp"}));

    try {
        ShapefileStaging missing(folder + "/gone", "roads");
        FAIL() << "staged in a missing folder";
    } catch (const ConfluxError& error) {
        EXPECT_EQ(error.description(),
                  "Cannot write '" + folder + "/gone/roads.shp': No such file or directory");
    }
}

TEST(ShapefileStaging, AnOutputNamedLikeATemporaryIsRefused) {
    QTemporaryDir dir;
    EXPECT_THROW(MergeTarget::check(describeOutput(true, dir.path(), ".conflux-roads"), 4),
                 ConfluxError);
    EXPECT_NO_THROW(MergeTarget::check(describeOutput(true, dir.path(), ".roads"), 4));
}

}  // namespace
