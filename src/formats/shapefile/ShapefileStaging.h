#pragma once

#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The hidden files of one shapefile being written in its output folder, and their move into
// place. A run names its files with one tag (".conflux-TAG.shp", ...) and holds a lock on
// ".conflux-TAG.lock" for as long as they exist; the system drops the lock when the process
// dies, however it dies. So any later run tells a dead run's files from a live one's, and
// clears the dead ones from a folder before it writes there (recoverFolder).
//
// Replacing an existing shapefile moves its files aside (".conflux-old-TAG.*"), then the new
// ones in, with a journal (".conflux-TAG.journal") written before the first rename and removed
// after the last. A replacement that stops half way, by an error or a kill, is undone: at once
// for an error, by the next run for a kill. Either the old shapefile or the whole new one ends
// up in place.
class ShapefileStaging {
public:
    // Clears what dead runs left in `folder`, then takes a fresh tag and its lock for the
    // shapefile `name`. Throws ConfluxError, naming folder/name.shp and the system's cause,
    // when nothing can be created there.
    ShapefileStaging(const QString& folder, const QString& name);
    // Removes the temporaries unless they were moved into place; releases the tag.
    ~ShapefileStaging();
    ShapefileStaging(const ShapefileStaging&) = delete;
    ShapefileStaging& operator=(const ShapefileStaging&) = delete;

    // The temporary file with `extension` ("shp", "dbf", ...).
    QString tempPath(const QString& extension) const;
    // Puts every temporary in place as name.extension and removes the files of an existing
    // shapefile of that name (its indexes and declarations too, which would misdescribe the
    // new one). On failure everything is put back as it was and ConfluxError names the output
    // and the system's cause.
    void replaceExisting();
    void removeTemporaries();

    // The files of the shapefile `name` in `folder`, as the folder lists them: every regular
    // file whose name is `name` in any letter case with a shapefile's extension (its indexes,
    // declarations and metadata too). On a file system that ignores letter case they are one
    // shapefile, and a reader here may take any of them for the new one's.
    static QList<QString> existingFiles(const QString& folder, const QString& name);

    // In `folder`: undoes the unfinished replacements of dead runs and removes the files they
    // left; a live run's files stay. Runs before an existing output is looked for, so an old
    // output that a killed run had moved aside is back in its place first.
    static void recoverFolder(const QString& folder);

private:
    QByteArray path(const QByteArray& fileName) const { return m_folderBytes + fileName; }
    QString outputPath() const;
    void claimTag();
    [[noreturn]] void failReplace(const QString& what, int cause);

    QString m_folder;
    QString m_name;
    QByteArray m_folderBytes;  // ends with "/"
    QByteArray m_tag;
    UniqueFd m_lock;
    bool m_placed = false;
    bool m_journalLeft = false;  // an undo failed: the next run finishes it
};
