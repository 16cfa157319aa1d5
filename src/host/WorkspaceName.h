#pragma once

#include "host/HostObject.h"

#include <QString>

// Where an output goes: a workspace factory identifier and a path.
class WorkspaceName : public virtual HostObject {
public:
    // The identifiers the merge accepts.
    static inline const QString ShapefileFactory =
        QStringLiteral("esriDataSourcesFile.ShapefileWorkspaceFactory.1");
    static inline const QString GeodatabaseFactory =
        QStringLiteral("esriDataSourcesGDB.AccessWorkspaceFactory");
    // A PostgreSQL database with PostGIS: the path is a libpq connection string or URI.
    static inline const QString PostgisFactory = QStringLiteral("Conflux.PostgisWorkspaceFactory");

    void setWorkspaceFactoryProgID(const QString& progId) { m_progId = progId; }
    const QString& WorkspaceFactoryProgID() const { return m_progId; }
    // Shapefile output: the folder. Geodatabase output: the GeoPackage (or refused .mdb) file,
    // or the File Geodatabase folder. PostGIS output: the connection string.
    void setPathName(const QString& path) { m_pathName = path; }
    const QString& PathName() const { return m_pathName; }

private:
    QString m_progId;
    QString m_pathName;
};
