#pragma once

#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The path GDAL is handed to open a shapefile. GDAL opens the .shx, .dbf, .cpg and .prj beside
// a .shp itself, with blocking opens, so a named pipe (or device) of such a name would stop it
// for good; and it takes lower-case names first, so of "roads.shp" and "roads.SHP" it would
// read one for both. Then GDAL gets a private folder of links to the files the merge reads for
// this shapefile (its regular files only, the odd entry counting as missing); otherwise the
// path itself, in its own bytes.
// The private folder holds a lock while it lives, so that the folders of a killed process are
// removed by the next one that makes such a folder.
class GdalShapefilePath {
public:
    explicit GdalShapefilePath(const QString& shpPath);
    // Removes the private folder, if any (GDAL keeps the files it opened open).
    ~GdalShapefilePath();
    GdalShapefilePath(const GdalShapefilePath&) = delete;
    GdalShapefilePath& operator=(const GdalShapefilePath&) = delete;

    const QByteArray& path() const { return m_path; }
    // True when GDAL reads through the private folder, which goes with this object.
    bool isPrivate() const { return !m_privateFolder.isEmpty(); }
    // `text` (a GDAL message) with the private folder named as the shapefile's own folder.
    QString shown(const QString& text) const;

private:
    void linkRegularFiles(const QString& shpPath);

    QByteArray m_path;
    QByteArray m_privateFolder;  // empty when GDAL reads the shapefile in place
    QByteArray m_ownFolder;
    QList<QByteArray> m_links;
    UniqueFd m_lock;  // on the private folder's lock file
};
