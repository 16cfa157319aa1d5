#include "discovery/DirWalk.h"
#include "discovery/PathNames.h"
#include "errors/ConfluxError.h"
#include "platform/FileNameCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A temporary tree; paths are relative to its root, which has no trailing "/".
class Tree {
public:
    QString root() const { return m_dir.path(); }
    QString file(const QString& relative) const {
        const QString path = root() + "/" + relative;
        QDir().mkpath(path.left(path.lastIndexOf('/')));
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }
    QString folder(const QString& relative) const {
        QDir().mkpath(root() + "/" + relative);
        return root() + "/" + relative;
    }

private:
    QTemporaryDir m_dir;
};

struct Scan {
    std::optional<QStringList> found;
    int recursCount = -1;
};

Scan scan(const QString& root, const QString& depthText, const QString& fileMask = "*.shp",
          const QString& dirMask = "*") {
    const DirWalk walk(fileMask, dirMask, [depthText] { return leadingNumber(depthText); });
    Scan result;
    result.recursCount = 0;
    result.found = walk.DirList(root, result.recursCount);
    return result;
}

QStringList relative(const Tree& tree, const std::optional<QStringList>& found) {
    QStringList out;
    for (const QString& path : found.value_or(QStringList()))
        out.append(path.mid(tree.root().size() + 1));
    return out;
}

TEST(DirWalk, DepthDecidesTheLevelsWalked) {
    Tree tree;
    tree.file("x.shp");
    tree.file("B/y.shp");
    tree.file("B/C/z.shp");
    const struct {
        const char* depth;
        QStringList expected;  // in walk order; empty means an absent result
    } rows[] = {{"2", {"x.shp", "B/y.shp"}},
                {"1", {"x.shp"}},
                {"3", {"x.shp", "B/y.shp", "B/C/z.shp"}},
                {" 3 levels", {"x.shp", "B/y.shp", "B/C/z.shp"}},
                {"1.5", {"x.shp", "B/y.shp"}},
                {"0.5", {"x.shp"}},
                {"2.5", {"x.shp", "B/y.shp", "B/C/z.shp"}},
                {"0", {}},
                {"-1", {}},
                {"", {}},
                {"abc", {}}};
    for (const auto& row : rows) {
        const Scan result = scan(tree.root(), row.depth);
        EXPECT_EQ(result.recursCount, 0) << row.depth;
        if (row.expected.isEmpty())
            EXPECT_EQ(result.found, std::nullopt) << row.depth;
        else
            EXPECT_EQ(relative(tree, result.found), row.expected) << row.depth;
    }
}

TEST(DirWalk, RootWithOrWithoutTrailingSlashGivesTheSamePaths) {
    Tree tree;
    tree.file("B/y.shp");
    const QStringList expected{tree.root() + "/B/y.shp"};
    EXPECT_EQ(scan(tree.root(), "2").found, expected);
    EXPECT_EQ(scan(tree.root() + "/", "2").found, expected);
}

TEST(DirWalk, FolderMaskTestsOnlyTheHoldingFolder) {
    Tree tree;
    tree.file("x.shp");
    tree.file("B/y.shp");
    tree.file("B/C/z.shp");
    tree.file("Bx/C/w.shp");
    const Scan result = scan(tree.root(), "3", "*.shp", "b*");
    EXPECT_EQ(relative(tree, result.found), QStringList{"B/y.shp"});
}

TEST(DirWalk, FileMaskIsCaseBlindAndWhole) {
    Tree tree;
    for (const char* name : {"ABC.SHP", "abd.shp", "abcd.shp", "abc.dbf"})
        tree.file(name);
    QStringList found = relative(tree, scan(tree.root(), "1", "ab?.shp").found);
    found.sort();
    EXPECT_EQ(found, QStringList({"ABC.SHP", "abd.shp"}));
}

TEST(DirWalk, FilesComeFirstThenEachSubFolderComplete) {
    Tree tree;
    for (const char* name :
         {"r1.shp", "r2.shp", "s1/a.shp", "s1/deep/b.shp", "s2/c.shp", "s2/deep/d.shp"})
        tree.file(name);
    const QStringList found = relative(tree, scan(tree.root(), "3").found);
    ASSERT_EQ(found.size(), 6);
    EXPECT_FALSE(found[0].contains('/'));
    EXPECT_FALSE(found[1].contains('/'));
    // Each sub-folder's own file, then its sub-tree, before the next sub-folder starts.
    const QString first = found[2].section('/', 0, 0);
    EXPECT_EQ(found[3], first + "/deep/" + (first == "s1" ? "b.shp" : "d.shp"));
    EXPECT_EQ(found[4].section('/', 0, 0), first == "s1" ? "s2" : "s1");
    EXPECT_TRUE(found[5].contains("/deep/"));
}

TEST(DirWalk, HiddenAndSystemEntriesAreNeverListed) {
    Tree tree;
    tree.file(".hidden.shp");
    tree.file(".cache/x.shp");
    tree.file("real.shp");
    ASSERT_EQ(mkfifo(QFile::encodeName(tree.root() + "/pipe.shp").constData(), 0600), 0);
    ASSERT_EQ(symlink("real.shp", QFile::encodeName(tree.root() + "/link.shp").constData()), 0);
    ASSERT_EQ(symlink("gone.shp", QFile::encodeName(tree.root() + "/dangling.shp").constData()), 0);
    QStringList found = relative(tree, scan(tree.root(), "2").found);
    found.sort();
    EXPECT_EQ(found, QStringList({"link.shp", "real.shp"}));
}

TEST(DirWalk, DepthIsReadAtEveryFolderVisit) {
    Tree tree;
    tree.file("x.shp");
    tree.file("B/y.shp");
    tree.file("B/C/z.shp");
    int calls = 0;
    // The user lowers the depth while the walk runs: the next visits see it.
    const DirWalk walk("*.shp", "*", [&calls] { return ++calls == 1 ? 3.0 : 1.0; });
    int recursCount = 0;
    const auto found = walk.DirList(tree.root(), recursCount);
    EXPECT_EQ(relative(tree, found), QStringList{"x.shp"});
    EXPECT_EQ(calls, 2);  // root, then B (refused); C never reached
    EXPECT_EQ(recursCount, 0);
}

TEST(DirWalk, ProgressTurnsAfterEveryEntryOfBothPasses) {
    Tree tree;
    tree.file("a.shp");
    tree.file("notes.txt");
    tree.file(".hidden");
    tree.file("B/b.shp");
    int turns = 0;
    const DirWalk walk(
        "*.shp", "*", [] { return 2.0; }, [&turns] { ++turns; });
    int recursCount = 0;
    walk.DirList(tree.root(), recursCount);
    EXPECT_EQ(turns, 3 * 2 + 1 * 2);  // root: a.shp, notes.txt, B; B: b.shp
}

TEST(DirWalk, RecursCountIsRestoredWhenTheCallerAborts) {
    Tree tree;
    tree.file("B/C/z.shp");
    int entries = 0;
    const DirWalk walk(
        "*", "*", [] { return 5.0; },
        [&entries] {
            if (++entries == 3)
                throw ConfluxError(ErrorNumber::InvalidProcedureCall, "stop");
        });
    int recursCount = 0;
    EXPECT_THROW(walk.DirList(tree.root(), recursCount), ConfluxError);
    EXPECT_EQ(recursCount, 0);
}

TEST(DirWalk, UnbalancedBracketMaskIsRefusedBeforeWalking) {
    int depthReads = 0;
    const auto depth = [&depthReads] { return ++depthReads, 2.0; };
    EXPECT_THROW(DirWalk("[abc.shp", "*", depth), ConfluxError);
    EXPECT_THROW(DirWalk("*.shp", "[B", depth), ConfluxError);
    EXPECT_EQ(depthReads, 0);
}

TEST(DirWalk, LinkBackToAnAncestorIsNotWalkedAgain) {
    // Two links back to the root at depth 12 used to walk 2^11 copies of the tree.
    Tree tree;
    tree.file("x.shp");
    tree.file("sub/y.shp");
    for (const char* link : {"/loop", "/again", "/sub/up"})
        ASSERT_EQ(
            symlink(link[1] == 's' ? ".." : ".", QFile::encodeName(tree.root() + link).constData()),
            0);
    const Scan result = scan(tree.root(), "12");
    EXPECT_EQ(relative(tree, result.found), QStringList({"x.shp", "sub/y.shp"}));
    EXPECT_EQ(result.recursCount, 0);
}

TEST(DirWalk, TwoLinksToOneSiblingFolderListItUnderBothNames) {
    Tree tree;
    tree.file("data/x.shp");
    ASSERT_EQ(symlink("data", QFile::encodeName(tree.root() + "/alias").constData()), 0);
    QStringList found = relative(tree, scan(tree.root(), "2").found);
    found.sort();
    EXPECT_EQ(found, QStringList({"alias/x.shp", "data/x.shp"}));
}

TEST(DirWalk, FolderThatVanishesDuringTheWalkIsSkipped) {
    // Runs as root too, where permissions cannot make a folder unreadable: the first visit of
    // a sub-folder removes "a" and rebuilds "b" and "c", so whichever order the listing has,
    // "a" cannot be opened when its turn comes.
    Tree tree;
    tree.file("r.shp");
    for (const char* name : {"a/1.shp", "b/2.shp", "c/3.shp"})
        tree.file(name);
    int visits = 0;
    const DirWalk walk("*.shp", "*", [&] {
        if (++visits == 2) {
            for (const char* name : {"a", "b", "c"})
                QDir(tree.root() + "/" + name).removeRecursively();
            tree.file("b/2.shp");
            tree.file("c/3.shp");
        }
        return 2.0;
    });
    int recursCount = 0;
    QStringList found = relative(tree, walk.DirList(tree.root(), recursCount));
    found.sort();
    EXPECT_EQ(found, QStringList({"b/2.shp", "c/3.shp", "r.shp"}));
    EXPECT_EQ(recursCount, 0);
}

TEST(DirWalk, UnreadableFolderIsSkippedAndSiblingsWalked) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any folder; the vanishing-folder test covers the skip";
    Tree tree;
    tree.file("locked/x.shp");
    tree.file("open/y.shp");
    const QByteArray locked = QFile::encodeName(tree.root() + "/locked");
    ASSERT_EQ(chmod(locked.constData(), 0), 0);
    const Scan result = scan(tree.root(), "2");
    chmod(locked.constData(), 0700);
    EXPECT_EQ(relative(tree, result.found), QStringList{"open/y.shp"});
    EXPECT_EQ(result.recursCount, 0);
}

TEST(DirWalk, NameInvalidInTheLocaleIsListedWithItsBytes) {
    Tree tree;
    const QByteArray folderBytes = QFile::encodeName(tree.root()) + "/\xC0\xFF-dir";
    ASSERT_EQ(mkdir(folderBytes.constData(), 0700), 0);
    const QByteArray fileBytes = folderBytes + "/bad\xE9.shp";
    const int fd = ::open(fileBytes.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const Scan result = scan(tree.root(), "2");
    ASSERT_TRUE(result.found);
    ASSERT_EQ(result.found->size(), 1);
    EXPECT_EQ(FileNameCodec::encode(result.found->at(0)), fileBytes);
}

TEST(FileNameCodec, RoundTripsValidAndInvalidBytes) {
    for (const QByteArray& bytes :
         {QByteArray("plain"), QByteArray("Дороги.shp"), QByteArray("\xFF\xFE"),
          QByteArray("a\xC3"), QByteArray("\xED\xB2\x80x"), QByteArray("😀\xF0\x9F")}) {
        EXPECT_EQ(FileNameCodec::encode(FileNameCodec::decode(bytes)), bytes)
            << bytes.toHex().toStdString();
    }
    EXPECT_EQ(FileNameCodec::decode("Дороги"), QStringLiteral("Дороги"));
}

TEST(PathNames, LeadingNumber) {
    const struct {
        const char* text;
        double value;
    } rows[] = {{"2", 2},   {"2.5", 2.5}, {" 3abc", 3}, {"abc", 0},     {"", 0},
                {"-1", -1}, {"+4", 4},    {".5", 0.5},  {"1.2.3", 1.2}, {"  ", 0}};
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(leadingNumber(row.text), row.value) << row.text;
}

TEST(PathNames, GetLastDir) {
    const struct {
        const char* in;
        const char* result;
        const char* after;
    } rows[] = {{"/data/roads", "roads", "/data/roads/"},
                {"/data/roads/", "roads", "/data/roads/"},
                {"/data/", "data", "/data/"},
                {"/", "", "/"},
                {"roads", "roads", "roads/"}};
    for (const auto& row : rows) {
        QString dir = row.in;
        EXPECT_EQ(GetLastDir(dir), row.result) << row.in;
        EXPECT_EQ(dir, row.after) << row.in;
    }
}

TEST(PathNames, GetFNameFromFullName) {
    const struct {
        const char* path;
        const char* base;
    } rows[] = {{"/data/roads.shp", "roads"},
                {"/data/roads.old.shp", "roads.old"},
                {"/maps.2/roads", ""},
                {"/data/roads", ""},
                {"roads.shp", "roads"},
                {"/data/.shp", ""},
                {"", ""},
                {"/data/дороги.SHP", "дороги"},
                {"/d.x/y.z", "y"},
                {"/data/dir/", ""},
                {"./x", ""}};
    for (const auto& row : rows)
        EXPECT_EQ(GetFNameFromFullName(QString::fromUtf8(row.path)), QString::fromUtf8(row.base))
            << row.path;
}

}  // namespace
