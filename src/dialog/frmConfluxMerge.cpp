// The merge button: checks, the output's description, admission of the inputs, the merge and its
// summary.
#include "dialog/ConfluxForm.h"
#include "dialog/WorkAnimation.h"
#include "dialog/frmConflux.h"
#include "errors/ErrorHandling.h"
#include "host/FeatureLayer.h"
#include "host/MergeEngine.h"
#include "merge/AdmittedInputs.h"
#include "merge/InputAdmission.h"
#include "merge/MergeSummary.h"
#include "merge/OutputTarget.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kModule = QStringLiteral("frmConflux");
const QString kOutputTitle = QStringLiteral("Conflux");

}  // namespace

void frmConflux::connectMergeEvents() {
    connect(m_form->CmdMerge, &QPushButton::clicked, this,
            [this] { runEvent("CmdMerge_Click", [this] { CmdMerge_Click(); }); });
}

void frmConflux::CmdMerge_Click() {
    const auto& tables = m_state.TablesArray;
    // A list never built holds no inputs either.
    if (tables.empty() || (tables.size() == 1 && !tables.front())) {
        prompter().messageBox(QStringLiteral("нет объектов"));
        return;
    }
    const QString fieldSource = m_form->CmbFileSource->currentText();
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
    QLabel* summary = m_form->LblOutputCount;
    summary->setText(QString());
    summary->setToolTip(QString());
    summary->repaint();
    ErrorHandling::reportingBoundary(QStringLiteral("Conflux "), kModule, [this, summary] {
        if (!m_state.m_pFeatureLayer || !m_state.m_pFeatureLayer->FeatureClass()) {
            throw ConfluxError(ErrorNumber::ObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        }
        const std::int32_t shapeType = m_state.m_pFeatureLayer->FeatureClass()->ShapeType();
        const bool shapefile = m_form->opOutputType[0]->isChecked();
        const QString path = m_form->TxtPath->text();
        const QString name = m_form->txtDataClassName->text();

        if (shapefile) {
            const OutputCheck check = checkShapefileOutput(path, name);
            if (check == OutputCheck::MissingFolder) {
                prompter().messageBox(missingFolderText(path), MsgBoxButtons::Ok,
                                      MsgBoxIcon::Exclamation, kOutputTitle);
                return;
            }
            // Yes replaces the existing shapefile in one step once the new one is complete.
            if (check == OutputCheck::ExistingShapefile &&
                prompter().messageBox(replaceQuestionText(path, name), MsgBoxButtons::YesNo,
                                      MsgBoxIcon::Exclamation) != MsgBoxResult::Yes) {
                return;
            }
        } else if (checkGeodatabaseOutput(path) != OutputCheck::Ready) {
            prompter().messageBox(missingGeodatabaseText(path), MsgBoxButtons::Ok,
                                  MsgBoxIcon::Exclamation, kOutputTitle);
            return;
        }
        const auto output = describeOutput(shapefile, path, name, shapeType);

        const InputAdmission admission(
            m_form->TxtFeatureMask->text(),
            InputAdmission::chosenKind(m_form->opFeatureType[0]->isChecked(),
                                       m_form->opFeatureType[1]->isChecked(),
                                       m_form->opFeatureType[2]->isChecked()));
        const AdmittedInputs inputs =
            admitTables(admission, m_state.TablesArray, m_state.TableNames, m_state.ShapeTypes);
        if (inputs.tables->Count() == 0) {
            prompter().messageBox(QStringLiteral("No elements for merge"));
            return;
        }

        MergeEngine engine;
        engine.setFieldSource(m_state.m_pFeatureLayer->FeatureClass());
        const auto merged =
            engine.Merge(*inputs.tables, takeAs<ITable>(inputs.tables->Element(0)), output);
        summary->setText(
            MergeSummary::text(inputs.tables->Count(), merged->FeatureCount(), inputs.totalRows));
        summary->setToolTip(MergeSummary::refusedByReason(engine.lastReport()));
    });
}
