#include "platform/widgets/FolderList.h"

#include "platform/FolderPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

QString clean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The folders from the root down to `path`, both included.
QStringList chainFrom(const QString& root, const QString& path) {
    QStringList chain;
    for (QString step = path;; step = QFileInfo(step).path()) {
        chain.prepend(step);
        if (step == root || QDir(step).isRoot()) {
            break;
        }
    }
    return chain;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openRow(row(item)); });
}

bool FolderList::setPath(const QString& path, const QString& root) {
    const QString folder = clean(path);
    const QString top = clean(root);
    const QFileInfo info(folder);
    const bool onVolume =
        folder == top || top == QLatin1String("/") || folder.startsWith(top + QLatin1Char('/'));
    if (path.isEmpty() || !info.isDir() || !onVolume) {
        return false;
    }
    const bool changed = folder != m_path;
    m_path = folder;
    m_root = top;
    fill();
    if (changed) {
        emit change();
    }
    return true;
}

QString FolderList::pathAt(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry != nullptr ? entry->data(kPathRole).toString() : QString();
}

bool FolderList::openRow(int row) {
    const QString target = pathAt(row);
    return !target.isEmpty() && setPath(target, m_root);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        openRow(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::fill() {
    clear();
    // Opened folders show an open folder, their sub-folders a closed one. The style's own
    // pictures of the two are often the same.
    const QIcon openIcon = FolderPictures::openFolder();
    const QIcon closedIcon = FolderPictures::closedFolder();
    const QStringList chain = chainFrom(m_root, m_path);
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = depth == 0 ? folder : QFileInfo(folder).fileName();
        auto* entry = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + name);
        entry->setData(kPathRole, folder);
        addItem(entry);
        ++depth;
    }
    const int openRowIndex = count() - 1;
    // Names starting with "." are hidden folders and are not listed.
    const QStringList children =
        QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* entry = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + child);
        entry->setData(kPathRole, QDir(m_path).filePath(child));
        addItem(entry);
    }
    setCurrentRow(openRowIndex);
}
