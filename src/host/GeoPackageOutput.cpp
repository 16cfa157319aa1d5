#include "host/GeoPackageOutput.h"

#include "host/GdalOpen.h"
#include "host/GeoPackageFeatureClass.h"

#include <QFile>

#include <cpl_string.h>

namespace {
// Features per transaction: large enough that commits cost little, small enough that the
// journal stays modest.
constexpr std::int64_t kFeaturesPerTransaction = 200000;
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
    CPLStringList options;
    options.SetNameValue("GEOMETRY_NAME", geometryColumn.toUtf8().constData());
    options.SetNameValue("SPATIAL_INDEX", "YES");
    m_layer = m_dataset->CreateLayer(layerName.toUtf8().constData(),
                                     const_cast<OGRSpatialReference*>(srs), type, options.List());
    if (!m_layer) {
        throw m_errors.error(
            QStringLiteral("Layer '%1' cannot be created in '%2'").arg(layerName, path));
    }
    try {
        createFields(fields);
    } catch (...) {
        discard();
        throw;
    }
}

void GeoPackageOutput::createFields(const OGRFeatureDefn& fields) {
    const QString& layerName = m_layerName;
    const QString& path = m_path;
    for (int i = 0; i < fields.GetFieldCount(); ++i) {
        OGRFieldDefn field(fields.GetFieldDefn(i));
        if (m_layer->CreateField(&field, FALSE) != OGRERR_NONE) {
            throw m_errors.error(
                QStringLiteral("Field '%1' of layer '%2' in '%3' cannot be created")
                    .arg(QString::fromUtf8(field.GetNameRef()), layerName, path));
        }
    }
    if (m_dataset->StartTransaction() != OGRERR_NONE) {
        throw m_errors.error(QStringLiteral("GeoPackage '%1' cannot be written").arg(path));
    }
    m_inTransaction = 0;
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
    m_dataset->RollbackTransaction();
    for (int i = 0; i < m_dataset->GetLayerCount(); ++i) {
        if (QString::fromUtf8(m_dataset->GetLayer(i)->GetName()) == m_layerName) {
            m_dataset->DeleteLayer(i);
            break;
        }
    }
    m_dataset.reset();
}

void GeoPackageOutput::featureWritten() {
    if (++m_inTransaction < kFeaturesPerTransaction) {
        return;
    }
    if (m_dataset->CommitTransaction() != OGRERR_NONE ||
        m_dataset->StartTransaction() != OGRERR_NONE) {
        throw m_errors.error(QStringLiteral("GeoPackage '%1' cannot be written").arg(m_path));
    }
    m_inTransaction = 0;
}

std::shared_ptr<IFeatureClass> GeoPackageOutput::commit() {
    const qsizetype failuresBefore = m_errors.failureCount();
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
