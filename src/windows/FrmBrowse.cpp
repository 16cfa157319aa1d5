#include "windows/FrmBrowse.h"

#include "discovery/PathNames.h"
#include "shapefile/ShapefileFiles.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace {

constexpr int kEscape = 27;
// A column shows at most about this many characters until the user widens it.
constexpr int kWidestColumnChars = 28;

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
    // The dialog's scale, so that the viewer looks like the window it opens from.
    m_scale = WindowScales::shared();
    m_form = new QDialog();
    m_form->setWindowTitle(QStringLiteral("Browse"));
    m_form->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint);
    m_form->resize(m_scale.px(6525), m_scale.px(2595));
    m_form->installEventFilter(this);

    m_model = new DbfTableModel(m_form);
    m_grid = new QTableView(m_form);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setGeometry(0, 0, m_scale.px(6492), m_scale.px(2172));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    // Tab moves on to the next control; the arrow keys move between cells.
    m_grid->setTabKeyNavigation(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->installEventFilter(this);

    m_data = new DataControl(m_form);
    m_data->setObjectName(QStringLiteral("Data1"));
    m_data->setGeometry(m_scale.px(120), m_scale.px(2280), m_scale.px(6252), m_scale.px(324));
    m_data->bind(m_grid);

    WindowScales::scaleFonts(*m_form, m_scale.font);
    styleFixedColumn();
}

void FrmBrowse::styleFixedColumn() {
    // The fixed column on the left is the vertical header, wide enough for the deleted mark;
    // rows keep one height so a table of a million records scrolls without measuring rows.
    QHeaderView* fixed = m_grid->verticalHeader();
    const QFontMetrics metrics = fixed->fontMetrics();
    fixed->setSectionResizeMode(QHeaderView::Fixed);
    fixed->setDefaultSectionSize(metrics.height() + 4);
    fixed->setDefaultAlignment(Qt::AlignCenter);
    fixed->setFixedWidth(std::max(2 * metrics.height(), 3 * metrics.horizontalAdvance(u'*')));
}

void FrmBrowse::Form_Load() {
    m_horizontalMargin = m_scale.twips(m_form->width()) - m_scale.twips(m_grid->width());
    m_verticalMargin = m_scale.twips(m_form->height()) - m_scale.twips(m_grid->height());
}

void FrmBrowse::Form_Resize() {
    if (!m_form) {
        return;
    }
    const Layout layout =
        resizeRule(m_scale.twips(m_form->width()), m_scale.twips(m_form->height()),
                   m_horizontalMargin, m_verticalMargin);
    m_grid->setGeometry(0, 0, m_scale.px(layout.gridWidth), m_scale.px(layout.gridHeight));
    m_data->move(m_data->x(), m_scale.px(layout.dataTop));
}

// Each column as wide as its name and the values of the first screen of records (only those
// are read, so a table of any size opens at once), up to a cap that leaves room for the next.
void FrmBrowse::fitColumnsToFirstScreen() {
    const QFontMetrics metrics = m_grid->fontMetrics();
    const QFontMetrics headerMetrics = m_grid->horizontalHeader()->fontMetrics();
    constexpr int kPadding = 12;
    const int cap = kWidestColumnChars * metrics.averageCharWidth();
    const int rowHeight = m_grid->verticalHeader()->defaultSectionSize();
    const int firstScreen =
        std::min(m_model->rowCount(), m_grid->height() / std::max(1, rowHeight) + 1);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const QString name = m_model->headerData(column, Qt::Horizontal).toString();
        int values = 0;
        for (int row = 0; row < firstScreen; ++row) {
            const QString text = m_model->index(row, column).data().toString();
            values = std::max(values, metrics.horizontalAdvance(text));
        }
        const int header = headerMetrics.horizontalAdvance(name) + kPadding;
        m_grid->setColumnWidth(column, std::max(header, std::min(values, cap)) + kPadding);
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
    const QString folder = shpPath.left(slash);
    Load();
    m_data->setCaption(folder + QLatin1Char('/') + base + QStringLiteral(".dbf"));
    // The shapefile's own table: of "roads.shp" and "roads.SHP", each has its own.
    const QString own = ShapefileFiles::sidecar(shpPath, QStringLiteral("dbf"));
    const QString table = own.isEmpty() ? base + QStringLiteral(".dbf") : own.mid(slash + 1);
    // A path without a base name must not open a hidden ".dbf" that happens to lie there.
    if (base.isEmpty()) {
        m_model->close();
        return false;
    }
    if (!m_model->open(folder, table)) {
        return false;
    }
    fitColumnsToFirstScreen();
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
