#include "DialogFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

using OutputTargetTest = DialogFixture;

void retype(QLineEdit* box, const QString& text) {
    box->clear();
    DialogFixture::typeText(box, text);
}

struct NameCase {
    QString fileMask;
    QString featureMask;
    QString proposed;
};

TEST_F(OutputTargetTest, ProposedNameFollowsTheMasks) {
    form().FrameInput->setEnabled(true);
    const QList<NameCase> cases = {
        {"road*", "*", "road"}, {"*", "*_2005?", "_2005"}, {"*", "*", "Merge"},      {"", "*", ""},
        {"a b?*", "x", "a b"},  {"*", "лес*", "лес"},      {"?r*?", "ignored", "r"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.fileMask.toStdString() + " / " + c.featureMask.toStdString());
        retype(form().TxtFeatureMask, c.featureMask);
        retype(form().TxtFileMask, c.fileMask);
        EXPECT_EQ(form().txtDataClassName->text(), c.proposed);
    }
}

TEST_F(OutputTargetTest, MaskChangeReplacesTheNameTheUserTyped) {
    form().FrameOutput->setEnabled(true);
    retype(form().txtDataClassName, "mine");
    typeText(form().TxtFileMask, "x");  // "*x"
    EXPECT_EQ(form().txtDataClassName->text(), "x");
}

TEST_F(OutputTargetTest, OutputTypeSwitchesCaptionsAndKeepsThePath) {
    form().FrameOutput->setEnabled(true);
    retype(form().TxtPath, "/out/base.gpkg");
    QRadioButton* geodatabase = form().opOutputType[1];
    QTest::mouseClick(geodatabase, Qt::LeftButton, {}, QPoint(6, geodatabase->height() / 2));
    EXPECT_FALSE(form().TxtDataSet->isHidden());
    EXPECT_FALSE(form().Label1->isHidden());
    EXPECT_EQ(form().LblPath->text(), ".mdb Full Path");
    EXPECT_EQ(form().LblClassName->text(), "Feature Class");

    form().opOutputType[0]->setChecked(true);  // code runs the click too
    EXPECT_TRUE(form().TxtDataSet->isHidden());
    EXPECT_TRUE(form().Label1->isHidden());
    EXPECT_EQ(form().LblPath->text(), "Folder Path");
    EXPECT_EQ(form().LblClassName->text(), "File Name");
    EXPECT_EQ(form().TxtPath->text(), "/out/base.gpkg");
    EXPECT_EQ(form().TxtDataSet->text(), "Merge");
}

TEST(GetFNameFromFullName, GivesTheTextBetweenLastSlashAndLastDot) {
    const QList<std::pair<QString, QString>> cases = {
        {"/data/roads.shp", "roads"},
        {"/data/roads.old.shp", "roads.old"},
        {"/maps.2/roads", ""},
        {"/data/roads", ""},
        {"roads.shp", "roads"},
        {"/data/.shp", ""},
        {"", ""},
        {"/data/дороги.SHP", "дороги"},
        {"/d.x/y.z", "y"},
        {"/data/dir/", ""},
        {"./x", ""},
    };
    for (const auto& [path, base] : cases) {
        EXPECT_EQ(frmConflux::GetFNameFromFullName(path), base) << path.toStdString();
    }
}

}  // namespace
