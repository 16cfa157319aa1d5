#include "dialog/ConfluxForm.h"

#include "dialog/DialogPictures.h"
#include "dialog/ProgramIcon.h"
#include "dialog/WorkAnimation.h"
#include "platform/widgets/FlexGrid.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>

namespace {

QFont boldOf(QFont font) {
    font.setBold(true);
    return font;
}

}  // namespace

ConfluxForm::ConfluxForm(QRect available, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Conflux"));
    setWindowIcon(ProgramIcon::icon());
    // Only the close box: the layout is fixed, and a minimized modal window would leave its
    // owner blocked with nothing to click.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    // Containers in the window's own order; the input frame lies over the upper frame's edge.
    buildFileFrame();
    buildOutputFrame();
    buildInputFrame();
    applyTabOrder();
    limitRooms();
    // The path's caption lies under the path field itself: it shows in the empty field.
    LblPath->hide();
    setPathCaption(LblPath->text());
    styleFrames();

    chooseScale(available.size());
    styleFrames();  // the frame captions' line follows the font
    applyGeometry();
    // Placed by the window rather than centred over the owner, which can push the title bar
    // off the top of a small screen.
    const QSize outer = size() + WindowScales::frameAllowance(*this);
    move(available.x() + std::max(0, (available.width() - outer.width()) / 2),
         available.y() + std::max(0, (available.height() - outer.height()) / 2));
}

void ConfluxForm::setPathCaption(const QString& caption) {
    LblPath->setText(caption);
    TxtPath->setPlaceholderText(caption);
}

void ConfluxForm::place(QWidget* widget, int left, int top, int width, int height, int tabIndex) {
    m_twipGeometry.emplace_back(widget, QRect(left, top, width, height));
    if (tabIndex >= 0) {
        m_tabOrder.emplace_back(tabIndex, widget);
    }
}

QLabel* ConfluxForm::label(QWidget* container, const QString& caption, int left, int top, int width,
                           int height) {
    auto* created = new QLabel(caption, container);
    created->setWordWrap(true);
    created->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Captions lie beneath the other controls of their container, so a box placed over a
    // caption hides it rather than showing it through.
    created->lower();
    place(created, left, top, width, height);
    return created;
}

QLineEdit* ConfluxForm::textBox(QWidget* container, const QString& text, int left, int top,
                                int width, int height, int tabIndex) {
    auto* created = new QLineEdit(text, container);
    place(created, left, top, width, height, tabIndex);
    return created;
}

QPushButton* ConfluxForm::button(QWidget* container, const QString& caption, int left, int top,
                                 int width, int height, int tabIndex) {
    auto* created = new QPushButton(caption, container);
    // No button of this window is pressed by Enter from another control.
    created->setAutoDefault(false);
    created->setDefault(false);
    place(created, left, top, width, height, tabIndex);
    return created;
}

QToolButton* ConfluxForm::pictureButton(QWidget* container, const QString& caption,
                                        const QPixmap& picture, int left, int top, int width,
                                        int height, int tabIndex) {
    auto* created = new QToolButton(container);
    created->setText(caption);
    created->setIcon(QIcon(picture));
    created->setIconSize(picture.size());
    created->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                  : Qt::ToolButtonTextUnderIcon);
    created->setFocusPolicy(Qt::StrongFocus);
    place(created, left, top, width, height, tabIndex);
    return created;
}

OptionButton* ConfluxForm::option(QWidget* container, const QString& caption, int left, int top,
                                  int width, int height, int tabIndex) {
    auto* created = new OptionButton(caption, container);
    place(created, left, top, width, height, tabIndex);
    return created;
}

void ConfluxForm::buildFileFrame() {
    Frame2 = new QGroupBox(QStringLiteral("Выбор файлов"), this);
    place(Frame2, 120, 120, 9372, 4572);

    TxtsDir = textBox(Frame2, {}, 3000, 240, 5175, 375, 28);
    TxtFileMask = textBox(Frame2, QStringLiteral("*"), 3840, 840, 852, 288, 27);
    TxtFileMask->setFont(boldOf(TxtFileMask->font()));
    TxtDepthLevel = textBox(Frame2, QStringLiteral("2"), 7440, 840, 375, 288, 26);
    TxtDirMask = textBox(Frame2, QStringLiteral("*"), 2040, 840, 975, 288, 25);

    FlexGrid1 = new FlexGrid(Frame2);
    FlexGrid1->setCols(4);
    FlexGrid1->setRows(2);
    FlexGrid1->setFixedRows(1);
    FlexGrid1->setFixedCols(0);
    place(FlexGrid1, 120, 1200, 7692, 2652, 36);

    buildFileFrameButtons();
    buildFileFrameLabels();
}

void ConfluxForm::buildFileFrameButtons() {
    CmdSortByName = button(Frame2, QStringLiteral("по имени"), 5160, 3840, 1572, 372, 42);
    CmdSortDesc =
        pictureButton(Frame2, {}, DialogPictures::sortDescending(), 7200, 3840, 492, 372, 41);
    CmdSortAss =
        pictureButton(Frame2, {}, DialogPictures::sortAscending(), 6720, 3840, 492, 372, 40);
    CmdToInput = pictureButton(Frame2, QStringLiteral("на вход"), DialogPictures::toInput(), 8040,
                               3720, 1212, 732, 37);
    CmdFindPath = button(Frame2, QStringLiteral("..."), 8280, 240, 615, 375, 24);
    CmdDelFile = pictureButton(Frame2, QStringLiteral("Удалить"), DialogPictures::deleteFile(),
                               8040, 2760, 1212, 855, 23);
    CmdAddFile = pictureButton(Frame2, QStringLiteral("Добавить"), DialogPictures::addFile(), 8040,
                               1920, 1212, 855, 22);
    CmdGetDir = pictureButton(Frame2, QStringLiteral("переВыбрать"), DialogPictures::getDir(), 8040,
                              1200, 1212, 732, 21);
}

void ConfluxForm::buildFileFrameLabels() {
    Label7 = label(Frame2, QStringLiteral(".shp"), 4680, 840, 492, 288);
    Label7->setFont(boldOf(Label7->font()));
    LblsDir = label(Frame2, QStringLiteral("Корневая директория"), 120, 240, 2292, 252);
    Label5 = label(Frame2, QStringLiteral("маска последнего каталога"), 120, 720, 2052, 372);
    LblSelected = label(Frame2, {}, 120, 4080, 4572, 252);
    Label4 = label(Frame2, QStringLiteral("уровень вложенности"), 5400, 840, 1812, 252);
    Label3 = label(Frame2, QStringLiteral("маска файла"), 3120, 720, 732, 372);
}

void ConfluxForm::buildOutputFrame() {
    FrameOutput = new QGroupBox(QStringLiteral("на Выход"), this);
    place(FrameOutput, 120, 6240, 9372, 2772);
    FrameOutput->setEnabled(false);

    CmdMerge = button(FrameOutput, QStringLiteral("Merge"), 2280, 2160, 1335, 495, 35);
    CmdCancel = button(FrameOutput, QStringLiteral("Cancel"), 3720, 2160, 1335, 495, 34);
    CmdFindPath2 = button(FrameOutput, QStringLiteral("..."), 6480, 720, 615, 375, 13);

    opOutputType[0] = option(FrameOutput, QStringLiteral("Shape"), 120, 240, 1575, 255, 8);
    opOutputType[1] =
        option(FrameOutput, QStringLiteral("Personal Data Base"), 1680, 240, 3015, 255, 7);
    opOutputTypeGroup = new QButtonGroup(FrameOutput);
    for (int index = 0; index < 2; ++index) {
        opOutputTypeGroup->addButton(opOutputType[index], index);
    }
    opOutputType[0]->setChecked(true);

    TxtPath = textBox(FrameOutput, {}, 120, 720, 6135, 375, 6);
    TxtDataSet = textBox(FrameOutput, QStringLiteral("Merge"), 1200, 1200, 3735, 375, 5);
    TxtDataSet->setVisible(false);
    txtDataClassName = textBox(FrameOutput, QStringLiteral("Merge"), 1200, 1680, 3735, 375, 4);

    LblOutputCount = label(FrameOutput, {}, 5040, 1200, 4212, 852);
    LblPath = label(FrameOutput, QStringLiteral("Path"), 120, 720, 4452, 252);
    Label1 = label(FrameOutput, QStringLiteral("Dataset"), 120, 1320, 852, 252);
    Label1->setVisible(false);
    LblClassName = label(FrameOutput, QStringLiteral("FileName"), 120, 1800, 972, 492);
}

void ConfluxForm::buildInputFrame() {
    FrameInput = new QGroupBox(QStringLiteral("на Вход"), this);
    place(FrameInput, 120, 4800, 9372, 1452);
    FrameInput->setEnabled(false);

    CmbFileSource = new QComboBox(FrameInput);
    CmbFileSource->setEditable(true);
    CmbFileSource->setInsertPolicy(QComboBox::NoInsert);
    place(CmbFileSource, 1680, 960, 7572, 288, 38);

    opFeatureType[2] = option(FrameInput, QStringLiteral("Polygon"), 1800, 240, 975, 255, 19);
    opFeatureType[1] = option(FrameInput, QStringLiteral("Line"), 960, 240, 975, 255, 18);
    opFeatureType[0] = option(FrameInput, QStringLiteral("Point"), 120, 240, 975, 255, 17);
    opFeatureTypeGroup = new QButtonGroup(FrameInput);
    for (int index = 0; index < 3; ++index) {
        opFeatureTypeGroup->addButton(opFeatureType[index], index);
    }
    opFeatureType[2]->setChecked(true);

    CmbNames = new QComboBox(FrameInput);
    place(CmbNames, 4320, 600, 2655, 288, 12);
    TxtFeatureMask = textBox(FrameInput, QStringLiteral("*"), 1680, 600, 2175, 285, 1);

    ImageWork = new WorkAnimation(FrameInput);
    place(ImageWork, 8280, 240, 732, 612);
    ImageWork->setVisible(false);

    Label6 = label(FrameInput, QStringLiteral("источник полей"), 120, 960, 1452, 252);
    LblInputCount = label(FrameInput, QStringLiteral("no data"), 2880, 240, 4092, 252);
    Label2 = label(FrameInput, QStringLiteral("<<"), 3960, 600, 372, 252);
    QFont arrows(QStringLiteral("Arial"));
    arrows.setPointSizeF(9.75);
    arrows.setBold(true);
    Label2->setFont(arrows);
    LblFeatureMask = label(FrameInput, QStringLiteral("маска файла"), 120, 600, 1452, 372);
}

void ConfluxForm::applyTabOrder() {
    std::sort(m_tabOrder.begin(), m_tabOrder.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < m_tabOrder.size(); ++i) {
        QWidget::setTabOrder(m_tabOrder[i - 1].second, m_tabOrder[i].second);
    }
}

void ConfluxForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        emit activated();
    }
}

void ConfluxForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            // Esc closes nothing: the window has no cancel button.
            event->accept();
            return;
        case Qt::Key_Enter:
        case Qt::Key_Return:
            // Enter presses only the button that has the focus; there is no default button.
            if (auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
                focused != nullptr && !focused->isCheckable()) {
                focused->click();
            }
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}
