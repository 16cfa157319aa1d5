#include "formats/geopackage/GeoPackageOutput.h"

#include "formats/ColumnNames.h"
#include "formats/geopackage/SqlIdentifier.h"

#include "formats/OgrGeometryType.h"
#include "formats/geopackage/GeoPackageBlob.h"
#include "formats/geopackage/GeoPackageFeatureClass.h"
#include "gdal/GdalOpen.h"

#include <QFile>

#include <cpl_string.h>
#include <sqlite3.h>

#include <algorithm>

namespace {
// `wanted`, or it with a number added, so that it names none of the schema's columns (case
// ignored): the table's feature id and geometry columns must not take a field's place.
QString freeName(const QString& wanted, const OutputSchema& schema) {
    ColumnNames names;
    for (const OutputField& field : schema.fields) {
        names.take(field.columnName);
    }
    return names.take(wanted);
}

// The field GDAL creates for a dBASE field, typed as GDAL reads shapefiles.
void describe(const OutputField& field, OGRFieldDefn& defn) {
    switch (field.type) {
        case 'N':
        case 'F':
            defn.SetType(field.isInteger() ? (field.width < 10 ? OFTInteger : OFTInteger64)
                                           : OFTReal);
            defn.SetWidth(field.width);
            defn.SetPrecision(field.isInteger() ? 0 : field.decimals);
            break;
        case 'L':
            defn.SetType(OFTInteger);
            defn.SetSubType(OFSTBoolean);
            break;
        case 'D':
            defn.SetType(OFTDate);
            break;
        default:
            defn.SetWidth(field.width);
            break;
    }
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

GeoPackageOutput::GeoPackageOutput(const QString& path, const QString& layerName,
                                   const QString& geometryColumn, const OutputSchema& schema,
                                   const OGRSpatialReference* srs)
    : m_path(path),
      m_layerName(layerName),
      m_schema(schema),
      m_wkb(schema.kind, schema.hasZ, schema.hasM) {
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
        throw m_errors.error(failure());
    }
    try {
        const QString geometryName = freeName(geometryColumn, schema);
        createLayer(geometryName, srs);
        prepareInsert(geometryName);
    } catch (...) {
        discard();
        throw;
    }
}

QString GeoPackageOutput::failure() const {
    return QStringLiteral("GeoPackage '%1' cannot be written").arg(m_path);
}

void GeoPackageOutput::createLayer(const QString& geometryColumn, const OGRSpatialReference* srs) {
    CPLStringList options;
    options.SetNameValue("GEOMETRY_NAME", geometryColumn.toUtf8().constData());
    options.SetNameValue("SPATIAL_INDEX", "YES");
    options.SetNameValue("FID", freeName(QStringLiteral("fid"), m_schema).toUtf8().constData());
    m_layer = m_dataset->CreateLayer(m_layerName.toUtf8().constData(),
                                     const_cast<OGRSpatialReference*>(srs),
                                     ogrGeometryType(m_schema), options.List());
    if (!m_layer) {
        throw m_errors.error(
            QStringLiteral("Layer '%1' cannot be created in '%2'").arg(m_layerName, m_path));
    }
    for (const OutputField& field : m_schema.fields) {
        OGRFieldDefn defn(field.columnName.toUtf8().constData(), OFTString);
        describe(field, defn);
        if (m_layer->CreateField(&defn, FALSE) != OGRERR_NONE) {
            throw m_errors.error(
                QStringLiteral("Field '%1' of layer '%2' in '%3' cannot be created")
                    .arg(field.columnName, m_layerName, m_path));
        }
    }
    if (m_layer->SyncToDisk() != OGRERR_NONE) {
        throw m_errors.error(failure());
    }
    m_db = static_cast<sqlite3*>(m_dataset->GetInternalHandle("SQLITE_HANDLE"));
    if (!m_db) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           failure() + QStringLiteral(": no SQLite connection"));
    }
}

// The features go in through one prepared statement. GDAL's triggers that fill the spatial
// index one box at a time and count the features one by one are lifted meanwhile: the index is
// packed at commit (which takes a small fraction of the time) and the count set once.
void GeoPackageOutput::prepareInsert(const QString& geometryColumn) {
    {
        SqliteStatement srs(
            m_db, "SELECT srs_id FROM gpkg_geometry_columns WHERE lower(table_name) = lower(?)",
            failure());
        const QByteArray table = m_layerName.toUtf8();
        srs.bindText(1, table);
        m_srsId = srs.row() ? static_cast<std::int32_t>(srs.integer(0)) : 0;
    }
    const QString index = QStringLiteral("rtree_%1_%2").arg(m_layerName, geometryColumn);
    liftTrigger((index + QStringLiteral("_insert")).toUtf8());
    if (!m_liftedTriggers.empty()) {
        m_index = std::make_unique<PackedRTree>(m_db, index, failure());
    }
    liftTrigger(("trigger_insert_feature_count_" + m_layerName).toUtf8());
    QByteArray sql =
        "INSERT INTO " + sqlIdentifier(m_layerName) + " (" + sqlIdentifier(geometryColumn);
    QByteArray values = "?";
    for (const OutputField& field : m_schema.fields) {
        sql += ", " + sqlIdentifier(field.columnName);
        values += ", ?";
    }
    m_insert =
        std::make_unique<SqliteStatement>(m_db, sql + ") VALUES (" + values + ")", failure());
    m_inserter = std::make_unique<GeoPackageInserter>(m_db, *m_insert, m_index.get(),
                                                      static_cast<int>(m_schema.fields.size()));
}

void GeoPackageOutput::liftTrigger(const QByteArray& name) {
    SqliteStatement find(m_db, "SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = ?",
                         failure());
    find.bindText(1, name);
    if (!find.row()) {
        return;
    }
    m_liftedTriggers.push_back(find.text(0));
    execute("DROP TRIGGER " + sqlIdentifier(QString::fromUtf8(name)));
}

void GeoPackageOutput::execute(const QByteArray& sql) {
    SqliteStatement(m_db, sql, failure()).run();
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
    m_inserter.reset();
    m_insert.reset();
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

bool GeoPackageOutput::beginInput(std::int32_t /*shapeType*/, RowMapper& rows) {
    m_rows = &rows;
    return false;
}

void GeoPackageOutput::write(const ShapeRecord& shape, const char* row, RowChanges& changes) {
    const bool boxed = !shape.isNull() && shape.pointCount() > 0;
    const ShapeRecord::Ranges& box = shape.ranges();
    const GeoPackageInserter::Box indexed{box.minX, box.maxX, box.minY, box.maxY};
    m_blob.resize(0);
    if (!shape.isNull()) {
        GeoPackageBlob::write(shape, m_srsId, m_wkb, m_blob);
    }
    m_inserter->beginRow(m_blob, boxed ? &indexed : nullptr);
    for (std::size_t i = 0; i < m_schema.fields.size(); ++i) {
        m_inserter->value(m_rows->value(row, i, changes));
    }
    m_inserter->endRow();
    ++m_features;
    if (!boxed) {
        return;
    }
    m_extent.minX = m_hasExtent ? std::min(m_extent.minX, box.minX) : box.minX;
    m_extent.minY = m_hasExtent ? std::min(m_extent.minY, box.minY) : box.minY;
    m_extent.maxX = m_hasExtent ? std::max(m_extent.maxX, box.maxX) : box.maxX;
    m_extent.maxY = m_hasExtent ? std::max(m_extent.maxY, box.maxY) : box.maxY;
    m_hasExtent = true;
}

// The layer's extent, last change and feature count, as GDAL keeps them for its own writes.
void GeoPackageOutput::finishContents() {
    const QByteArray table = m_layerName.toUtf8();
    SqliteStatement contents(
        m_db,
        "UPDATE gpkg_contents SET last_change = strftime('%Y-%m-%dT%H:%M:%fZ', 'now'), "
        "min_x = coalesce(?, min_x), min_y = coalesce(?, min_y), max_x = coalesce(?, max_x), "
        "max_y = coalesce(?, max_y) WHERE lower(table_name) = lower(?)",
        failure());
    const double bounds[4] = {m_extent.minX, m_extent.minY, m_extent.maxX, m_extent.maxY};
    for (int i = 0; i < 4; ++i) {
        if (m_hasExtent) {
            contents.bind(i + 1, bounds[i]);
        } else {
            contents.bindNull(i + 1);
        }
    }
    contents.bindText(5, table);
    contents.run();
    SqliteStatement counted(
        m_db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'gpkg_ogr_contents'",
        failure());
    if (counted.row()) {
        SqliteStatement count(
            m_db,
            "UPDATE gpkg_ogr_contents SET feature_count = ? WHERE lower(table_name) = lower(?)",
            failure());
        count.bind(1, m_features);
        count.bindText(2, table);
        count.run();
    }
}

std::shared_ptr<IFeatureClass> GeoPackageOutput::commit() {
    const qsizetype failuresBefore = m_errors.failureCount();
    m_inserter->finish();
    m_inserter.reset();
    m_insert.reset();
    if (m_index) {
        m_index->finish();
        m_index.reset();
    }
    for (const QByteArray& trigger : m_liftedTriggers) {
        execute(trigger);
    }
    finishContents();
    if (m_dataset->CommitTransaction() != OGRERR_NONE) {
        // The connection knows the cause (a full disk) better than GDAL's text of the command.
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("%1: %2").arg(failure(), sqliteFailure(m_db)));
    }
    m_dataset->FlushCache(true);
    if (m_errors.failureCount() != failuresBefore) {
        throw m_errors.error(failure());
    }
    m_committed = true;
    m_dataset.reset();
    return std::make_shared<GeoPackageFeatureClass>(m_path, m_layerName);
}
