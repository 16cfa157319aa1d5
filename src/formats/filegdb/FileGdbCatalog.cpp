#include "formats/filegdb/FileGdbCatalog.h"

#include "formats/filegdb/FileGdbError.h"
#include "gdal/GdalErrorCapture.h"
#include "gdal/GdalOpen.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QRandomGenerator>

namespace {
// The table number of a file name "a0000000b.gdbtable"; 0 for other names.
int tableNumberOf(const QByteArray& fileName) {
    if (fileName.size() < 10 || fileName[0] != 'a' || fileName[9] != '.') {
        return 0;
    }
    bool ok = false;
    const int number = fileName.mid(1, 8).toInt(&ok, 16);
    const bool lowerHex = fileName.mid(1, 8) == fileName.mid(1, 8).toLower();
    return ok && lowerHex ? number : 0;
}
}  // namespace

FileGdbCatalog FileGdbCatalog::read(const QString& folder) {
    GdalErrorCapture errors;
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    const char* const options[] = {"LIST_ALL_TABLES=YES", nullptr};
    GDALDatasetUniquePtr dataset(GDALDataset::Open(GdalOpen::toGdalPath(folder).constData(),
                                                   GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers,
                                                   options, nullptr));
    OGRLayer* catalog = dataset ? dataset->GetLayerByName("GDB_SystemCatalog") : nullptr;
    const int nameField = catalog ? catalog->GetLayerDefn()->GetFieldIndex("Name") : -1;
    if (nameField < 0) {
        throw FileGdbError(FileGdbFailure::NotAGeodatabase,
                           QStringLiteral("'%1' is no File Geodatabase: %2")
                               .arg(folder, errors.lastFailure().isEmpty()
                                                ? QStringLiteral("it has no system catalog")
                                                : errors.lastFailure()));
    }
    FileGdbCatalog read;
    for (auto&& row : *catalog) {
        read.m_tables.push_back(
            {static_cast<int>(row->GetFID()), QString::fromUtf8(row->GetFieldAsString(nameField))});
    }
    return read;
}

const FileGdbCatalog::Table* FileGdbCatalog::find(const QString& name) const {
    for (const Table& table : m_tables) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &table;
        }
    }
    return nullptr;
}

bool FileGdbCatalog::isShared(const QByteArray& fileName) const {
    const int number = tableNumberOf(fileName);
    for (const Table& table : m_tables) {
        if (table.number == number) {
            return table.name.startsWith(QStringLiteral("GDB_"), Qt::CaseInsensitive);
        }
    }
    return true;
}

QString FileGdbCatalog::launderedName(const QString& name) {
    // GDAL's own rules, applied by creating the class in an empty geodatabase in memory.
    GdalErrorCapture errors;
    const QByteArray path = "/vsimem/conflux-names-" +
                            QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
                            ".gdb";
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("OpenFileGDB");
    QString laundered = name;
    if (GDALDatasetUniquePtr dataset{
            driver ? driver->Create(path.constData(), 0, 0, 0, GDT_Unknown, nullptr) : nullptr}) {
        if (OGRLayer* layer = dataset->CreateLayer(name.toUtf8().constData(), nullptr, wkbPoint)) {
            laundered = QString::fromUtf8(layer->GetName());
        }
    }
    VSIRmdirRecursive(path.constData());
    return laundered;
}
