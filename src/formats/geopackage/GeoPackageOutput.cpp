#include "formats/geopackage/GeoPackageOutput.h"

#include "formats/geopackage/SqliteStatement.h"
#include "host/GdalOpen.h"
#include "host/GeoPackageFeatureClass.h"

#include <QFile>

#include <cpl_string.h>

namespace {
// `wanted`, or it with a number added, so that it names none of `fields` (case ignored): the
// table's feature id and geometry columns must not take a field's place.
QString freeName(const QString& wanted, const OGRFeatureDefn& fields) {
    const auto taken = [&fields](const QString& name) {
        for (int i = 0; i < fields.GetFieldCount(); ++i) {
            if (name.compare(QString::fromUtf8(fields.GetFieldDefn(i)->GetNameRef()),
                             Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
        return false;
    };
    QString name = wanted;
    for (int n = 1; taken(name); ++n) {
        name = QStringLiteral("%1_%2").arg(wanted).arg(n);
    }
    return name;
}
}  // namespace

void GeoPackageOutput::refuseAccessDatabase(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;  // opening as a GeoPackage reports the real cause
    }
    const QByteArray start = file.read(32);
    if (start.mid(4, 15) == "Standard Jet DB" || start.mid(4, 15) == "Standard ACE DB") {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("'%1' is an Access database. Access databases cannot be "
                                          "written on this platform; choose a GeoPackage "
                                          "(.gpkg) as the geodatabase output instead.")
                               .arg(path));
    }
}

GeoPackageOutput::GeoPackageOutput(GdalErrorCapture& errors, const QString& path,
                                   const QString& layerName, const QString& geometryColumn,
                                   const OGRFeatureDefn& fields, OGRwkbGeometryType type,
                                   const OGRSpatialReference* srs)
    : m_errors(errors), m_path(path), m_layerName(layerName) {
    refuseAccessDatabase(path);
    {
        // Checked read-only first, so that a refusal leaves the file untouched. GDAL does not
        // open a GeoPackage without tables read-only; such a file has no layer to collide with.
        const char* const drivers[] = {"GPKG", nullptr};
        GDALDatasetUniquePtr reading(GDALDataset::Open(GdalOpen::toGdalPath(path).constData(),
                                                       GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers,
                                                       nullptr, nullptr));
        m_errors.clear();
        if (reading && reading->GetLayerByName(layerName.toUtf8().constData())) {
            throw ConfluxError(
                ErrorNumber::HostFailure,
                QStringLiteral("Layer '%1' already exists in '%2'").arg(layerName, path));
        }
    }
    m_dataset = GdalOpen::geoPackage(path, true, m_errors);
    // One transaction holds the layer, its features and its index: whatever ends the merge
    // early, a crash or a power cut included, leaves the GeoPackage as it was.
    if (m_dataset->StartTransaction() != OGRERR_NONE) {
        throw m_errors.error(QStringLiteral("GeoPackage '%1' cannot be written").arg(path));
    }
    try {
        const QString geometryName = freeName(geometryColumn, fields);
        createLayer(geometryName, fields, type, srs);
        takeOverSpatialIndex(geometryName);
    } catch (...) {
        discard();
        throw;
    }
}

void GeoPackageOutput::createLayer(const QString& geometryColumn, const OGRFeatureDefn& fields,
                                   OGRwkbGeometryType type, const OGRSpatialReference* srs) {
    CPLStringList options;
    options.SetNameValue("GEOMETRY_NAME", geometryColumn.toUtf8().constData());
    options.SetNameValue("SPATIAL_INDEX", "YES");
    options.SetNameValue("FID", freeName(QStringLiteral("fid"), fields).toUtf8().constData());
    m_layer = m_dataset->CreateLayer(m_layerName.toUtf8().constData(),
                                     const_cast<OGRSpatialReference*>(srs), type, options.List());
    if (!m_layer) {
        throw m_errors.error(
            QStringLiteral("Layer '%1' cannot be created in '%2'").arg(m_layerName, m_path));
    }
    for (int i = 0; i < fields.GetFieldCount(); ++i) {
        OGRFieldDefn field(fields.GetFieldDefn(i));
        if (m_layer->CreateField(&field, FALSE) != OGRERR_NONE) {
            throw m_errors.error(
                QStringLiteral("Field '%1' of layer '%2' in '%3' cannot be created")
                    .arg(QString::fromUtf8(field.GetNameRef()), m_layerName, m_path));
        }
    }
}

// GDAL fills the spatial index one box at a time, which takes about as long as writing the
// features. Instead the index GDAL creates stays empty, its insert trigger is lifted while the
// features are written, and the boxes are packed into it at commit. GDAL's own definitions
// of the index and its triggers are kept, so every reader and later editor of the file finds an
// ordinary GeoPackage spatial index.
void GeoPackageOutput::takeOverSpatialIndex(const QString& geometryColumn) {
    if (m_layer->SyncToDisk() != OGRERR_NONE) {
        throw m_errors.error(QStringLiteral("GeoPackage '%1' cannot be written").arg(m_path));
    }
    m_db = static_cast<sqlite3*>(m_dataset->GetInternalHandle("SQLITE_HANDLE"));
    const QString index = QStringLiteral("rtree_%1_%2").arg(m_layerName, geometryColumn);
    const QByteArray trigger = (index + QStringLiteral("_insert")).toUtf8();
    if (!m_db) {
        return;  // GDAL keeps its own way of filling the index
    }
    {
        SqliteStatement find(m_db,
                             "SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = ?",
                             QStringLiteral("GeoPackage '%1' cannot be read").arg(m_path));
        find.bindText(1, trigger);
        if (!find.row()) {
            return;  // no trigger to lift: GDAL fills the index its own way
        }
        m_indexTrigger = find.text(0);
    }
    m_index = std::make_unique<PackedRTree>(m_db, index);
    execute("DROP TRIGGER \"" + QByteArray(trigger).replace('"', "\"\"") + '"');
}

void GeoPackageOutput::execute(const QByteArray& sql) {
    SqliteStatement(m_db, sql, QStringLiteral("GeoPackage '%1' cannot be written").arg(m_path))
        .run();
}

GeoPackageOutput::~GeoPackageOutput() {
    if (!m_committed) {
        discard();
    }
}

void GeoPackageOutput::discard() {
    if (!m_dataset) {
        return;
    }
    m_index.reset();
    if (m_dataset->RollbackTransaction() == OGRERR_NONE) {
        m_dataset.reset();
        return;
    }
    // The rollback failed: remove the layer, which is all this output added.
    for (int i = 0; i < m_dataset->GetLayerCount(); ++i) {
        if (QString::fromUtf8(m_dataset->GetLayer(i)->GetName()) == m_layerName) {
            m_dataset->DeleteLayer(i);
            break;
        }
    }
    m_dataset.reset();
}

void GeoPackageOutput::featureWritten(const OGRFeature& written) {
    const OGRGeometry* geometry = written.GetGeometryRef();
    if (m_index && geometry && !geometry->IsEmpty()) {
        OGREnvelope box;
        geometry->getEnvelope(&box);
        m_index->add(written.GetFID(), box.MinX, box.MaxX, box.MinY, box.MaxY);
    }
}

std::shared_ptr<IFeatureClass> GeoPackageOutput::commit() {
    const qsizetype failuresBefore = m_errors.failureCount();
    if (m_index) {
        m_index->finish();
        m_index.reset();
        execute(m_indexTrigger);
    }
    if (m_dataset->CommitTransaction() != OGRERR_NONE) {
        throw m_errors.error(QStringLiteral("GeoPackage '%1' cannot be written").arg(m_path));
    }
    m_dataset->FlushCache(true);
    if (m_errors.failureCount() != failuresBefore) {
        throw m_errors.error(QStringLiteral("GeoPackage '%1' cannot be written").arg(m_path));
    }
    m_committed = true;
    m_dataset.reset();
    return std::make_shared<GeoPackageFeatureClass>(m_path, m_layerName);
}
