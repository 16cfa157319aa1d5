#pragma once

#include "platform/widgets/OptionButton.h"
#include "platform/widgets/ScaledIndicatorStyle.h"
#include "platform/widgets/WindowScale.h"

#include <QDialog>
#include <QHash>

#include <array>
#include <utility>
#include <vector>

class FlexGrid;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class WorkAnimation;

// The controls of the merge dialog: created at each load in their initial state, destroyed at
// each unload. Positions are given in twips (15 per pixel) and the whole layout is scaled to
// the dialog font so that no caption is clipped, but never beyond what fits the screen: there
// the fonts shrink with the layout. The procedures that use the controls live in frmConflux;
// this class only builds them and keeps Enter and Esc from closing the window.
class ConfluxForm : public QDialog {
    Q_OBJECT
public:
    // `available`: the free area of the screen the window opens on; the window opens in its
    // middle.
    explicit ConfluxForm(QRect available = WindowScales::availableArea(),
                         QWidget* parent = nullptr);

    // The layout and font factors the window was built with.
    WindowScale scale() const { return m_scale; }
    // LblPath's caption, which the path field shows while it is empty (the label lies under it).
    void setPathCaption(const QString& caption);
    // Whether every caption shows whole at the window's scale.
    bool captionsFit() const { return captionsFit(m_scale.layout, false); }

    // "Выбор файлов": the scan and the candidates.
    QGroupBox* Frame2 = nullptr;
    QPushButton* CmdSortByName = nullptr;
    QToolButton* CmdSortDesc = nullptr;
    QToolButton* CmdSortAss = nullptr;
    QToolButton* CmdToInput = nullptr;
    QLineEdit* TxtsDir = nullptr;
    QLineEdit* TxtFileMask = nullptr;
    QLineEdit* TxtDepthLevel = nullptr;
    QLineEdit* TxtDirMask = nullptr;
    QPushButton* CmdFindPath = nullptr;
    QToolButton* CmdDelFile = nullptr;
    QToolButton* CmdAddFile = nullptr;
    QToolButton* CmdGetDir = nullptr;
    FlexGrid* FlexGrid1 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* LblsDir = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* LblSelected = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;

    // "на Выход": the output target, Merge and Cancel.
    QGroupBox* FrameOutput = nullptr;
    QPushButton* CmdMerge = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* CmdFindPath2 = nullptr;
    std::array<OptionButton*, 2> opOutputType{};
    QButtonGroup* opOutputTypeGroup = nullptr;  // ids are the option indexes
    QLineEdit* TxtPath = nullptr;
    QLineEdit* TxtDataSet = nullptr;
    QLineEdit* txtDataClassName = nullptr;
    QLabel* LblOutputCount = nullptr;
    QLabel* LblPath = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LblClassName = nullptr;

    // "на Вход": geometry kind, name mask, field source.
    QGroupBox* FrameInput = nullptr;
    QComboBox* CmbFileSource = nullptr;
    std::array<OptionButton*, 3> opFeatureType{};
    QButtonGroup* opFeatureTypeGroup = nullptr;  // ids are the option indexes
    QComboBox* CmbNames = nullptr;
    QLineEdit* TxtFeatureMask = nullptr;
    WorkAnimation* ImageWork = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* LblInputCount = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LblFeatureMask = nullptr;

signals:
    void activated();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildFileFrame();
    void buildFileFrameButtons();
    void buildFileFrameLabels();
    void buildInputFrame();
    void buildOutputFrame();
    void applyTabOrder();

    // Layout (ConfluxFormLayout.cpp).
    // The smallest layout factor (at least the font's height ratio) at which no caption clips
    // and every control has its style's margins.
    double fittingScale() const;
    bool captionsFit(double layout, bool withMargins = true) const;
    // The scale that fits both the captions and `available`; shrinks the fonts when needed.
    void chooseScale(QSize available);
    // Options overlap their right neighbours, and captions some fields beside them: a caption
    // ends before what lies to its right, and starts after what covers its left end.
    void limitRooms();
    // Controls drawn a pixel into a neighbour are trimmed apart.
    void trimTouchingEdges();
    void styleFrames();
    void applyGeometry();

    // Records geometry in twips relative to the container, applied once the scale is known;
    // tabIndex < 0 takes no focus place.
    void place(QWidget* widget, int left, int top, int width, int height, int tabIndex = -1);
    QLabel* label(QWidget* container, const QString& caption, int left, int top, int width,
                  int height);
    QLineEdit* textBox(QWidget* container, const QString& text, int left, int top, int width,
                       int height, int tabIndex);
    QPushButton* button(QWidget* container, const QString& caption, int left, int top, int width,
                        int height, int tabIndex);
    QToolButton* pictureButton(QWidget* container, const QString& caption, const QPixmap& picture,
                               int left, int top, int width, int height, int tabIndex);
    OptionButton* option(QWidget* container, const QString& caption, int left, int top, int width,
                         int height, int tabIndex);

    WindowScale m_scale;
    std::vector<std::pair<int, QWidget*>> m_tabOrder;
    std::vector<std::pair<QWidget*, QRect>> m_twipGeometry;
    // Width in twips a control may show its caption in, where less than its own width.
    QHash<const QWidget*, int> m_roomTwips;
    // Set when the window shrinks; a child of the window, so it outlives the options using it.
    ScaledIndicatorStyle* m_optionStyle = nullptr;
};
