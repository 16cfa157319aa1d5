#pragma once

#include <QListWidget>

// A folder list: the folders from a volume's root down to the open folder, then the open
// folder's sub-folders. Highlighting an entry only highlights it; double-clicking it (or Enter)
// opens it, and only the open folder is the list's path.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // Opens `path` as seen from the volume mounted at `root`; false (and nothing changes) when
    // it is not an existing folder on that volume.
    bool setPath(const QString& path, const QString& root);
    QString path() const { return m_path; }
    QString root() const { return m_root; }

    // The folder an entry stands for.
    QString pathAt(int row) const;
    // Opens the folder of an entry, as a double-click does.
    bool openRow(int row);

signals:
    // The open folder changed.
    void change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();

    QString m_path;
    QString m_root;
};
