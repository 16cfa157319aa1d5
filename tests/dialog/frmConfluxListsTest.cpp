#include "DialogFixture.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

namespace {

struct Input {
    QString path;
    QString name;
    std::int32_t shapeType;
};

class NameListsTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        form().FrameInput->setEnabled(true);
    }

    void setInputs(const QList<Input>& inputs) {
        ConfluxState& state = dialog().state();
        state.FilesList = QStringList();
        for (const Input& input : inputs) {
            state.FilesList->append(input.path);
            state.TableNames.append(input.name);
            state.ShapeTypes.push_back(input.shapeType);
        }
    }

    static QStringList items(const QComboBox* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << list->itemText(i);
        }
        return texts;
    }

    static void clickOption(QRadioButton* option) {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    }
};

const QList<Input> kLines = {
    {"/d/roads.shp", "roads", 3},
    {"/d/rivers.shp", "rivers", 13},
    {"/d/lakes.shp", "lakes", 4},
    {"/d/wells.shp", "wells", 1},
};

TEST_F(NameListsTest, ChoosingAKindRefillsNamesFirstThenSourcesWithMaskBackToStar) {
    setInputs(kLines);
    dialog().state().LineNames = QStringList{"rivers", "roads"};
    QStringList masks;
    QObject::connect(form().TxtFeatureMask, &QLineEdit::textChanged,
                     [&](const QString& t) { masks << t; });

    clickOption(form().opFeatureType[1]);

    EXPECT_EQ(items(form().CmbNames), (QStringList{"rivers", "roads"}));
    EXPECT_EQ(form().CmbNames->currentText(), "rivers");
    // The first name was picked (its click set the mask) before the mask went back to "*".
    EXPECT_EQ(masks, (QStringList{"rivers", "*"}));
    EXPECT_EQ(form().TxtFeatureMask->text(), "*");
    EXPECT_EQ(items(form().CmbFileSource), (QStringList{"/d/roads.shp", "/d/rivers.shp"}));
    EXPECT_EQ(form().CmbFileSource->currentText(), "");
    EXPECT_EQ(form().LblInputCount->text(), "2");
    EXPECT_EQ(form().txtDataClassName->text(), "Merge");
}

TEST_F(NameListsTest, PickingANameSetsTheMaskProposesTheNameAndFiltersSources) {
    setInputs(kLines);
    dialog().state().LineNames = QStringList{"rivers", "roads"};
    clickOption(form().opFeatureType[1]);

    QTest::keyClick(form().CmbNames, Qt::Key_Down);

    EXPECT_EQ(form().CmbNames->currentText(), "roads");
    EXPECT_EQ(form().TxtFeatureMask->text(), "roads");
    EXPECT_EQ(form().txtDataClassName->text(), "roads");
    EXPECT_EQ(items(form().CmbFileSource), QStringList{"/d/roads.shp"});
    EXPECT_EQ(form().CmbFileSource->currentText(), "");
    EXPECT_EQ(form().LblInputCount->text(), "1 из 2");
}

TEST_F(NameListsTest, PickingTheNameAlreadyShownSetsTheMaskToIt) {
    setInputs(kLines);
    dialog().state().LineNames = QStringList{"rivers", "roads"};
    clickOption(form().opFeatureType[1]);
    flushDeletes();  // back in the event loop, as before any pick of the user
    ASSERT_EQ(form().TxtFeatureMask->text(), "*");

    emit form().CmbNames->activated(0);

    EXPECT_EQ(form().TxtFeatureMask->text(), "rivers");
    EXPECT_EQ(form().LblInputCount->text(), "1 из 2");
}

TEST_F(NameListsTest, KindWithoutInputsShowsOneEmptyNameAndNoSources) {
    setInputs(kLines);
    dialog().state().PointNames = QStringList{""};
    dialog().state().ShapeTypes = {3, 13, 4};

    clickOption(form().opFeatureType[0]);

    EXPECT_EQ(items(form().CmbNames), QStringList{""});
    EXPECT_EQ(form().CmbNames->currentIndex(), -1);
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0");
}

struct FilterCase {
    const char* name;
    int kind;
    QString mask;
    QStringList sources;
    QString label;
};

class FieldSourceFilterTest : public NameListsTest,
                              public ::testing::WithParamInterface<FilterCase> {};

TEST_P(FieldSourceFilterTest, OffersMatchingInputsOfTheKindAndCountsThem) {
    setInputs({
        {"/d/roads.shp", "ROADS", 3},
        {"/d/roads2.shp", "roads2", 13},
        {"/d/lakes.shp", "lakes", 4},
        {"/d/wells.shp", "wells", 1},
        {"/d/model.shp", "model", 9},
        {"/d/дороги.shp", "Дороги", 3},
        {"/d/trail .shp", "trail ", 3},
        {"/d/r#1.shp", "r#1", 3},
    });
    const FilterCase& c = GetParam();
    {
        const QSignalBlocker quiet(form().opFeatureTypeGroup);
        form().opFeatureType[c.kind]->setChecked(true);
    }
    form().TxtFeatureMask->clear();
    typeText(form().TxtFeatureMask, c.mask);

    EXPECT_EQ(items(form().CmbFileSource), c.sources);
    EXPECT_EQ(form().CmbFileSource->currentText(), "");
    EXPECT_EQ(form().LblInputCount->text(), c.label);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, FieldSourceFilterTest,
    ::testing::Values(
        FilterCase{
            "AllLines",
            1,
            "*",
            {"/d/roads.shp", "/d/roads2.shp", "/d/дороги.shp", "/d/trail .shp", "/d/r#1.shp"},
            "5 из 5"},
        FilterCase{"LowerCaseMaskMatchesUpperName", 1, "roads", {"/d/roads.shp"}, "1 из 5"},
        FilterCase{"HashIsADigit", 1, "roads#", {"/d/roads2.shp"}, "1 из 5"},
        FilterCase{"BracketIsAList", 1, "[r]oads*", {"/d/roads.shp", "/d/roads2.shp"}, "2 из 5"},
        FilterCase{"HashInANameNeedsBrackets", 1, "r[#]1", {"/d/r#1.shp"}, "1 из 5"},
        FilterCase{"CyrillicIgnoresCase", 1, "дорог?", {"/d/дороги.shp"}, "1 из 5"},
        FilterCase{"BlankAtTheEndIsKept", 1, "trail ", {"/d/trail .shp"}, "1 из 5"},
        FilterCase{"NameWithoutBlankMissesIt", 1, "trail", {}, "0 из 5"},
        FilterCase{"Polygons", 2, "*", {"/d/lakes.shp"}, "1 из 1"},
        FilterCase{"MultipatchIsNoPoint", 0, "*", {"/d/wells.shp"}, "1 из 1"},
        FilterCase{"NoMatch", 0, "m*", {}, "0 из 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NameListsTest, OneEmptySourceCountsAsNone) {
    dialog().state().FilesList = QStringList{""};
    dialog().state().TableNames = {"x"};
    dialog().state().ShapeTypes = {4};
    dialog().UpdateCmbFileSource();
    EXPECT_EQ(items(form().CmbFileSource), QStringList{""});
    EXPECT_EQ(form().LblInputCount->text(), "0");
    form().TxtFeatureMask->setText("x");
    EXPECT_EQ(form().LblInputCount->text(), "0 из 1");
}

TEST_F(NameListsTest, InputsWithoutNameOrTypeAreNeverOffered) {
    // A build of the inputs that stopped after the first file.
    dialog().state().FilesList = QStringList{"/d/a.shp", "/d/b.shp", "/d/c.shp"};
    dialog().state().TableNames = {"a", "b"};
    dialog().state().ShapeTypes = {4};
    form().TxtFeatureMask->setText("?");
    EXPECT_EQ(items(form().CmbFileSource), QStringList{"/d/a.shp"});
    EXPECT_EQ(form().LblInputCount->text(), "1 из 1");
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(NameListsTest, ListsNeverBuiltOfferNothingWithoutFailing) {
    ASSERT_FALSE(dialog().state().FilesList.has_value());
    typeText(form().TxtFeatureMask, "a");
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0 из 0");
    clickOption(form().opFeatureType[0]);
    EXPECT_EQ(form().CmbNames->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0");
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(NameListsTest, InvalidMaskOffersNothingAndTheCountLabelSaysWhy) {
    setInputs(kLines);
    form().TxtFeatureMask->setText("[r");
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_FALSE(form().LblInputCount->text().isEmpty());
    EXPECT_TRUE(form().LblInputCount->text().contains("[r"))
        << form().LblInputCount->text().toStdString();
    EXPECT_FALSE(form().LblInputCount->text().contains(" из "));
    EXPECT_TRUE(errors.reports.texts.isEmpty());

    form().TxtFeatureMask->setText("[r]*");
    EXPECT_EQ(form().LblInputCount->text(), "0 из 1");  // the one polygon is not named r*
}

TEST_F(NameListsTest, NoKindSelectedListsNothing) {
    setInputs(kLines);
    dialog().state().PointNames = QStringList{"wells"};
    form().opFeatureTypeGroup->setExclusive(false);
    form().opFeatureType[2]->setChecked(false);
    ASSERT_EQ(dialog().selectedFeatureKind(), 3);
    dialog().UpdateCmbNames();
    EXPECT_EQ(form().CmbNames->count(), 0);
    form().TxtFeatureMask->setText("w*");
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0 из 1");  // inputs of kind 0 are counted
}

}  // namespace
