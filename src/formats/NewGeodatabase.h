#pragma once

#include <QString>

// Makes a new, empty geodatabase at `path`, of the kind its ending names (upper-cased):
// ".GPKG" a GeoPackage file, ".GDB" a File Geodatabase folder. It is written under a hidden
// name in the same folder and renamed into place, so that `path` never names half a
// geodatabase and an entry that appears there meanwhile is never replaced. Throws
// ConfluxError naming `path` and the cause; nothing is then left behind.
void createGeodatabase(const QString& path);

// Removes the geodatabase at `path` that createGeodatabase made, when a run that made it wrote
// nothing into it after all: its file, or its folder with the files in it.
void removeNewGeodatabase(const QString& path);

// Whether createGeodatabase knows the ending of `path`.
bool canCreateGeodatabase(const QString& path);
