// The input frame's event chains: kind options, the name list, the feature mask and the field
// sources they refill.
#include "DialogFixture.h"

#include <QButtonGroup>
#include <QSignalBlocker>

namespace {

class NameListsTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        form().FrameInput->setEnabled(true);
    }

    // Two line types, a polygon, a point and a multipatch.
    static void setInputs() {
        ConfluxState& s = dialog().state();
        s.FilesList = QStringList{"/d/roads.shp", "/d/rivers.shp", "/d/lakes.shp", "/d/wells.shp",
                                  "/d/model.shp"};
        s.TableNames = {"ROADS", "rivers", "lakes", "wells", "model"};
        s.ShapeTypes = {3, 13, 4, 1, 9};
    }
};

TEST_F(NameListsTest, KindClickRefillsNamesThenSourcesAndANamePickSetsTheMask) {
    setInputs();
    dialog().state().LineNames = QStringList{"rivers", "roads"};
    QStringList masks;
    QObject::connect(form().TxtFeatureMask, &QLineEdit::textChanged,
                     [&](const QString& t) { masks << t; });

    clickOption(form().opFeatureType[1]);
    EXPECT_EQ(items(form().CmbNames), (QStringList{"rivers", "roads"}));
    // The first name was picked (its click set the mask) before the mask went back to "*".
    EXPECT_EQ(masks, (QStringList{"rivers", "*"}));
    EXPECT_EQ(items(form().CmbFileSource), (QStringList{"/d/roads.shp", "/d/rivers.shp"}));
    EXPECT_EQ(form().CmbFileSource->currentText(), "");
    EXPECT_EQ(form().LblInputCount->text(), "2");
    EXPECT_EQ(form().txtDataClassName->text(), "Merge");

    flushDeletes();                      // back in the event loop, as before any pick of the user
    emit form().CmbNames->activated(0);  // the name already shown
    EXPECT_EQ(form().TxtFeatureMask->text(), "rivers");
    EXPECT_EQ(form().LblInputCount->text(), "1 из 2");

    QTest::keyClick(form().CmbNames, Qt::Key_Down);
    EXPECT_EQ(form().TxtFeatureMask->text(), "roads");
    EXPECT_EQ(form().txtDataClassName->text(), "roads");
    EXPECT_EQ(items(form().CmbFileSource), QStringList{"/d/roads.shp"});
    EXPECT_EQ(form().LblInputCount->text(), "1 из 2");
}

TEST_F(NameListsTest, FieldSourcesAreTheMatchingInputsOfTheKind) {
    setInputs();
    struct Case {
        const char* name;
        int kind;
        QString mask;
        QStringList sources;
        QString label;
    };
    const Case cases[] = {
        {"both line types", 1, "*", {"/d/roads.shp", "/d/rivers.shp"}, "2 из 2"},
        {"mask narrows, case-blind", 1, "roads", {"/d/roads.shp"}, "1 из 2"},
        {"polygons", 2, "*", {"/d/lakes.shp"}, "1 из 1"},
        {"multipatch is no point", 0, "*", {"/d/wells.shp"}, "1 из 1"},
        {"no match", 0, "m*", {}, "0 из 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            const QSignalBlocker quiet(form().opFeatureTypeGroup);
            form().opFeatureType[c.kind]->setChecked(true);
        }
        retype(form().TxtFeatureMask, c.mask);
        EXPECT_EQ(items(form().CmbFileSource), c.sources);
        EXPECT_EQ(form().CmbFileSource->currentText(), "");
        EXPECT_EQ(form().LblInputCount->text(), c.label);
    }
}

TEST_F(NameListsTest, KindWithoutInputsShowsOneEmptyNameAndNoSources) {
    setInputs();
    dialog().state().PointNames = QStringList{""};
    dialog().state().ShapeTypes = {3, 13, 4};
    clickOption(form().opFeatureType[0]);
    EXPECT_EQ(items(form().CmbNames), QStringList{""});
    EXPECT_EQ(form().CmbNames->currentIndex(), -1);
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0");
}

TEST_F(NameListsTest, ListsNeverOrPartlyBuiltOfferOnlyWhatIsDescribed) {
    typeText(form().TxtFeatureMask, "a");
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0 из 0");
    clickOption(form().opFeatureType[0]);
    EXPECT_EQ(form().CmbNames->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "0");

    // A build of the inputs that stopped after the first file.
    dialog().state().FilesList = QStringList{"/d/a.shp", "/d/b.shp", "/d/c.shp"};
    dialog().state().TableNames = {"a", "b"};
    dialog().state().ShapeTypes = {1};
    form().TxtFeatureMask->setText("?");
    EXPECT_EQ(items(form().CmbFileSource), QStringList{"/d/a.shp"});
    EXPECT_EQ(form().LblInputCount->text(), "1 из 1");
    EXPECT_TRUE(errors.reports.texts.isEmpty());
}

TEST_F(NameListsTest, InvalidMaskOffersNothingAndTheCountLabelSaysWhy) {
    setInputs();
    form().TxtFeatureMask->setText("[r");
    EXPECT_EQ(form().CmbFileSource->count(), 0);
    EXPECT_EQ(form().LblInputCount->text(), "Invalid pattern: [r");
    EXPECT_TRUE(errors.reports.texts.isEmpty());

    form().TxtFeatureMask->setText("l*");
    EXPECT_EQ(form().LblInputCount->text(), "1 из 1");
}

}  // namespace
