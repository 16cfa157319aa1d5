#pragma once

#include "dialog/ConfluxState.h"
#include "discovery/CandidateRow.h"
#include "platform/widgets/ModalLoop.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ConfluxForm;
class QAbstractButton;
class QComboBox;
class IFeatureClass;
class Prompter;

// The merge dialog: one instance per loaded library. It owns the window-level state for as long
// as the library is loaded and creates its controls afresh at every load.
//
// The event procedures are connected to their controls at load. A change that code makes to a
// control runs the control's event at once, nested, as a user's change would: setText on a
// mask runs its _Change, selecting a CmbNames item runs CmbNames_Click, checking an option runs
// its group's _Click once for the option now selected. Members are split into one source file
// per concern (frmConflux*.cpp).
// The module part of the dialog's error reports: empty, as the dialog's have always been.
inline const QString kDialogModule;

class frmConflux : public QObject {
    Q_OBJECT
public:
    static frmConflux& instance();

    ConfluxState& state() { return m_state; }

    // Loads the controls when they are not loaded, then shows the window modally; returns when
    // the window is closed.
    void Show();
    void Load();
    // Unloads the controls; the state stays. Safe when not loaded, and from inside an event of
    // the window (the controls go once the event has returned).
    void Unload();
    bool isLoaded() const;

    // The loaded controls, or null while unloaded.
    ConfluxForm* form() const;

    // Where modal questions go; by default the desktop's own message boxes and dialogs.
    Prompter& prompter();
    void setPrompter(Prompter* prompter) { m_prompter = prompter; }

    // Window behaviour (frmConflux.cpp).
    void Form_Load();
    void Form_Activate();
    void CmdCancel_Click();
    // Disables both lower frames and empties the name list; nothing else is reset.
    void ClearInput();
    void opFeatureType_Click(int Index);

    // The two lists of the input frame and the feature filter (frmConfluxLists.cpp).
    void UpdateCmbNames();
    // Refills the field sources from the inputs that match the feature mask and the selected
    // kind. Returns false when the mask is not a valid pattern: then nothing is offered and
    // LblInputCount says why.
    bool UpdateCmbFileSource();
    void CmbNames_Click();
    void TxtFeatureMask_Change();
    // Index of the first selected opFeatureType option, 3 when none is selected.
    int selectedFeatureKind() const;

    // The output target (frmConfluxOutput.cpp).
    void opOutputType_Click(int Index);
    void SetOutputFileName();
    void TxtFileMask_Change();
    // The text between the last "/" and the last "." of FullName; empty when there is none.
    static QString GetFNameFromFullName(const QString& FullName);
    // Browses for the output folder (shape output) or geodatabase file; a cancel changes nothing.
    void CmdFindPath2_Click();
    // Drops one trailing "/" from TxtPath, except from the root folder "/" itself.
    void TxtPath_LostFocus();

    // The candidate grid (frmConfluxGrid.cpp).
    // Header "файл", "поля", "записи" and one blank data row.
    void FlexGridClear();
    // Appends the candidate row of one found file (path, field count, record count, base name).
    void appendCandidateRow(const QString& path);
    // Appends one grid row. The grid takes a row as TAB-joined text; cells that hold a TAB
    // themselves (Linux allows it in names) are set one by one instead.
    void appendGridRow(const QStringList& cells);
    // Removes the blank row 1 that a clearing left once rows were appended after it.
    void applyBlankRowRule();
    // Files in the grid: 0 for a cleared grid, else the data rows.
    qsizetype candidateCount() const;
    static TableProp GetDBFTableProp(const QString& FullFileName);
    // Opens the table viewer on the current row; nothing happens when it cannot be opened.
    void FlexGrid1_DblClick();
    // Where a double-click opens the table viewer; by default the library's viewer, modally.
    void setViewerOpener(std::function<bool(const QString&)> opener);

    // The directory scan (frmConfluxScan.cpp).
    // Validates the root, walks it and fills the grid (new selection) or appends the paths not
    // listed yet (add mode). Returns the number of paths found, 0 when none or on a failure.
    qint64 getDirList(const QString& strStartDir, const QString& FileMask, const QString& DirMask,
                      bool NewSelection = false);
    // The walk from StartDir at the next RecursCount level, with the depth read from
    // TxtDepthLevel at every folder and the progress sign turning in LblSelected. nullopt when
    // the level is beyond the depth. Throws ConfluxError naming a mask that is not valid.
    std::optional<QStringList> DirList(const QString& StartDir, const QString& FileMask,
                                       const QString& DirMask);
    void CmdGetDir_Click();
    void CmdFindPath_Click();

    // Editing the candidates and committing them as the input (frmConfluxInputs.cpp).
    void CmdAddFile_Click();
    void CmdDelFile_Click();
    void CmdToInput_Click();

    // The sort buttons of the candidate grid (frmConfluxSort.cpp).
    void CmdSortAss_Click();
    void CmdSortDesc_Click();
    void CmdSortByName_Click();

    // The inputs as opened feature classes (frmConfluxInputTables.cpp).
    // Opens the shapefile FullFileName; the feature class is the base name up to the last ".".
    // Throws what the host raises; the caller's handler reports it.
    std::shared_ptr<IFeatureClass> GetFCFromFile(const QString& FullFileName);
    // Rebuilds TablesArray, TableNames and ShapeTypes from FilesList and the template layer from
    // its first entry. Returns 2 when built, 0 when nothing was selected or the build failed
    // (reported); a failed build keeps the entries it had added.
    short UpdateTablesArrayFromDir();

    // The merge (frmConfluxMerge.cpp).
    void CmdMerge_Click();
    // Checks the output, admits the inputs, merges them and writes the summary into
    // LblOutputCount; reports its own errors.
    void Conflux();

private:
    frmConflux() = default;

    // Connects the controls' events to the procedures, one group per concern.
    void connectEvents();
    void connectWindowEvents();
    void connectListEvents();
    void connectOutputEvents();
    void connectSortEvents();
    void connectScanEvents();
    void connectGridEvents();
    void connectInputEvents();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Turns the progress sign after one listing entry; the label is repainted at most every
    // kSignPaintMs so that painting does not dominate the walk.
    void turnProgressSign();
    void connectMergeEvents();
    // Runs an event procedure under the window's error handler: a failure is reported with the
    // procedure's name and the event ends; the code that raised the event goes on.
    void runEvent(const char* procedure, const std::function<void()>& body);
    // Runs `handler` as the event procedure `procedure` on every click of `button`.
    void onClick(QAbstractButton* button, const char* procedure, void (frmConflux::*handler)());

    ConfluxState m_state;
    QPointer<ConfluxForm> m_form;
    Prompter* m_prompter = nullptr;
    ModalLoop m_modal;
    // Event procedures running now; unloading from inside one defers deleting the controls.
    int m_eventDepth = 0;
    // Set while a CmbNames index change has run CmbNames_Click and the user's pick that caused
    // it may still report itself; cleared when control returns to the event loop.
    bool m_namesPickHandled = false;
    // The progress sign while a walk runs, and when it was last painted.
    QChar m_progressSign;
    QElapsedTimer m_signPainted;
    std::function<bool(const QString&)> m_viewerOpener;
};

// The name or path a list of names stands at: the item's own (its shown text may be decoded
// from an old code page), or the text typed into it.
QString listedName(const QComboBox& list);
