#include "DialogFixture.h"

#include "dialog/WorkAnimation.h"
#include "platform/FlexGrid.h"

#include "support/FakeHost.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include <cmath>
#include <functional>

namespace {

using ConfluxFormTest = DialogFixture;

struct Placed {
    const char* name;
    std::function<QWidget*(ConfluxForm&)> control;
    int left, top, width, height;
};

#define CONTROL(member) #member, [](ConfluxForm & f) -> QWidget* { return f.member; }

const std::vector<Placed>& layoutTable() {
    static const std::vector<Placed> table = {
        {CONTROL(Frame2), 120, 120, 9372, 4572},
        {CONTROL(CmdSortByName), 5160, 3840, 1572, 372},
        {CONTROL(CmdSortDesc), 7200, 3840, 492, 372},
        {CONTROL(CmdSortAss), 6720, 3840, 492, 372},
        {CONTROL(CmdToInput), 8040, 3720, 1212, 732},
        {CONTROL(TxtsDir), 3000, 240, 5175, 375},
        {CONTROL(TxtFileMask), 3840, 840, 852, 288},
        {CONTROL(TxtDepthLevel), 7440, 840, 375, 288},
        {CONTROL(TxtDirMask), 2040, 840, 975, 288},
        {CONTROL(CmdFindPath), 8280, 240, 615, 375},
        {CONTROL(CmdDelFile), 8040, 2760, 1212, 855},
        {CONTROL(CmdAddFile), 8040, 1920, 1212, 855},
        {CONTROL(CmdGetDir), 8040, 1200, 1212, 732},
        {CONTROL(FlexGrid1), 120, 1200, 7692, 2652},
        {CONTROL(Label7), 4680, 840, 492, 288},
        {CONTROL(LblsDir), 120, 240, 2292, 252},
        {CONTROL(Label5), 120, 720, 2052, 372},
        {CONTROL(LblSelected), 120, 4080, 4572, 252},
        {CONTROL(Label4), 5400, 840, 1812, 252},
        {CONTROL(Label3), 3120, 720, 732, 372},
        {CONTROL(FrameOutput), 120, 6240, 9372, 2772},
        {CONTROL(CmdMerge), 2280, 2160, 1335, 495},
        {CONTROL(CmdCancel), 3720, 2160, 1335, 495},
        {CONTROL(CmdFindPath2), 6480, 720, 615, 375},
        {CONTROL(opOutputType[0]), 120, 240, 1575, 255},
        {CONTROL(opOutputType[1]), 1680, 240, 3015, 255},
        {CONTROL(TxtPath), 120, 720, 6135, 375},
        {CONTROL(TxtDataSet), 1200, 1200, 3735, 375},
        {CONTROL(txtDataClassName), 1200, 1680, 3735, 375},
        {CONTROL(LblOutputCount), 5040, 1200, 4212, 852},
        {CONTROL(LblPath), 120, 720, 4452, 252},
        {CONTROL(Label1), 120, 1320, 852, 252},
        {CONTROL(LblClassName), 120, 1800, 972, 492},
        {CONTROL(FrameInput), 120, 4800, 9372, 1452},
        {CONTROL(CmbFileSource), 1680, 960, 7572, 288},
        {CONTROL(opFeatureType[2]), 1800, 240, 975, 255},
        {CONTROL(opFeatureType[1]), 960, 240, 975, 255},
        {CONTROL(opFeatureType[0]), 120, 240, 975, 255},
        {CONTROL(CmbNames), 4320, 600, 2655, 288},
        {CONTROL(TxtFeatureMask), 1680, 600, 2175, 285},
        {CONTROL(ImageWork), 8280, 240, 732, 612},
        {CONTROL(Label6), 120, 960, 1452, 252},
        {CONTROL(LblInputCount), 2880, 240, 4092, 252},
        {CONTROL(Label2), 3960, 600, 372, 252},
        {CONTROL(LblFeatureMask), 120, 600, 1452, 372},
    };
    return table;
}

int pixels(int twips) {
    return static_cast<int>(std::lround(twips * frmConflux::instance().form()->pixelsPerTwip()));
}

void clickOption(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

TEST_F(ConfluxFormTest, EveryControlSitsAtItsTwipPositionScaledAsOne) {
    EXPECT_GE(form().pixelsPerTwip(), 1.0 / 15.0);
    EXPECT_EQ(form().size(), QSize(pixels(9510), pixels(9105)));
    for (const Placed& row : layoutTable()) {
        SCOPED_TRACE(row.name);
        const QWidget* control = row.control(form());
        EXPECT_EQ(control->geometry(),
                  QRect(pixels(row.left), pixels(row.top), pixels(row.width), pixels(row.height)));
    }
    EXPECT_EQ(form().TxtsDir->parentWidget(), form().Frame2);
    EXPECT_EQ(form().CmdCancel->parentWidget(), form().FrameOutput);
    EXPECT_EQ(form().CmbNames->parentWidget(), form().FrameInput);
}

TEST_F(ConfluxFormTest, LoadedWindowShowsInitialCaptionsAndStates) {
    ConfluxForm& f = form();
    EXPECT_EQ(f.windowTitle(), "Conflux");
    EXPECT_EQ(f.Frame2->title(), "Выбор файлов");
    EXPECT_EQ(f.FrameInput->title(), "на Вход");
    EXPECT_EQ(f.FrameOutput->title(), "на Выход");
    EXPECT_TRUE(f.Frame2->isEnabled());
    EXPECT_FALSE(f.FrameInput->isEnabled());
    EXPECT_FALSE(f.FrameOutput->isEnabled());

    const std::vector<std::pair<QString, QString>> captions = {
        {f.CmdSortByName->text(), "по имени"},
        {f.CmdToInput->text(), "на вход"},
        {f.CmdDelFile->text(), "Удалить"},
        {f.CmdAddFile->text(), "Добавить"},
        {f.CmdGetDir->text(), "переВыбрать"},
        {f.CmdFindPath->text(), "..."},
        {f.CmdFindPath2->text(), "..."},
        {f.CmdMerge->text(), "Merge"},
        {f.CmdCancel->text(), "Cancel"},
        {f.TxtsDir->text(), ""},
        {f.TxtFileMask->text(), "*"},
        {f.TxtDepthLevel->text(), "2"},
        {f.TxtDirMask->text(), "*"},
        {f.Label7->text(), ".shp"},
        {f.LblsDir->text(), "Корневая директория"},
        {f.Label5->text(), "маска последнего каталога"},
        {f.LblSelected->text(), ""},
        {f.Label4->text(), "уровень вложенности"},
        {f.Label3->text(), "маска файла"},
        {f.opOutputType[0]->text(), "Shape"},
        {f.opOutputType[1]->text(), "Personal Data Base"},
        {f.TxtPath->text(), ""},
        {f.TxtDataSet->text(), "Merge"},
        {f.txtDataClassName->text(), "Merge"},
        {f.LblOutputCount->text(), ""},
        {f.LblPath->text(), "Path"},
        {f.Label1->text(), "Dataset"},
        {f.LblClassName->text(), "FileName"},
        {f.opFeatureType[0]->text(), "Point"},
        {f.opFeatureType[1]->text(), "Line"},
        {f.opFeatureType[2]->text(), "Polygon"},
        {f.TxtFeatureMask->text(), "*"},
        {f.Label6->text(), "источник полей"},
        {f.LblInputCount->text(), "no data"},
        {f.Label2->text(), "<<"},
        {f.LblFeatureMask->text(), "маска файла"},
        {f.CmbFileSource->currentText(), ""},
    };
    for (const auto& [shown, expected] : captions) {
        EXPECT_EQ(shown, expected);
    }
    EXPECT_TRUE(f.opOutputType[0]->isChecked());
    EXPECT_TRUE(f.opFeatureType[2]->isChecked());
    EXPECT_EQ(f.CmbNames->count(), 0);
    EXPECT_EQ(f.CmbFileSource->count(), 0);
    EXPECT_TRUE(f.CmbFileSource->isEditable());
    EXPECT_FALSE(f.CmbNames->isEditable());
    EXPECT_TRUE(f.TxtDataSet->isHidden());
    EXPECT_TRUE(f.Label1->isHidden());
    EXPECT_TRUE(f.ImageWork->isHidden());
    EXPECT_TRUE(f.TxtFileMask->font().bold());
    EXPECT_TRUE(f.Label7->font().bold());
    EXPECT_TRUE(f.Label2->font().bold());
    EXPECT_DOUBLE_EQ(f.Label2->font().pointSizeF(), 9.75);
    EXPECT_EQ(f.Label2->font().family(), "Arial");
    EXPECT_FALSE(f.LblsDir->font().bold());
}

TEST_F(ConfluxFormTest, LoadedGridHasHeadersAndTheColumnWidthRule) {
    FlexGrid& grid = *form().FlexGrid1;
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 4);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.TextMatrix(0, 0), "файл");
    EXPECT_EQ(grid.TextMatrix(0, 1), "поля");
    EXPECT_EQ(grid.TextMatrix(0, 2), "записи");
    EXPECT_EQ(grid.TextMatrix(0, 3), "");
    const double exact = grid.WidthTwips() - grid.ColWidth(1) - 1.5 * grid.ColWidth(2);
    EXPECT_EQ(grid.ColWidth(0), static_cast<int>(std::nearbyint(exact)));  // halves to even
    EXPECT_EQ(grid.ColWidth(3), 0);
}

TEST_F(ConfluxFormTest, TabOrderFollowsTheTabIndexes) {
    ConfluxForm& f = form();
    const QList<QWidget*> expected = {
        f.TxtFeatureMask,   f.txtDataClassName, f.TxtDataSet,       f.TxtPath,
        f.opOutputType[1],  f.opOutputType[0],  f.CmbNames,         f.CmdFindPath2,
        f.opFeatureType[0], f.opFeatureType[1], f.opFeatureType[2], f.CmdGetDir,
        f.CmdAddFile,       f.CmdDelFile,       f.CmdFindPath,      f.TxtDirMask,
        f.TxtDepthLevel,    f.TxtFileMask,      f.TxtsDir,          f.CmdCancel,
        f.CmdMerge,         f.FlexGrid1,        f.CmdToInput,       f.CmbFileSource,
        f.CmdSortAss,       f.CmdSortDesc,      f.CmdSortByName,
    };
    QList<QWidget*> chain;
    QWidget* next = f.TxtFeatureMask;
    do {
        if (expected.contains(next) && !chain.contains(next)) {
            chain << next;
        }
        next = next->nextInFocusChain();
    } while (next != f.TxtFeatureMask);
    EXPECT_EQ(chain, expected);
}

TEST_F(ConfluxFormTest, EnterAndEscPressNeitherMergeNorCancel) {
    form().FrameOutput->setEnabled(true);
    QSignalSpy merges(form().CmdMerge, &QPushButton::clicked);
    for (QWidget* focus :
         {static_cast<QWidget*>(form().TxtsDir), static_cast<QWidget*>(form().TxtPath)}) {
        focus->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(focus, key);
            ASSERT_TRUE(dialog().isLoaded());
            EXPECT_TRUE(form().isVisible());
        }
    }
    EXPECT_EQ(merges.count(), 0);
    EXPECT_FALSE(form().CmdMerge->isDefault());
    EXPECT_FALSE(form().CmdCancel->isDefault());
}

TEST_F(ConfluxFormTest, CloseBoxUnloadsTheControls) {
    QPointer<ConfluxForm> shown = dialog().form();
    shown->close();
    EXPECT_FALSE(dialog().isLoaded());
    flushDeletes();
    EXPECT_TRUE(shown.isNull());
}

TEST_F(ConfluxFormTest, ReopeningAfterCancelGivesFreshControlsAndKeepsState) {
    auto application = std::make_shared<FakeApplication>();
    dialog().state().m_pApp = application;
    dialog().state().FilesList = QStringList{"/data/roads.shp"};
    dialog().state().SortState = 1;
    form().FrameInput->setEnabled(true);
    form().FrameOutput->setEnabled(true);
    typeText(form().TxtsDir, "/data");
    form().FlexGrid1->AddItem("/data/roads.shp\t3\t10\troads");
    clickOption(form().opFeatureType[1]);
    clickOption(form().opOutputType[1]);
    ASSERT_TRUE(form().opFeatureType[1]->isChecked());
    QPointer<ConfluxForm> first = dialog().form();

    QTest::mouseClick(form().CmdCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog().isLoaded());
    flushDeletes();
    EXPECT_TRUE(first.isNull());

    loadAndShow();
    EXPECT_EQ(form().TxtsDir->text(), "");
    EXPECT_EQ(form().FlexGrid1->Rows(), 2);
    EXPECT_EQ(form().FlexGrid1->TextMatrix(1, 0), "");
    EXPECT_TRUE(form().opFeatureType[2]->isChecked());
    EXPECT_TRUE(form().opOutputType[0]->isChecked());
    EXPECT_EQ(form().LblPath->text(), "Path");
    EXPECT_FALSE(form().FrameInput->isEnabled());
    EXPECT_FALSE(form().FrameOutput->isEnabled());
    EXPECT_EQ(dialog().state().m_pApp, application);
    EXPECT_EQ(dialog().state().FilesList, QStringList{"/data/roads.shp"});
    EXPECT_EQ(dialog().state().SortState, 1);
}

TEST_F(ConfluxFormTest, LowerFramesIgnoreClicksUntilInputsAreBuilt) {
    QTest::mouseClick(form().opFeatureType[0], Qt::LeftButton, {},
                      QPoint(6, form().opFeatureType[0]->height() / 2));
    QTest::mouseClick(form().opOutputType[1], Qt::LeftButton, {},
                      QPoint(6, form().opOutputType[1]->height() / 2));
    typeText(form().TxtFeatureMask, "a");
    EXPECT_TRUE(form().opFeatureType[2]->isChecked());
    EXPECT_TRUE(form().opOutputType[0]->isChecked());
    EXPECT_EQ(form().TxtFeatureMask->text(), "*");
    EXPECT_EQ(form().LblInputCount->text(), "no data");
    EXPECT_EQ(form().LblPath->text(), "Path");
}

TEST_F(ConfluxFormTest, ClearInputDisablesLowerFramesAndEmptiesOnlyTheNameList) {
    form().FrameInput->setEnabled(true);
    form().FrameOutput->setEnabled(true);
    form().CmbNames->addItems({"a", "b"});
    form().CmbFileSource->addItem("/data/a.shp");
    typeText(form().TxtPath, "/out");
    dialog().ClearInput();
    EXPECT_FALSE(form().FrameInput->isEnabled());
    EXPECT_FALSE(form().FrameOutput->isEnabled());
    EXPECT_EQ(form().CmbNames->count(), 0);
    EXPECT_EQ(form().CmbFileSource->count(), 1);
    EXPECT_EQ(form().TxtPath->text(), "/out");
}

}  // namespace
