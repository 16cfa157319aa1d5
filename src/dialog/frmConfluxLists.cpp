// The name list, the field-source list and the feature filter of the input frame.
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "discovery/WildcardMask.h"
#include "errors/ConfluxError.h"
#include "host/GeometryKind.h"
#include "platform/FileNameCodec.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

constexpr int kNoKindSelected = 3;

bool isOfKind(std::int32_t shapeType, int kind) {
    const auto of = geometryKindOf(shapeType);
    return of.has_value() && static_cast<int>(*of) == kind;
}

// Items of a list, where one empty item counts as none.
qsizetype countedItems(const QComboBox& list) {
    if (list.count() == 1 && list.itemText(0).isEmpty()) {
        return 0;
    }
    return list.count();
}

// A name or path as an item: shown in its own code page, the name itself kept as the item's data.
void addName(QComboBox& list, const QString& name) {
    list.addItem(FileNameCodec::shown(name, true), name);
}

}  // namespace

QString listedName(const QComboBox& list) {
    const int index = list.currentIndex();
    if (index >= 0 && list.itemText(index) == list.currentText()) {
        return list.itemData(index).toString();
    }
    return list.currentText();  // typed, or no item
}

void frmConflux::connectListEvents() {
    ConfluxForm* form = m_form.data();
    connect(form->opFeatureTypeGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        // The group reports the option that was cleared too; the click belongs to the new one.
        if (on) {
            runEvent("opFeatureType_Click", [this, id] { opFeatureType_Click(id); });
        }
    });
    connect(form->TxtFeatureMask, &QLineEdit::textChanged, this,
            [this] { runEvent("TxtFeatureMask_Change", [this] { TxtFeatureMask_Change(); }); });
    // A pick of another item reports the index change and then the pick; code reports only the
    // change; a pick of the item already selected reports only the pick. Each runs the click once.
    connect(form->CmbNames, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) {
            return;
        }
        m_namesPickHandled = true;
        QTimer::singleShot(0, this, [this] { m_namesPickHandled = false; });
        runEvent("CmbNames_Click", [this] { CmbNames_Click(); });
    });
    connect(form->CmbNames, &QComboBox::activated, this, [this](int /*index*/) {
        if (std::exchange(m_namesPickHandled, false)) {
            return;
        }
        runEvent("CmbNames_Click", [this] { CmbNames_Click(); });
    });
}

int frmConflux::selectedFeatureKind() const {
    for (int index = 0; index < 3; ++index) {
        if (m_form->opFeatureType[index]->isChecked()) {
            return index;
        }
    }
    return kNoKindSelected;
}

void frmConflux::UpdateCmbNames() {
    QComboBox* names = m_form->CmbNames;
    {
        // Filled silently: the list selects nothing until the pick below.
        const QSignalBlocker blocker(names);
        names->clear();
        const int kind = selectedFeatureKind();
        const std::optional<QStringList>* source = kind == 0   ? &m_state.PointNames
                                                   : kind == 1 ? &m_state.LineNames
                                                   : kind == 2 ? &m_state.PolygonNames
                                                               : nullptr;
        if (source != nullptr && source->has_value()) {
            for (const QString& name : **source) {
                addName(*names, name);
            }
        }
        names->setCurrentIndex(-1);
    }
    if (names->count() > 0 && !names->itemText(0).isEmpty()) {
        names->setCurrentIndex(0);  // runs CmbNames_Click, nested
    }
    m_form->TxtFeatureMask->setText(QStringLiteral("*"));
}

bool frmConflux::UpdateCmbFileSource() {
    const int kind = selectedFeatureKind();
    QComboBox* sources = m_form->CmbFileSource;
    const QSignalBlocker blocker(sources);
    sources->clear();

    bool maskValid = true;
    try {
        // Matching upper-cases both sides; the mask goes in as typed so that an error quotes it
        // as the user sees it.
        const WildcardMask mask(m_form->TxtFeatureMask->text());
        const QStringList files = m_state.FilesList.value_or(QStringList());
        // An input whose name or shape type was never read (its build stopped early) is no
        // field source.
        const qsizetype described =
            std::min<qsizetype>({files.size(), m_state.TableNames.size(),
                                 static_cast<qsizetype>(m_state.ShapeTypes.size())});
        for (qsizetype i = 0; i < described; ++i) {
            if (mask.matches(m_state.TableNames[i]) &&
                isOfKind(m_state.ShapeTypes[static_cast<std::size_t>(i)], kind)) {
                addName(*sources, files[i]);
            }
        }
    } catch (const ConfluxError& error) {
        sources->clear();
        maskValid = false;
        m_form->LblInputCount->setText(error.description());
    }
    sources->setCurrentIndex(-1);
    sources->clearEditText();
    if (maskValid) {
        m_form->LblInputCount->setText(QString::number(countedItems(*sources)));
    }
    return maskValid;
}

void frmConflux::CmbNames_Click() {
    m_form->TxtFeatureMask->setText(listedName(*m_form->CmbNames));
}

void frmConflux::TxtFeatureMask_Change() {
    SetOutputFileName();
    if (!UpdateCmbFileSource()) {
        return;  // the label keeps the reason why nothing is offered
    }
    const qsizetype sources = countedItems(*m_form->CmbFileSource);
    int chosen = selectedFeatureKind();
    if (chosen == kNoKindSelected) {
        chosen = 0;
    }
    // Inputs that do not exist yet count as none.
    const auto inputs =
        std::count_if(m_state.ShapeTypes.begin(), m_state.ShapeTypes.end(),
                      [chosen](std::int32_t type) { return isOfKind(type, chosen); });
    m_form->LblInputCount->setText(QString::number(sources) + QStringLiteral(" из ") +
                                   QString::number(inputs));
}
