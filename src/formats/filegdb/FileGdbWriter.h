#pragma once

#include "formats/RowMapper.h"
#include "formats/filegdb/FeatureQueue.h"
#include "formats/filegdb/FileGdbError.h"
#include "formats/filegdb/FileGdbField.h"
#include "formats/filegdb/FileGdbLayout.h"
#include "formats/filegdb/FileGdbUndo.h"

#include <gdal_priv.h>

#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// A new feature class in an existing File Geodatabase, written through GDAL's OpenFileGDB
// driver: its fields, coordinate system and geometry type from the layout, its features from
// add(), its spatial index built by commit().
//
// The format has no transactions: the class is in the folder from the constructor on. Until
// commit() has returned, destroying the writer, a failure and a cancel remove it again and
// leave every other file of the folder byte for byte as it was (see FileGdbUndo); a run that
// is killed leaves that to the next writer into the same folder.
//
// The class has the feature id OBJECTID, one field per output field (FileGdbField tells the
// types), and the geometry column of the layout's name. GDAL adjusts names the format does
// not take ("N-37" becomes "N_37", "DATE" becomes "DATE_"); className() and fieldNames() tell
// the names given, warnings() each change.
class FileGdbWriter {
public:
    using CancelCheck = std::function<bool()>;  // true: stop
    // NumberEmptied: written, with a number left null that does not fit its Integer field.
    enum class Added { Written, NumberEmptied, GeometryRefused };

    // Checks the target and creates the class. Throws FileGdbError: NotAGeodatabase for a
    // folder GDAL cannot open as one; ClassExists when a class or table of that name (after
    // GDAL's adjustment, case ignored) is there; Other for anything else, such as another run
    // writing the same geodatabase. The folder is then as it was.
    FileGdbWriter(const FileGdbTarget& target, const FileGdbLayout& layout,
                  CancelCheck cancelled = {});
    ~FileGdbWriter();
    FileGdbWriter(const FileGdbWriter&) = delete;
    FileGdbWriter& operator=(const FileGdbWriter&) = delete;

    // Adds one feature. `wkb`: its geometry as ISO WKB of the class's type and Z/M (as
    // WkbWriter writes it), empty for none. `values`: one per field, in order. Nothing is
    // written when GDAL cannot read the geometry (GeometryRefused). Throws FileGdbError (Cancelled
    // when the cancel check says so, checked every 1,024 features); the class is then removed and
    // the writer spent. GDAL writes the features on a thread of its own (FeatureQueue), so a write
    // it refuses fails a later add() or commit().
    Added add(QByteArrayView wkb, std::span<const FieldValue> values);

    // Declares the String fields' widths, builds the spatial index, closes the geodatabase and
    // reads the class back. Throws FileGdbError; the class is then removed.
    void commit();

    std::int64_t featuresWritten() const { return m_written; }
    const QString& className() const { return m_className; }
    // The fields' names as written, in the layout's order.
    const QStringList& fieldNames() const { return m_fieldNames; }
    // Names GDAL changed, a spatial index GDAL could not build, for the report.
    const QStringList& warnings() const { return m_warnings; }
    // "folder/class", for messages.
    QString description() const;

private:
    void openGeodatabase();
    void createClass(const FileGdbLayout& layout);
    void createFields(const FileGdbLayout& layout);
    bool setGeometry(QByteArrayView wkb);
    void declareWidths();
    void closeGeodatabase();
    void readBack();
    void throwIfCancelled() const;
    [[noreturn]] void fail(const FileGdbError& error);

    FileGdbTarget m_target;
    CancelCheck m_cancelled;
    QString m_className;
    // Declared before the dataset: on destruction GDAL closes its files before the undo.
    std::unique_ptr<FileGdbUndo> m_undo;
    GDALDatasetUniquePtr m_dataset;
    OGRLayer* m_layer = nullptr;            // borrowed from m_dataset
    std::unique_ptr<FeatureQueue> m_queue;  // writes m_layer's features while it lives
    OGRFeatureUniquePtr m_feature;          // the next feature, being filled
    std::vector<FileGdbField> m_fields;
    QStringList m_fieldNames;
    QStringList m_warnings;
    std::int64_t m_written = 0;
    std::int64_t m_geometries = 0;
    bool m_spent = false;
    bool m_committed = false;
};
