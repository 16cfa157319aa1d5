#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The tables a File Geodatabase registers, as its system catalog (GDB_SystemCatalog) lists
// them: table number n is stored in the files "a<n as 8 hex digits>.*" of the folder.
class FileGdbCatalog {
public:
    struct Table {
        int number = 0;
        QString name;
    };

    // Reads the catalog of the geodatabase `folder`. Throws FileGdbError (NotAGeodatabase)
    // when GDAL cannot open it as a File Geodatabase.
    static FileGdbCatalog read(const QString& folder);

    // The table named `name`, case ignored as the format ignores it; null when none.
    const Table* find(const QString& name) const;

    // Whether creating a feature class may rewrite the file `fileName` of the folder: the
    // files of the system tables ("GDB_*"), and every file no registered table owns (the
    // folder's own "gdb" and "timestamps", files of unregistered table numbers).
    bool isShared(const QByteArray& fileName) const;

    // The name GDAL gives a new class asked for as `name`: invalid characters become "_",
    // reserved words and names that begin with a digit or a reserved prefix are escaped.
    static QString launderedName(const QString& name);

private:
    std::vector<Table> m_tables;
};
