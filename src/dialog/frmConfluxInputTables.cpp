// The chosen shapefiles opened as the merge's inputs.
#include "dialog/frmConflux.h"
#include "errors/ConfluxError.h"
#include "errors/ErrorHandling.h"
#include "host/FeatureLayer.h"
#include "merge/InputTables.h"
#include "platform/Prompter.h"

namespace {

[[noreturn]] void throwObjectNotSet() {
    throw ConfluxError(ErrorNumber::ObjectNotSet,
                       QStringLiteral("Object variable or With block variable not set"));
}

}  // namespace

std::shared_ptr<IFeatureClass> frmConflux::GetFCFromFile(const QString& FullFileName) {
    if (!m_state.m_pApp) {
        throwObjectNotSet();
    }
    return ::GetFCFromFile(FullFileName, m_state.m_pApp->hWnd());
}

short frmConflux::UpdateTablesArrayFromDir() {
    short result = 0;
    ErrorHandling::reportingBoundary(
        QStringLiteral("UpdateTablesArrayFromDir "), kDialogModule, [this, &result] {
            ConfluxState& s = m_state;
            // Nothing taken through an interface is still nothing, not a mismatch: without an
            // application the first use below raises "Object variable ... not set".
            if (s.m_pApp) {
                takeAs<IGxApplication>(s.m_pApp);
            }
            s.TablesArray.assign(1, nullptr);
            // No list at all, a list without entries, or one empty entry: nothing to build.
            if (!s.FilesList || s.FilesList->isEmpty() ||
                (s.FilesList->size() == 1 && s.FilesList->at(0).isEmpty())) {
                prompter().messageBox(QStringLiteral("Nothing selected"));
                return;
            }
            const QStringList files = *s.FilesList;
            if (!s.m_pApp) {
                throwObjectNotSet();
            }
            const std::vector<OpenedInput> opened = openInputs(files, s.m_pApp->hWnd());
            auto layer = std::make_shared<FeatureLayer>();
            // In the files' order: the inputs before one that cannot be opened stay added.
            for (qsizetype i = 0; i < files.size(); ++i) {
                const OpenedInput& input = opened[static_cast<std::size_t>(i)];
                if (input.failure) {
                    std::rethrow_exception(input.failure);
                }
                if (i == 0) {
                    layer->setFeatureClass(input.featureClass);
                    s.m_pFeatureLayer = layer;
                }
                addInput(s.TablesArray, s.TableNames, s.ShapeTypes, i, input.featureClass);
            }
            result = 2;
        });
    return result;
}
