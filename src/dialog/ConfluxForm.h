#pragma once

#include <QDialog>

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
class QRadioButton;
class QToolButton;
class WorkAnimation;

// The controls of the merge dialog: created at each load in their initial state, destroyed at
// each unload. Positions are given in twips (15 per pixel) and the whole layout is scaled to
// the dialog font so that no caption is clipped. The procedures that use the controls live in
// frmConflux; this class only builds them and keeps Enter and Esc from closing the window.
class ConfluxForm : public QDialog {
    Q_OBJECT
public:
    explicit ConfluxForm(QWidget* parent = nullptr);

    // Pixels per twip after scaling to the font (1/15 at the font the layout was drawn for).
    double pixelsPerTwip() const { return m_pixelsPerTwip; }

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
    std::array<QRadioButton*, 2> opOutputType{};
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
    std::array<QRadioButton*, 3> opFeatureType{};
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
    void styleFrame(QGroupBox* frame);
    // The smallest scale (at least the font's height ratio) at which no caption is clipped.
    double fittingScale() const;
    bool captionsFit(double pixelsPerTwip) const;
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
    QRadioButton* option(QWidget* container, const QString& caption, int left, int top, int width,
                         int height, int tabIndex);

    double m_pixelsPerTwip = 1.0 / 15.0;
    std::vector<std::pair<int, QWidget*>> m_tabOrder;
    std::vector<std::pair<QWidget*, QRect>> m_twipGeometry;
};
