#pragma once

#include "dialog/ConfluxState.h"

#include <QObject>
#include <QPointer>

class ConfluxForm;
class Prompter;

// The merge dialog: one instance per loaded library. It owns the window-level state for as long
// as the library is loaded and creates its controls afresh at every load.
class frmConflux : public QObject {
    Q_OBJECT
public:
    static frmConflux& instance();

    ConfluxState& state() { return m_state; }

    // Loads the controls when they are not loaded, then shows the window modally; returns when
    // the window is closed.
    void Show();
    void Load();
    // Unloads the controls; the state stays. Safe when not loaded.
    void Unload();
    bool isLoaded() const;

    // The loaded controls, or null while unloaded.
    ConfluxForm* form() const;

    // Where modal questions go; by default the desktop's own message boxes and dialogs.
    Prompter& prompter();
    void setPrompter(Prompter* prompter) { m_prompter = prompter; }

    void Form_Load();
    void Form_Activate();
    void CmdCancel_Click();

private:
    frmConflux() = default;

    ConfluxState m_state;
    QPointer<ConfluxForm> m_form;
    Prompter* m_prompter = nullptr;
    bool m_showing = false;
};
