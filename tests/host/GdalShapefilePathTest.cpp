#include "formats/shapefile/GdalShapefilePath.h"

#include "ShapefileFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A private folder as a process leaves it: a link and a lock file, held or not.
QString leftView(const QString& root, const QString& name) {
    const QString folder = root + '/' + name;
    QDir().mkpath(folder);
    QFile::link(QStringLiteral("/etc/hostname"), folder + "/roads.shp");
    QFile lock(folder + "/.lock");
    lock.open(QIODevice::WriteOnly);
    return folder;
}

// A killed process leaves its private folder of links; the next one that makes such a folder
// removes it, and leaves those whose process still lives, and its own until it is done.
TEST(GdalShapefilePath, PrivateFoldersOfDeadProcessesGoWithTheNextOne) {
    QTemporaryDir data;
    QTemporaryDir tmp;
    const QString shp = ShapefileFixture::squares(data.path(), "roads", 1);
    QFile::remove(data.filePath("roads.cpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(data.filePath("roads.cpg")).constData(), 0600), 0);
    const QString dead = leftView(tmp.path(), "conflux-view-dead00");
    const QString live = leftView(tmp.path(), "conflux-view-live00");
    const int held = ::open(QFile::encodeName(live + "/.lock").constData(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    {
        const GdalShapefilePath path(shp);
        EXPECT_TRUE(path.isPrivate());
        EXPECT_FALSE(QFileInfo::exists(dead));
        EXPECT_TRUE(QFileInfo::exists(live + "/roads.shp"));
        EXPECT_EQ(QDir(tmp.path()).entryList({"conflux-view-*"}, QDir::Dirs).size(), 2);
    }
    EXPECT_EQ(QDir(tmp.path()).entryList({"conflux-view-*"}, QDir::Dirs),
              QStringList{"conflux-view-live00"});
    ::close(held);
    qputenv("TMPDIR", savedTmp);
}

}  // namespace
