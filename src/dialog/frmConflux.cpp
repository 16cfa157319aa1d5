#include "dialog/frmConflux.h"

#include "dialog/ConfluxForm.h"
#include "errors/ErrorHandling.h"
#include "platform/widgets/FlexGrid.h"
#include "windows/DesktopPrompter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include <algorithm>

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
    // The viewer and the folder chooser open from here and take the same scale.
    WindowScales::setShared(m_form->scale());
    Form_Load();
    connectEvents();
}

void frmConflux::Show() {
    Load();
    m_modal.run(*m_form);
    // Every way of closing unloads the controls.
    Unload();
}

void frmConflux::Unload() {
    if (!m_form) {
        return;
    }
    if (m_modal.endIfRunning(*m_form)) {
        return;
    }
    ConfluxForm* form = m_form.data();
    m_form.clear();
    if (m_eventDepth > 0) {
        // Asked from inside an event of one of the controls: they go once the event has
        // returned, but the window counts as unloaded from now on.
        form->hide();
        form->deleteLater();
    } else {
        delete form;
    }
}

void frmConflux::runEvent(const char* procedure, const std::function<void()>& body) {
    ++m_eventDepth;
    ErrorHandling::reportingBoundary(QString::fromLatin1(procedure) + QLatin1Char(' '),
                                     kDialogModule, body);
    --m_eventDepth;
}

void frmConflux::onClick(QAbstractButton* button, const char* procedure,
                         void (frmConflux::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, [this, procedure, handler] {
        runEvent(procedure, [this, handler] { (this->*handler)(); });
    });
}

void frmConflux::connectEvents() {
    connectWindowEvents();
    connectListEvents();
    connectOutputEvents();
    connectSortEvents();
    connectScanEvents();
    connectGridEvents();
    connectInputEvents();
    connectMergeEvents();
}

void frmConflux::connectWindowEvents() {
    ConfluxForm* form = m_form.data();
    connect(form, &ConfluxForm::activated, this,
            [this] { runEvent("Form_Activate", [this] { Form_Activate(); }); });
    onClick(form->CmdCancel, "CmdCancel_Click", &frmConflux::CmdCancel_Click);
    // The close box: outside Show()'s modal loop nothing else would unload the controls.
    connect(form, &QDialog::finished, this, [this, form] {
        if (!m_modal.running() && m_form == form) {
            runEvent("Form_Unload", [this] { Unload(); });
        }
    });
}

void frmConflux::Form_Load() {
    FlexGrid* grid = m_form->FlexGrid1;
    grid->setTextMatrix(0, 0, QStringLiteral("файл"));
    grid->setTextMatrix(0, 1, QStringLiteral("поля"));
    grid->setTextMatrix(0, 2, QStringLiteral("записи"));
    // Width - col 1 - 1.5 x col 2, in twips, to the nearest whole twip with halves to even;
    // doubled, everything stays an exact integer.
    const qint64 doubled =
        2 * (qint64{grid->WidthTwips()} - grid->ColWidth(1)) - 3 * qint64{grid->ColWidth(2)};
    qint64 width = doubled / 2;
    if (doubled % 2 != 0) {
        const qint64 below = doubled < 0 ? width - 1 : width;
        width = below % 2 == 0 ? below : below + 1;
    }
    grid->setColWidth(0, static_cast<int>(std::max<qint64>(0, width)));
    grid->setColWidth(3, 0);
}

void frmConflux::Form_Activate() {
    // The window is created topmost; activation brings it up again without moving it.
    if (m_form) {
        m_form->raise();
    }
}

void frmConflux::CmdCancel_Click() {
    Unload();
}

void frmConflux::ClearInput() {
    m_form->FrameInput->setEnabled(false);
    m_form->FrameOutput->setEnabled(false);
    m_form->CmbNames->clear();
}

void frmConflux::opFeatureType_Click(int /*Index*/) {
    UpdateCmbNames();
    UpdateCmbFileSource();
}
