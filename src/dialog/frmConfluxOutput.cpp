// The output target: captions that follow the output type, and the proposed output name.
#include "dialog/ConfluxForm.h"
#include "dialog/frmConflux.h"
#include "discovery/StringUtils.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>

void frmConflux::connectOutputEvents() {
    ConfluxForm* form = m_form.data();
    connect(form->opOutputTypeGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) {
            runEvent("opOutputType_Click", [this, id] { opOutputType_Click(id); });
        }
    });
    connect(form->TxtFileMask, &QLineEdit::textChanged, this,
            [this] { runEvent("TxtFileMask_Change", [this] { TxtFileMask_Change(); }); });
}

void frmConflux::opOutputType_Click(int Index) {
    // The path and the name stay as typed: a path for one type is kept when switching.
    const bool geodatabase = Index != 0;
    m_form->TxtDataSet->setVisible(geodatabase);
    m_form->Label1->setVisible(geodatabase);
    m_form->LblPath->setText(geodatabase ? QStringLiteral(".mdb Full Path")
                                         : QStringLiteral("Folder Path"));
    m_form->LblClassName->setText(geodatabase ? QStringLiteral("Feature Class")
                                              : QStringLiteral("File Name"));
}

void frmConflux::SetOutputFileName() {
    const auto withoutWildcards = [](const QString& mask) {
        return StrTran(QStringLiteral("?"), StrTran(QStringLiteral("*"), mask));
    };
    const QString fileMask = m_form->TxtFileMask->text();
    const QString featureMask = m_form->TxtFeatureMask->text();
    QString name = QStringLiteral("Merge");
    if (fileMask != QStringLiteral("*")) {
        name = withoutWildcards(fileMask);
    } else if (featureMask != QStringLiteral("*")) {
        name = withoutWildcards(featureMask);
    }
    // Replaces whatever the user typed: the proposal follows every change of either mask.
    m_form->txtDataClassName->setText(name);
}

void frmConflux::TxtFileMask_Change() {
    SetOutputFileName();
}

QString frmConflux::GetFNameFromFullName(const QString& FullName) {
    const qsizetype a = FullName.lastIndexOf(QLatin1Char('/')) + 1;  // from 1; 0 when absent
    const qsizetype b = FullName.lastIndexOf(QLatin1Char('.')) + 1;
    const qsizetype length = b - a - 1;
    if (length < 0) {
        return {};
    }
    return FullName.mid(a, length);
}
