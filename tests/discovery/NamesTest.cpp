#include "../platform/DbfFixture.h"

#include "discovery/CandidateRow.h"
#include "discovery/OutputName.h"
#include "discovery/ScanRoot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(Names, OutputNameProposedFromTheMasks) {
    const struct {
        const char* name;
        const char* fileMask;
        const char* featureMask;
        const char* proposed;
    } rows[] = {{"file mask first", "road*", "river*", "road"},
                {"feature mask when the file mask is *", "*", "*_2005?", "_2005"},
                {"Merge when both are *", "*", "*", "Merge"},
                {"an empty file mask is not *", "", "river*", ""},
                {"** is not *", "**", "lakes", ""},
                {"blanks stay, only * and ? go", " a b?* ", "*", " a b "}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(
            proposedOutputName(QString::fromUtf8(row.fileMask), QString::fromUtf8(row.featureMask)),
            QString::fromUtf8(row.proposed));
    }
}

// A row is the path, the table's field and record counts, and the base name: the text between
// the last "/" and the last ".".
TEST(Names, CandidateRowShowsTableCountsOrDashesInBoth) {
    QTemporaryDir dir;
    const QString root = dir.path();
    DbfFixture table;
    table.fields = {{"NAME", 'C', 10}, {"ID", 'N', 4}};
    table.records = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    QDir(root).mkdir("maps.2");
    for (const char* name : {"/roads.old.dbf", "/RIVERS.DBF", "/Lakes.Dbf", "/maps.2/roads"})
        DbfFixture::write(root + name, table.bytes());
    DbfFixture::write(root + "/cut.dbf", table.bytes().left(40));
    const struct {
        const char* name;
        QString path;
        QString row;  // after the path
    } rows[] = {{"lower-case table", root + "/roads.old.shp", "\t2\t3\troads.old"},
                {"upper-case table", root + "/RIVERS.SHP", "\t2\t3\tRIVERS"},
                {"mixed-case table", root + "/Lakes.shp", "\t2\t3\tLakes"},
                {"truncated header", root + "/cut.shp", "\t - \t - \tcut"},
                {"no table", root + "/absent.shp", "\t - \t - \tabsent"},
                {"no dot after the last /", root + "/maps.2/roads", "\t - \t - \t"},
                {"no folder", root + "/nofolder/roads.shp", "\t - \t - \troads"},
                {"no / at all", "roads.shp", "\t - \t - \troads"},
                {"Cyrillic base name", root + "/дороги.SHP", "\t - \t - \tдороги"},
                {"nothing before the dot", root + "/.shp", "\t - \t - \t"},
                {"a folder", root + "/dir/", "\t - \t - \t"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(candidateRowText(row.path), row.path + row.row);
    }
}

}  // namespace
