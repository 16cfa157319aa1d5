#include "MergeTestSupport.h"

#include <QFile>

#include <QTemporaryDir>
#include <cstring>

#include <gtest/gtest.h>

namespace {

using namespace ShapefileFixture;

const std::vector<Field> kParcelFields{{"NAME", 'C', 20}, {"POP", 'N', 9}, {"AREA", 'F', 12, 3}};

std::vector<ShapefileFixture::Feature> squares(int count, int offset, const QString& prefix) {
    std::vector<ShapefileFixture::Feature> features;
    for (int i = 0; i < count; ++i) {
        const int x = offset + i;
        features.push_back(
            {QStringLiteral("POLYGON ((%1 0,%1 1,%2 1,%2 0,%1 0))").arg(x).arg(x + 1).toUtf8(),
             {prefix + QString::number(i), QString::number(i * 10), "1.5"}});
    }
    return features;
}

TEST(MergeEngine, WritesEveryFeatureWithTheTemplateFields) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POLYGON", kParcelFields, squares(10, 0, "a"));
    const QString b = write(dir.path(), "b", "POLYGON", kParcelFields, squares(15, 100, "b"));
    QDir().mkdir(dir.filePath("out"));
    MergeEngine engine;
    const auto merged = MergeCall{{a, b}, dir.filePath("out"), "merged"}.run(engine);

    EXPECT_EQ(merged->FeatureCount(), 25);
    EXPECT_EQ(merged->ShapeType(), 4);
    EXPECT_EQ(engine.lastReport().featuresWritten, 25);
    EXPECT_EQ(engine.lastReport().refused(), 0);
    const ReadLayer out = read(dir.filePath("out/merged.shp"));
    EXPECT_EQ(out.fieldNames, QStringList({"NAME", "POP", "AREA"}));
    EXPECT_EQ(out.fieldTypes, QStringList({"String(20)", "Integer(9)", "Real(12.3)"}));
    ASSERT_EQ(out.features.size(), 25u);
    EXPECT_EQ(out.features[0].wkt, "POLYGON ((0 0,0 1,1 1,1 0,0 0))");
    EXPECT_EQ(out.features[24].wkt, "POLYGON ((114 0,114 1,115 1,115 0,114 0))");
    EXPECT_EQ(out.features[24].values, QStringList({"b14", "140", "1.500"}));
    EXPECT_EQ(files(dir.filePath("out")), QStringList({"merged.dbf", "merged.shp", "merged.shx"}));
}

TEST(MergeEngine, ConvertsAttributesByNameToTheTemplateTypes) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POLYGON", kParcelFields, squares(1, 0, "a"));
    // Same names in other case and order, other types, one extra field, one missing.
    const QString b =
        write(dir.path(), "b", "POLYGON", {{"extra", 'C', 5}, {"pop", 'C', 8}, {"name", 'N', 6}},
              {{"POLYGON ((0 0,0 1,1 1,0 0))", {"x", " 42 ", "7"}},
               {"POLYGON ((0 0,0 1,1 1,0 0))", {"y", "many", "8"}}});
    const auto merged = MergeCall{{a, b}, dir.path(), "merged"}.run();
    const ReadLayer out =
        read(merged->AliasName().isEmpty() ? QString() : dir.filePath("merged.shp"));
    ASSERT_EQ(out.features.size(), 3u);
    EXPECT_EQ(out.features[1].values, QStringList({"7", "42", QString()}));
    EXPECT_EQ(out.features[2].values, QStringList({"8", QString(), QString()}));
}

struct CodePageCase {
    const char* name;
    Encoding first;
    Encoding second;
    QByteArray outputCpg;  // empty: no .cpg
    unsigned char outputLdid;
};

class MergeCodePages : public testing::TestWithParam<CodePageCase> {};

TEST_P(MergeCodePages, KeepsCyrillicText) {
    QTemporaryDir dir;
    const CodePageCase& row = GetParam();
    const std::vector<Field> fields{{"NAME", 'C', 30}};
    const QString a =
        write(dir.path(), "a", "POINT", fields, {{"POINT (0 0)", {"Улица Ленина"}}}, row.first);
    const QString b =
        write(dir.path(), "b", "POINT", fields, {{"POINT (1 1)", {"Ёлки, щука"}}}, row.second);
    QDir().mkdir(dir.filePath("out"));
    MergeCall{{a, b}, dir.filePath("out"), "merged", 1}.run();

    const QByteArray cpg = bytesOf(dir.filePath("out/merged.cpg"));
    EXPECT_EQ(cpg, row.outputCpg);
    EXPECT_EQ(static_cast<unsigned char>(bytesOf(dir.filePath("out/merged.dbf"))[29]),
              row.outputLdid);
    if (!row.outputCpg.isEmpty() || row.outputLdid != 0) {
        const ReadLayer out = read(dir.filePath("out/merged.shp"));
        ASSERT_EQ(out.features.size(), 2u);
        EXPECT_EQ(out.features[0].values[0], "Улица Ленина");
        EXPECT_EQ(out.features[1].values[0], "Ёлки, щука");
    } else {
        // Nothing declared: the bytes of both inputs arrive unchanged.
        const QByteArray dbf = bytesOf(dir.filePath("out/merged.dbf"));
        EXPECT_TRUE(dbf.contains(QString("Улица Ленина").toUtf8()));
        EXPECT_TRUE(dbf.contains(QString("Ёлки, щука").toUtf8()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, MergeCodePages,
    testing::Values(
        CodePageCase{
            "Cp866AndCp1251BecomeUtf8", {"CP866", "866"}, {"CP1251", {}, 0xC9}, "UTF-8", 0},
        CodePageCase{
            "SharedCp1251IsKept", {"CP1251", "CP1251"}, {"CP1251", {}, 0xC9}, "1251", 0xC9},
        CodePageCase{
            "UndeclaredCp1251BesideUtf8IsGuessed", {"CP1251"}, {"UTF-8", "UTF-8"}, "UTF-8", 0},
        CodePageCase{"NothingDeclaredPassesThrough", {"UTF-8"}, {"UTF-8"}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MergeEngine, PointsAndMultipointsFitEitherOutput) {
    QTemporaryDir dir;
    const QString points = write(dir.path(), "points", "POINT", {}, {{"POINT (1 2)", {}}});
    const QString multi =
        write(dir.path(), "multi", "MULTIPOINT", {},
              {{"MULTIPOINT ((3 4))", {}}, {"MULTIPOINT ((5 6),(7 8))", {}}, {{}, {}}});
    MergeEngine engine;
    MergeCall{{points, multi}, dir.path(), "asMulti", 2}.run(engine);
    const ReadLayer asMulti = read(dir.filePath("asMulti.shp"));
    ASSERT_EQ(asMulti.features.size(), 4u);
    EXPECT_EQ(asMulti.features[0].wkt, "MULTIPOINT ((1 2))");
    EXPECT_EQ(asMulti.features[2].wkt, "MULTIPOINT ((5 6),(7 8))");
    EXPECT_EQ(asMulti.features[3].wkt, "");  // a null shape stays null

    MergeCall{{points, multi}, dir.path(), "asPoints", 1}.run(engine);
    const ReadLayer asPoints = read(dir.filePath("asPoints.shp"));
    ASSERT_EQ(asPoints.features.size(), 3u);
    EXPECT_EQ(asPoints.features[1].wkt, "POINT (3 4)");
    EXPECT_EQ(engine.lastReport().otherGeometry, 1);
    EXPECT_EQ(engine.lastReport().featuresWritten, 3);
}

TEST(MergeEngine, KeepsZWhenTheOutputHasIt) {
    QTemporaryDir dir;
    const QString flat =
        write(dir.path(), "flat", "LINESTRING", {}, {{"LINESTRING (0 0,1 1)", {}}});
    const QString withZ =
        write(dir.path(), "withz", "LINESTRING Z", {}, {{"LINESTRING Z (0 0 5,1 1 6)", {}}});
    MergeCall{{withZ, flat}, dir.path(), "merged", 3}.run();
    const ReadLayer out = read(dir.filePath("merged.shp"));
    ASSERT_EQ(out.features.size(), 2u);
    EXPECT_EQ(out.features[0].wkt, "LINESTRING Z (0 0 5,1 1 6)");
    EXPECT_EQ(out.features[1].wkt, "LINESTRING Z (0 0 0,1 1 0)");
}

}  // namespace

namespace {

TEST(MergeEngine, CopiesFittingInputsAsBytesBetweenConvertedOnes) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POLYGON", kParcelFields, squares(3, 0, "a"));
    const QString b = write(dir.path(), "b", "POLYGON", {{"NAME", 'C', 8}}, squares(2, 50, "b"));
    const QString c = write(dir.path(), "c", "POLYGON", kParcelFields, squares(4, -20, "c"));
    MergeEngine engine;
    MergeCall{{a, b, c}, dir.path(), "merged"}.run(engine);
    EXPECT_EQ(engine.lastReport().inputsCopiedAsBytes, 2);
    EXPECT_EQ(engine.lastReport().featuresWritten, 9);

    const ReadLayer out = read(dir.filePath("merged.shp"));
    ASSERT_EQ(out.features.size(), 9u);
    EXPECT_EQ(out.features[3].values, QStringList({"b0", QString(), QString()}));
    EXPECT_EQ(out.features[8].values, QStringList({"c3", "30", "1.500"}));
    EXPECT_EQ(out.features[8].wkt, "POLYGON ((-17 0,-17 1,-16 1,-16 0,-17 0))");
    // The header's box covers every record, whichever way it was written.
    const QByteArray shp = bytesOf(dir.filePath("merged.shp"));
    double box[4];
    std::memcpy(box, shp.constData() + 36, sizeof box);
    EXPECT_EQ(box[0], -20.0);
    EXPECT_EQ(box[1], 0.0);
    EXPECT_EQ(box[2], 52.0);
    EXPECT_EQ(box[3], 1.0);
}

TEST(MergeEngine, SkipsAndCountsARecordThatCannotBeRead) {
    QTemporaryDir dir;
    const QString a = write(dir.path(), "a", "POLYGON", kParcelFields, squares(3, 0, "a"));
    // Point the index of the second record past the end of the file.
    QFile shx(dir.filePath("a.shx"));
    ASSERT_TRUE(shx.open(QIODevice::ReadWrite));
    shx.seek(108);
    shx.write(QByteArray("\x7F\x00\x00\x00", 4));
    shx.close();
    MergeEngine engine;
    MergeCall{{a}, dir.path(), "merged"}.run(engine);
    EXPECT_EQ(engine.lastReport().featuresWritten, 2);
    EXPECT_EQ(engine.lastReport().unreadable, 1);
    EXPECT_EQ(read(dir.filePath("merged.shp")).features.size(), 2u);
}

}  // namespace
