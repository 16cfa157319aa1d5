#include "../platform/DbfFixture.h"

#include "discovery/CandidateRow.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray smallTable() {
    DbfFixture table;
    table.fields = {{"NAME", 'C', 10}, {"ID", 'N', 4}};
    table.records = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    return table.bytes();
}

TEST(GetDBFTableProp, CountsFromTheHeaderOrDashesInBoth) {
    QTemporaryDir dir;
    const QString root = dir.path();
    DbfFixture::write(root + "/roads.dbf", smallTable());
    DbfFixture::write(root + "/RIVERS.DBF", smallTable());
    DbfFixture::write(root + "/Lakes.Dbf", smallTable());
    DbfFixture::write(root + "/cut.dbf", smallTable().left(40));
    QDir().mkpath(root + "/maps.2");
    DbfFixture::write(root + "/maps.2/roads", smallTable());
    const struct {
        QString path;
        QString records;
        QString fields;
    } rows[] = {{root + "/roads.shp", "3", "2"},
                {root + "/RIVERS.SHP", "3", "2"},
                {root + "/Lakes.shp", "3", "2"},
                {root + "/cut.shp", " - ", " - "},
                {root + "/absent.shp", " - ", " - "},
                {root + "/maps.2/roads", " - ", " - "},
                {root + "/nofolder/roads.shp", " - ", " - "},
                {"roads.shp", " - ", " - "}};
    for (const auto& row : rows) {
        const TableProp props = GetDBFTableProp(row.path);
        EXPECT_EQ(props.recordCount, row.records) << row.path.toStdString();
        EXPECT_EQ(props.fieldCount, row.fields) << row.path.toStdString();
    }
}

TEST(CandidateRow, PathFieldsRecordsAndBaseNameJoinedByTabs) {
    QTemporaryDir dir;
    DbfFixture::write(dir.path() + "/roads.old.dbf", smallTable());
    EXPECT_EQ(candidateRowText(dir.path() + "/roads.old.shp"),
              dir.path() + "/roads.old.shp\t2\t3\troads.old");
    EXPECT_EQ(candidateRowText(dir.path() + "/none.shp"), dir.path() + "/none.shp\t - \t - \tnone");
}

}  // namespace
