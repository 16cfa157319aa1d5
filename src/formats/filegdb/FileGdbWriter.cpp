#include "formats/filegdb/FileGdbWriter.h"

#include "formats/ColumnNames.h"

#include "formats/filegdb/FileGdbCatalog.h"
#include "formats/filegdb/FileGdbError.h"
#include "gdal/GdalErrorCapture.h"
#include "gdal/GdalOpen.h"
#include "platform/FileEntry.h"

#include <cpl_string.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <malloc.h>

namespace {
constexpr std::int64_t kCancelCheckEvery = 1024;

// GDAL's last failure text for `what`.
FileGdbError gdalFailure(const GdalErrorCapture& errors, const QString& what) {
    return FileGdbError(errors.error(what).description());
}
}  // namespace

FileGdbWriter::FileGdbWriter(const FileGdbTarget& target, const FileGdbLayout& layout,
                             CancelCheck cancelled)
    : m_target(target), m_cancelled(std::move(cancelled)) {
    const GdalErrorCapture errors;
    if (!FileEntry::isFolder(target.folder)) {
        throw FileGdbError(
            FileGdbFailure::NotAGeodatabase,
            QStringLiteral("File Geodatabase '%1' does not exist").arg(target.folder));
    }
    // A class that a killed run left half written goes before the names are looked at.
    if (FileGdbUndo::recoverFolder(target.folder)) {
        throw FileGdbUndo::busy(target.folder);
    }
    if (target.featureClass.trimmed().isEmpty()) {
        throw FileGdbError(
            QStringLiteral("'%1' is no valid feature class name").arg(target.featureClass));
    }
    const FileGdbCatalog catalog = FileGdbCatalog::read(target.folder);
    m_className = FileGdbCatalog::launderedName(target.featureClass);
    if (catalog.find(m_className) || catalog.find(target.featureClass)) {
        throw FileGdbError(
            FileGdbFailure::ClassExists,
            QStringLiteral("Feature class '%1' exists in '%2'")
                .arg(catalog.find(m_className) ? m_className : target.featureClass, target.folder));
    }
    m_undo = std::make_unique<FileGdbUndo>(
        target.folder, [&catalog](const QByteArray& name) { return catalog.isShared(name); });
    try {
        openGeodatabase();
        createClass(layout);
        createFields(layout);
    } catch (const FileGdbError& error) {
        fail(error);
    }
    if (m_className != target.featureClass) {
        m_warnings << QStringLiteral("Feature class '%1' is named '%2' in the geodatabase")
                          .arg(target.featureClass, m_className);
    }
}

FileGdbWriter::~FileGdbWriter() {
    if (!m_committed) {
        const GdalErrorCapture errors;
        closeGeodatabase();
        // m_undo, destroyed next, puts the folder back.
    }
}

QString FileGdbWriter::description() const {
    return m_target.folder + QLatin1Char('/') + m_className;
}

void FileGdbWriter::openGeodatabase() {
    GdalErrorCapture errors;
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    m_dataset.reset(GDALDataset::Open(GdalOpen::toGdalPath(m_target.folder).constData(),
                                      GDAL_OF_VECTOR | GDAL_OF_UPDATE | GDAL_OF_VERBOSE_ERROR,
                                      drivers, nullptr, nullptr));
    if (!m_dataset) {
        throw gdalFailure(errors, QStringLiteral("File Geodatabase '%1' cannot be opened for "
                                                 "writing")
                                      .arg(m_target.folder));
    }
}

void FileGdbWriter::createClass(const FileGdbLayout& layout) {
    GdalErrorCapture errors;
    CPLStringList options;
    options.SetNameValue("GEOMETRY_NAME", layout.geometryName.toUtf8().constData());
    // Dates are days of the calendar, not instants: no time zone may shift them on display.
    options.SetNameValue("TIME_IN_UTC", "NO");
    const SpatialReferenceOwner srs = SpatialReference::clone(layout.spatialReference.get());
    m_layer = m_dataset->CreateLayer(m_className.toUtf8().constData(), srs.get(),
                                     layout.geometryType, options.List());
    if (!m_layer) {
        throw gdalFailure(errors, QStringLiteral("Feature class '%1' cannot be created in '%2'")
                                      .arg(m_className, m_target.folder));
    }
    if (QString::fromUtf8(m_layer->GetName()) != m_className) {
        throw FileGdbError(
            QStringLiteral("Feature class '%1' of '%2' was created as '%3'")
                .arg(m_className, m_target.folder, QString::fromUtf8(m_layer->GetName())));
    }
}

void FileGdbWriter::createFields(const FileGdbLayout& layout) {
    GdalErrorCapture errors;
    // The geometry column's name is taken; GDAL refuses rather than renames a field of it.
    ColumnNames names;
    names.take(layout.geometryName);
    for (const OutputField& field : layout.fields) {
        const QString& name = field.columnName;
        const QString asked = names.take(name);
        m_fields.emplace_back(field);
        const auto definition = m_fields.back().definition(asked.toUtf8());
        OGRFeatureDefn* fields = m_layer->GetLayerDefn();
        if (m_layer->CreateField(definition.get()) != OGRERR_NONE ||
            fields->GetFieldCount() != static_cast<int>(m_fields.size())) {
            throw gdalFailure(
                errors,
                QStringLiteral("Field '%1' of '%2' cannot be created").arg(name, description()));
        }
        const QString given =
            QString::fromUtf8(fields->GetFieldDefn(fields->GetFieldCount() - 1)->GetNameRef());
        if (given != name) {
            m_warnings
                << QStringLiteral("Field '%1' is named '%2' in the geodatabase").arg(name, given);
        }
        m_fieldNames << given;
    }
    m_queue = std::make_unique<FeatureQueue>(*m_layer, description());
}

void FileGdbWriter::throwIfCancelled() const {
    if (m_cancelled && m_cancelled()) {
        throw FileGdbError(FileGdbFailure::Cancelled, QStringLiteral("Cancelled"));
    }
}

void FileGdbWriter::fail(const FileGdbError& error) {
    m_spent = true;
    {
        const GdalErrorCapture errors;
        closeGeodatabase();
    }
    try {
        m_undo->undo();
    } catch (const FileGdbError& undoError) {
        throw FileGdbError(error.kind(),
                           error.description() + QStringLiteral(". ") + undoError.description());
    }
    throw error;
}

void FileGdbWriter::closeGeodatabase() {
    m_queue.reset();
    m_feature.reset();
    m_layer = nullptr;
    m_dataset.reset();
}

FileGdbWriter::Added FileGdbWriter::add(QByteArrayView wkb, std::span<const FieldValue> values) {
    if (m_spent) {
        throw FileGdbError(QStringLiteral("The output '%1' has failed").arg(description()));
    }
    GdalErrorCapture errors;
    try {
        if (m_written % kCancelCheckEvery == 0) {
            throwIfCancelled();
        }
        if (values.size() != m_fields.size()) {
            throw FileGdbError(QStringLiteral("A feature has %1 values for %2 fields")
                                   .arg(values.size())
                                   .arg(m_fields.size()));
        }
        if (!m_feature) {
            m_feature = m_queue->take();
        }
        bool emptied = false;
        for (std::size_t i = 0; i < values.size(); ++i) {
            emptied = !m_fields[i].set(*m_feature, static_cast<int>(i), values[i]) || emptied;
        }
        if (!setGeometry(wkb)) {
            return Added::GeometryRefused;
        }
        m_queue->push(std::move(m_feature));
        ++m_written;
        return emptied ? Added::NumberEmptied : Added::Written;
    } catch (const FileGdbError& error) {
        fail(error);
    }
}

bool FileGdbWriter::setGeometry(QByteArrayView wkb) {
    if (wkb.empty()) {
        m_feature->SetGeometryDirectly(nullptr);
        return true;
    }
    OGRGeometry* made = nullptr;
    const OGRErr read =
        OGRGeometryFactory::createFromWkb(wkb.data(), nullptr, &made, wkb.size(), wkbVariantIso);
    OGRGeometryUniquePtr geometry(made);
    if (read != OGRERR_NONE) {
        return false;
    }
    m_feature->SetGeometryDirectly(geometry.release());
    ++m_geometries;
    return true;
}

void FileGdbWriter::commit() {
    if (m_spent || m_committed) {
        throw FileGdbError(QStringLiteral("The output '%1' has failed").arg(description()));
    }
    try {
        throwIfCancelled();
        m_feature.reset();
        m_queue->finish();
        m_queue.reset();
        // GDAL builds the spatial index in memory next: what the features' thread freed goes
        // back to the system first, so that the peak is the index's, not both together.
        malloc_trim(0);
        declareWidths();
        GdalErrorCapture errors;
        if (m_layer->SyncToDisk() != OGRERR_NONE) {
            throw gdalFailure(errors, QStringLiteral("'%1' cannot be finished").arg(description()));
        }
        closeGeodatabase();
        if (errors.failureCount() > 0) {
            throw gdalFailure(errors, QStringLiteral("'%1' cannot be finished").arg(description()));
        }
        readBack();
        m_undo->keep();
    } catch (const FileGdbError& error) {
        fail(error);
    }
    m_committed = true;
}

void FileGdbWriter::declareWidths() {
    GdalErrorCapture errors;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (!m_fields[i].widened()) {
            continue;
        }
        const int index = static_cast<int>(i);
        OGRFieldDefn definition(m_layer->GetLayerDefn()->GetFieldDefn(index));
        definition.SetWidth(m_fields[i].neededWidth());
        if (m_layer->AlterFieldDefn(index, &definition, ALTER_WIDTH_PRECISION_FLAG) !=
            OGRERR_NONE) {
            throw gdalFailure(errors, QStringLiteral("Field '%1' of '%2' cannot be widened")
                                          .arg(m_fieldNames[index], description()));
        }
    }
}

void FileGdbWriter::readBack() {
    GdalErrorCapture errors;
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    const GDALDatasetUniquePtr dataset(
        GDALDataset::Open(GdalOpen::toGdalPath(m_target.folder).constData(),
                          GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
    OGRLayer* layer = dataset ? dataset->GetLayerByName(m_className.toUtf8().constData()) : nullptr;
    if (!layer) {
        throw gdalFailure(errors, QStringLiteral("'%1' cannot be read back").arg(description()));
    }
    const std::int64_t count = layer->GetFeatureCount(TRUE);
    if (count != m_written) {
        throw FileGdbError(QStringLiteral("'%1' holds %2 features instead of %3")
                               .arg(description())
                               .arg(count)
                               .arg(m_written));
    }
    // GDAL leaves it out where it cannot size its grid (one point, points all in one place).
    if (m_geometries > 0 && !layer->TestCapability(OLCFastSpatialFilter)) {
        m_warnings << QStringLiteral("'%1' has no spatial index").arg(description());
    }
}
