#include "dialog/frmConflux.h"

#include "dialog/ConfluxForm.h"
#include "windows/DesktopPrompter.h"

frmConflux& frmConflux::instance() {
    static frmConflux window;
    return window;
}

Prompter& frmConflux::prompter() {
    if (m_prompter == nullptr) {
        return DesktopPrompter::instance();
    }
    return *m_prompter;
}

bool frmConflux::isLoaded() const {
    return !m_form.isNull();
}

ConfluxForm* frmConflux::form() const {
    return m_form.data();
}

void frmConflux::Load() {
    if (m_form) {
        return;
    }
    m_form = new ConfluxForm();
    connect(m_form, &ConfluxForm::activated, this, &frmConflux::Form_Activate);
    Form_Load();
}

void frmConflux::Show() {
    Load();
    m_showing = true;
    m_form->exec();
    m_showing = false;
    // Every way of closing unloads the controls.
    Unload();
}

void frmConflux::Unload() {
    if (!m_form) {
        return;
    }
    if (m_showing) {
        // The modal loop is on the stack: end it, and Show() unloads once it has returned.
        m_form->done(QDialog::Rejected);
        return;
    }
    delete m_form.data();
}

void frmConflux::Form_Load() {}

void frmConflux::Form_Activate() {
    if (m_form) {
        m_form->raise();
    }
}

void frmConflux::CmdCancel_Click() {
    Unload();
}
