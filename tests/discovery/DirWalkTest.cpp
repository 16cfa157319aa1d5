#include "discovery/DirWalk.h"
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

// A temporary tree of empty files, named relative to its root.
struct Tree {
    Tree(std::initializer_list<const char*> files) {
        for (const char* file : files)
            add(file);
    }
    QString root() const { return dir.path(); }
    QByteArray bytes(const char* relative) const {
        return QFile::encodeName(root()) + '/' + relative;
    }
    void add(const QString& relative) const {
        const QString path = root() + "/" + relative;
        QDir().mkpath(path.left(path.lastIndexOf('/')));
        QFile(path).open(QIODevice::WriteOnly);
    }
    // The paths found from the root, relative to it, sorted unless the order is checked.
    std::optional<QStringList> walk(const DirWalk& walker, bool sorted = true) const {
        int recursCount = 0;
        auto found = walker.DirList(root(), recursCount);
        EXPECT_EQ(recursCount, 0);
        if (found) {
            for (QString& path : *found)
                path.remove(0, root().size() + 1);
            if (sorted)
                found->sort();
        }
        return found;
    }

    QTemporaryDir dir;
};

DirWalk byDepth(double depth, const char* fileMask = "*.shp", const char* dirMask = "*") {
    return DirWalk(fileMask, dirMask, [depth] { return depth; });
}

TEST(DirWalk, DepthFieldDecidesTheLevelsWalked) {
    const Tree tree{"x.shp", "B/y.shp", "B/C/z.shp"};
    const QStringList one{"x.shp"}, two{"x.shp", "B/y.shp"}, all{"x.shp", "B/y.shp", "B/C/z.shp"};
    const struct {
        const char* depth;                 // as typed
        std::optional<QStringList> found;  // in walk order
    } rows[] = {{"1", one},          {" 3abc", all},       {"+4", all},
                {"1.5", two},        {".5", one},          {"1.2.3", two},
                {"0", std::nullopt}, {"-1", std::nullopt}, {"abc", std::nullopt},
                {"", std::nullopt}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.depth);
        const QString text = row.depth;
        EXPECT_EQ(tree.walk(DirWalk("*.shp", "*", [text] { return leadingNumber(text); }), false),
                  row.found);
    }
    int recursCount = 0;
    EXPECT_EQ(byDepth(1).DirList(tree.root() + "/", recursCount),
              QStringList{tree.root() + "/x.shp"})
        << "a root ending in / gives the same paths";
    int reads = 0;  // the depth lowered while the walk runs holds for the next visits
    EXPECT_EQ(tree.walk(DirWalk("*.shp", "*", [&reads] { return ++reads == 1 ? 3.0 : 1.0; })),
              QStringList{"x.shp"});
    EXPECT_EQ(reads, 2);  // root, then B (refused); C never reached
}

TEST(DirWalk, FileMaskIsCaseBlindAndFolderMaskTestsOnlyTheHoldingFolder) {
    const Tree tree{"ABC.SHP", "abd.shp",   "abcd.shp",  "abc.dbf",
                    "B/y.shp", "B/C/z.shp", "Bx/C/w.shp"};
    EXPECT_EQ(tree.walk(byDepth(3, "ab?.shp")), QStringList({"ABC.SHP", "abd.shp"}));
    EXPECT_EQ(tree.walk(byDepth(3, "*.shp", "b*")), QStringList{"B/y.shp"});
}

// Every copy of a folder lists in one order: names in capitals compared as text, then the
// exact bytes; files and folders alike.
TEST(DirWalk, EachFolderIsListedByNameIgnoringCaseThenByBytes) {
    const struct {
        const char* name;
        std::initializer_list<const char*> created;  // in this order
        QStringList found;
    } rows[] = {
        {"case is ignored", {"b.shp", "C.shp", "a.shp"}, {"a.shp", "b.shp", "C.shp"}},
        {"twins by bytes, capitals first", {"b.shp", "B.shp"}, {"B.shp", "b.shp"}},
        {"compared in capitals: _ after letters",
         {"_x.shp", "z.shp", "Y.shp"},
         {"Y.shp", "z.shp", "_x.shp"}},
        {"shorter name first", {"ab.shp", "a.shp", "abc.shp"}, {"a.shp", "ab.shp", "abc.shp"}},
        {"Cyrillic in alphabet order, Ё before А as in capitals",
         {"яма.shp", "Ёлка.shp", "дом.shp", "Аист.shp"},
         {"Ёлка.shp", "Аист.shp", "дом.shp", "яма.shp"}},
        {"sub-folders too", {"b/1.shp", "A/2.shp", "c/3.shp"}, {"A/2.shp", "b/1.shp", "c/3.shp"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Tree tree{};
        for (const char* file : row.created)
            tree.add(QString::fromUtf8(file));
        EXPECT_EQ(tree.walk(byDepth(2), false), row.found);
    }
}

TEST(DirWalk, HiddenAndSystemEntriesAreSkippedAndLinksNeverLoop) {
    const Tree tree{".hidden.shp", ".cache/x.shp", "real.shp", "sub/y.shp"};
    ASSERT_EQ(mkfifo(tree.bytes("pipe.shp").constData(), 0600), 0);
    // Links count as what they point to; one back to a folder being walked lists nothing (at
    // depth 12, two links back to the root used to walk 2^11 copies of the tree).
    const char* links[][2] = {{"real.shp", "link.shp"},
                              {"gone.shp", "dangling.shp"},
                              {".", "loop"},
                              {".", "again"},
                              {"..", "sub/up"},
                              {"sub", "alias"}};
    for (const auto& [target, name] : links)
        ASSERT_EQ(symlink(target, tree.bytes(name).constData()), 0) << name;
    EXPECT_EQ(tree.walk(byDepth(12)),
              QStringList({"alias/y.shp", "link.shp", "real.shp", "sub/y.shp"}));
}

TEST(DirWalk, FolderThatCannotBeOpenedIsSkippedAndItsSiblingsWalked) {
    // Permissions cannot lock root out, so "a" vanishes instead: the first sub-folder visit
    // removes it and rebuilds "b" and "c", so whatever the listing order, "a" cannot be opened.
    const Tree tree{"r.shp", "a/1.shp", "b/2.shp", "c/3.shp"};
    int visits = 0;
    const DirWalk walker("*.shp", "*", [&] {
        if (++visits == 2) {
            for (const char* name : {"a", "b", "c"})
                QDir(tree.root() + "/" + name).removeRecursively();
            tree.add("b/2.shp");
            tree.add("c/3.shp");
        }
        return 2.0;
    });
    EXPECT_EQ(tree.walk(walker), QStringList({"b/2.shp", "c/3.shp", "r.shp"}));
}

TEST(DirWalk, LevelCounterIsRestoredWhenTheCallerAborts) {
    const Tree tree{"B/C/z.shp"};
    int entries = 0;
    const DirWalk walker(
        "*", "*", [] { return 5.0; },
        [&entries] {
            if (++entries == 3)
                throw ConfluxError(ErrorNumber::InvalidProcedureCall, "stop");
        });
    int recursCount = 0;
    EXPECT_THROW(walker.DirList(tree.root(), recursCount), ConfluxError);
    EXPECT_EQ(recursCount, 0);
}

TEST(DirWalk, NamesInvalidInTheLocaleKeepTheirBytes) {
    for (const QByteArray bytes :
         {"Дороги.shp", "\xFF\xFE", "a\xC3", "\xED\xB2\x80x", "😀\xF0\x9F"}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        EXPECT_EQ(FileNameCodec::encode(FileNameCodec::decode(bytes)), bytes);
    }
    const Tree tree{};
    const QByteArray folder = tree.bytes("\xC0\xFF-dir");
    ASSERT_EQ(mkdir(folder.constData(), 0700), 0);
    const QByteArray file = folder + "/bad\xE9.shp";
    ASSERT_EQ(::close(::open(file.constData(), O_WRONLY | O_CREAT, 0600)), 0);
    const auto found = tree.walk(byDepth(2));
    ASSERT_TRUE(found && found->size() == 1);
    EXPECT_EQ(FileNameCodec::encode(found->at(0)), "\xC0\xFF-dir/bad\xE9.shp");
    // QTemporaryDir cannot remove names it cannot decode.
    EXPECT_EQ(unlink(file.constData()) | rmdir(folder.constData()), 0);
}

}  // namespace
