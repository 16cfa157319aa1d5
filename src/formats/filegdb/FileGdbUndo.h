#pragma once

#include "formats/filegdb/FileGdbError.h"
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <sys/types.h>
#include <functional>

// Keeps a File Geodatabase folder restorable while a new feature class is written into it.
//
// The format has no transactions, and creating a class rewrites tables that every class
// shares (GDB_SystemCatalog, GDB_Items, ...). So before the first write, the files that may be
// rewritten are copied into a hidden folder inside the geodatabase, ".conflux-undo-TAG", with
// a manifest: the names of all files the folder held. Undoing removes every file that was not
// there and moves the copies back, which leaves each file of the folder byte for byte as it
// was; the other files (the existing classes' tables) are never written.
//
// A run holds a lock on ".conflux-undo-TAG.lock" from before its backup until after its
// undo or keep; the system drops the lock when the process ends, however it ends. A later run
// therefore tells a dead run's backup from a live one's: it undoes what the dead run left
// (recoverFolder), and refuses to write while another run is writing.
class FileGdbUndo {
public:
    // Clears what dead runs left, then backs up the files of `folder` for which `isShared`
    // answers true. Throws FileGdbError when another run is writing the geodatabase or the
    // backup cannot be made (a full disk); the folder is then as it was.
    FileGdbUndo(const QString& folder, const std::function<bool(const QByteArray&)>& isShared);
    // Undoes unless kept; a failure to undo leaves the backup to the next run.
    ~FileGdbUndo();
    FileGdbUndo(const FileGdbUndo&) = delete;
    FileGdbUndo& operator=(const FileGdbUndo&) = delete;

    // Puts the folder back as it was. Throws FileGdbError naming what could not be put back;
    // the backup then stays, for the next run to finish.
    void undo();
    // The new files stay; the backup goes.
    void keep();

    // In `folder`: undoes what the runs that died while writing left, removes their backups.
    // A live run's are left alone; the result says whether there is one. Throws FileGdbError
    // when a dead run's writes cannot be undone (the folder is then left as found).
    static bool recoverFolder(const QString& folder);
    // The error for a geodatabase that another run is writing.
    static FileGdbError busy(const QString& folder);

private:
    struct Entry {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };

    void claimTag();
    void backUp(const std::function<bool(const QByteArray&)>& isShared);
    void release();
    QByteArray path(const QByteArray& name) const { return m_folder + name; }

    QString m_shownFolder;
    QByteArray m_folder;  // ends with "/"
    QByteArray m_tag;
    UniqueFd m_lock;
    QMap<QByteArray, Entry> m_before;  // every file of the folder before the write
    QList<QByteArray> m_backedUp;
    bool m_done = false;
};
