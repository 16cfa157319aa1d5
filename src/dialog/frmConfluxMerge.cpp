// The merge button: checks, the output's description, admission of the inputs, the merge and its
// summary.
#include "dialog/ConfluxForm.h"
#include "dialog/WorkAnimation.h"
#include "dialog/frmConflux.h"
#include "errors/ErrorHandling.h"
#include "host/FeatureLayer.h"
#include "merge/AdmittedInputs.h"
#include "merge/InputAdmission.h"
#include "merge/MergeEngine.h"
#include "merge/MergeSummary.h"
#include "merge/OutputTarget.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

namespace {

const QString kOutputTitle = QStringLiteral("Conflux");

// The merge blocks the event loop; repainting the busy picture now and then keeps it moving.
MergeProgress busyPicturePacer(QWidget* picture) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    return [clock, picture = QPointer<QWidget>(picture)](double, const QString&) {
        if (picture && clock->elapsed() >= 40 && QThread::currentThread() == picture->thread()) {
            picture->repaint();
            clock->restart();
        }
        return true;
    };
}

// The checks of the output target; false when the user was told why nothing is merged, or
// declined to replace an existing shapefile.
bool outputAccepted(Prompter& prompter, bool shapefile, const QString& path, const QString& name) {
    if (!shapefile) {
        if (checkGeodatabaseOutput(path) == OutputCheck::Ready) {
            return true;
        }
        prompter.messageBox(missingGeodatabaseText(path), MsgBoxButtons::Ok,
                            MsgBoxIcon::Exclamation, kOutputTitle);
        return false;
    }
    const OutputCheck check = checkShapefileOutput(path, name);
    if (check == OutputCheck::MissingFolder) {
        prompter.messageBox(missingFolderText(path), MsgBoxButtons::Ok, MsgBoxIcon::Exclamation,
                            kOutputTitle);
        return false;
    }
    // Yes replaces the existing shapefile in one step once the new one is complete.
    return check != OutputCheck::ExistingShapefile ||
           prompter.messageBox(replaceQuestionText(path, name), MsgBoxButtons::YesNo,
                               MsgBoxIcon::Exclamation) == MsgBoxResult::Yes;
}

}  // namespace

void frmConflux::connectMergeEvents() {
    onClick(m_form->CmdMerge, "CmdMerge_Click", &frmConflux::CmdMerge_Click);
}

void frmConflux::CmdMerge_Click() {
    const auto& tables = m_state.TablesArray;
    // A list never built holds no inputs either.
    if (tables.empty() || (tables.size() == 1 && !tables.front())) {
        prompter().messageBox(QStringLiteral("нет объектов"));
        return;
    }
    const QString fieldSource = listedName(*m_form->CmbFileSource);
    if (fieldSource.isEmpty()) {
        prompter().messageBox(QStringLiteral("Вы забыли указать файл-источник полей"));
        return;
    }
    // A field source that cannot be opened ends the click here, reported by the event's handler.
    auto layer = std::make_shared<FeatureLayer>();
    layer->setFeatureClass(GetFCFromFile(fieldSource));
    m_state.m_pFeatureLayer = layer;

    WorkAnimation* busy = m_form->ImageWork;
    busy->setVisible(true);
    busy->repaint();
    Conflux();
    // A modal message inside may have let the window be closed meanwhile.
    if (m_form) {
        m_form->ImageWork->setVisible(false);
    }
}

void frmConflux::Conflux() {
    QPointer<QLabel> summary = m_form->LblOutputCount;
    summary->setText(QString());
    summary->setToolTip(QString());
    summary->repaint();
    ErrorHandling::reportingBoundary(QStringLiteral("Conflux "), kDialogModule, [this, summary] {
        if (!m_state.m_pFeatureLayer || !m_state.m_pFeatureLayer->FeatureClass()) {
            throw ConfluxError(ErrorNumber::ObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        }
        // Everything is read from the controls before any question is asked.
        const bool shapefile = m_form->opOutputType[0]->isChecked();
        const QString path = m_form->TxtPath->text();
        const QString name = m_form->txtDataClassName->text();
        const QString mask = m_form->TxtFeatureMask->text();
        const GeometryKind kind = InputAdmission::chosenKind(m_form->opFeatureType[0]->isChecked(),
                                                             m_form->opFeatureType[1]->isChecked(),
                                                             m_form->opFeatureType[2]->isChecked());
        QPointer<QWidget> busy = m_form->ImageWork;

        if (!outputAccepted(prompter(), shapefile, path, name)) {
            return;
        }
        const AdmittedInputs inputs = admitTables(InputAdmission(mask, kind), m_state.TablesArray,
                                                  m_state.TableNames, m_state.ShapeTypes);
        if (inputs.tables->Count() == 0) {
            prompter().messageBox(QStringLiteral("No elements for merge"));
            return;
        }

        // The field source gives the output its fields (its table is the template).
        MergeJob job =
            MergeJob::of(inputs, m_state.m_pFeatureLayer, describeOutput(shapefile, path, name));
        job.progress = busyPicturePacer(busy);
        MergeEngine engine;
        const auto merged = engine.Merge(job);
        const QString text =
            MergeSummary::text(inputs.tables->Count(), merged->FeatureCount(), inputs.totalRows);
        if (summary) {
            summary->setText(text);
            summary->setToolTip(MergeSummary::refusedByReason(engine.lastReport()));
        }
    });
}
