// The chosen shapefiles opened as the merge's inputs.
#include "MergeDialogFixture.h"

#include "host/GeodataInterfaces.h"

namespace {

using InputTablesTest = MergeDialogFixture;

TEST_F(InputTablesTest, NothingSelected) {
    const std::pair<const char*, std::optional<QStringList>> cases[] = {
        {"never filled", std::nullopt},
        {"no entries", QStringList{}},
        {"one empty entry", QStringList{QString()}},
    };
    for (const auto& [what, files] : cases) {
        SCOPED_TRACE(what);
        prompter.messages.clear();
        auto& s = dialog().state();
        s.TablesArray.clear();
        s.FilesList = files;
        EXPECT_EQ(dialog().UpdateTablesArrayFromDir(), 0);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].text, "Nothing selected");
        EXPECT_EQ(prompter.messages[0].buttons, MsgBoxButtons::Ok);
        EXPECT_EQ(prompter.messages[0].icon, MsgBoxIcon::None);
        EXPECT_EQ(prompter.messages[0].title, "Conflux2_v9");
        ASSERT_EQ(s.TablesArray.size(), 1u);
        EXPECT_EQ(s.TablesArray[0], nullptr);
    }
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(InputTablesTest, FailuresAreReportedAndKeepWhatWasAdded) {
    auto& s = dialog().state();
    s.FilesList = QStringList{polygons("lakes", 1), path("missing.shp"), polygons("parks", 1)};
    EXPECT_EQ(dialog().UpdateTablesArrayFromDir(), 0);
    ASSERT_EQ(errors.reports.texts.size(), 1);
    EXPECT_TRUE(errors.reports.texts[0].contains("UpdateTablesArrayFromDir "));
    EXPECT_TRUE(errors.reports.texts[0].contains("missing"));
    EXPECT_EQ(s.TableNames, QStringList({"lakes"}));

    s.m_pApp = std::make_shared<ApplicationWithoutCatalogue>();
    EXPECT_EQ(dialog().UpdateTablesArrayFromDir(), 0);
    EXPECT_EQ(errors.reports.texts.size(), 2);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

}  // namespace
