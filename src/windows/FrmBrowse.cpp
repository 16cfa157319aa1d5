#include "windows/FrmBrowse.h"

#include "discovery/PathNames.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
constexpr int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}
constexpr int kEscape = 27;

}  // namespace

FrmBrowse& FrmBrowse::instance() {
    static FrmBrowse window;
    return window;
}

FrmBrowse::Layout FrmBrowse::resizeRule(int windowWidth, int windowHeight, int horizontalMargin,
                                        int verticalMargin) {
    Layout layout{};
    layout.gridWidth = windowWidth - horizontalMargin;
    if (layout.gridWidth <= 10) {
        layout.gridWidth = windowWidth;
    }
    layout.gridHeight = windowHeight - verticalMargin;
    if (layout.gridHeight <= 10) {
        layout.gridHeight = windowHeight;
    }
    layout.dataTop = layout.gridHeight + 5;
    return layout;
}

void FrmBrowse::Load() {
    if (m_form) {
        return;
    }
    createControls();
    Form_Load();
}

void FrmBrowse::createControls() {
    m_form = new QDialog();
    m_form->setWindowTitle(QStringLiteral("Browse"));
    m_form->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint);
    m_form->resize(px(6525), px(2595));
    m_form->installEventFilter(this);

    m_model = new DbfTableModel(m_form);
    m_grid = new QTableView(m_form);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setGeometry(0, 0, px(6492), px(2172));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    // The fixed column on the left is the vertical header; rows keep one height so a table of
    // a million records scrolls without measuring every row.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->installEventFilter(this);

    m_data = new DataControl(m_form);
    m_data->setObjectName(QStringLiteral("Data1"));
    m_data->setGeometry(px(120), px(2280), px(6252), px(324));
    m_data->bind(m_grid);
}

void FrmBrowse::Form_Load() {
    m_horizontalMargin = twips(m_form->width()) - twips(m_grid->width());
    m_verticalMargin = twips(m_form->height()) - twips(m_grid->height());
}

void FrmBrowse::Form_Resize() {
    if (!m_form) {
        return;
    }
    const Layout layout = resizeRule(twips(m_form->width()), twips(m_form->height()),
                                     m_horizontalMargin, m_verticalMargin);
    m_grid->setGeometry(0, 0, px(layout.gridWidth), px(layout.gridHeight));
    m_data->move(m_data->x(), px(layout.dataTop));
}

// Column widths come from the field definitions, not from the records: measuring the
// contents would read a thousand records of a table that should open at once.
void FrmBrowse::fitColumnsToFields() {
    const DbfReader* reader = m_model->reader();
    const QFontMetrics metrics = m_grid->fontMetrics();
    const QFontMetrics headerMetrics = m_grid->horizontalHeader()->fontMetrics();
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    constexpr int kPadding = 12;
    constexpr int kWidestField = 40;
    for (qsizetype column = 0; column < reader->fieldCount(); ++column) {
        const DbfTableField& field = reader->fields().at(column);
        const int characters = field.type == 'D' ? 10 : std::min(field.length, kWidestField);
        const int width =
            std::max(digit * characters, headerMetrics.horizontalAdvance(field.name) + kPadding);
        m_grid->setColumnWidth(static_cast<int>(column), width + kPadding);
    }
}

void FrmBrowse::Unload() {
    if (!m_form) {
        return;
    }
    if (m_modal.endIfRunning(*m_form)) {
        return;
    }
    // The table closes with the model, which the window owns.
    // No event of the dying controls may reach the filter, which compares against them.
    m_form->removeEventFilter(this);
    m_grid->removeEventFilter(this);
    delete m_form.data();
}

bool FrmBrowse::prepareOpen(const QString& shpPath) {
    const qsizetype slash = shpPath.lastIndexOf(QLatin1Char('/'));
    if (shpPath.isEmpty() || slash < 0) {
        return false;
    }
    const QString base = GetFNameFromFullName(shpPath);
    const QString table = base + QStringLiteral(".dbf");
    const QString folder = shpPath.left(slash);
    Load();
    m_data->setCaption(folder + QLatin1Char('/') + table);
    // A path without a base name must not open a hidden ".dbf" that happens to lie there.
    if (base.isEmpty()) {
        m_model->close();
        return false;
    }
    if (!m_model->open(folder, table)) {
        return false;
    }
    fitColumnsToFields();
    m_grid->repaint();
    return true;
}

bool FrmBrowse::openFor(const QString& shpPath) {
    if (!prepareOpen(shpPath)) {
        return false;
    }
    m_modal.run(*m_form);
    Unload();
    return true;
}

void FrmBrowse::MSFlexGrid1_KeyDown(int keyCode) {
    if (keyCode != kEscape || !m_form) {
        return;
    }
    if (m_modal.running()) {
        Unload();
        return;
    }
    // Shown without a modal loop: the key event is still being delivered to the grid, so the
    // controls go later, but the table closes now.
    m_model->close();
    m_form->hide();
    m_form->removeEventFilter(this);
    m_grid->removeEventFilter(this);
    m_form->deleteLater();
    m_form = nullptr;
}

void FrmBrowse::Form_Activate() {
    if (m_form) {
        m_form->raise();
    }
}

void FrmBrowse::Form_Deactivate() {
    if (m_form) {
        m_form->raise();
    }
}

bool FrmBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form) {
        switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Show:
                Form_Resize();
                break;
            case QEvent::WindowActivate:
                Form_Activate();
                break;
            case QEvent::WindowDeactivate:
                Form_Deactivate();
                break;
            default:
                break;
        }
    } else if (watched == m_grid && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        MSFlexGrid1_KeyDown(kEscape);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
