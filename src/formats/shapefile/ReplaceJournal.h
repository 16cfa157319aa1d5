#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The renames that put a new shapefile in the place of an old one, written down before the
// first of them. A shapefile is several files, so its replacement is several renames; while
// the journal exists the replacement is unfinished, and undo() puts every file back where it
// was, whether the renames stopped by an error or the process was killed between two of them.
struct ReplaceJournal {
    struct Rename {
        QByteArray from;  // file names in the output folder, as bytes
        QByteArray to;
    };
    QList<Rename> movedAside;  // old files -> backup names, done first
    QList<Rename> placed;      // new (temporary) files -> the output's names, done next

    // Writes the journal to `path` (bytes) as a whole or not at all; errno tells why not.
    bool write(const QByteArray& path) const;
    // The journal at `path`; nullopt when missing or unreadable as a journal.
    static std::optional<ReplaceJournal> read(const QByteArray& path);

    // Takes back the renames done so far in `folder` (bytes, ending in "/"): a placed file whose
    // temporary name is gone goes back to it, then each backup to its own name. True when
    // every file is back; the journal itself is left to the caller.
    bool undo(const QByteArray& folder) const;
};
