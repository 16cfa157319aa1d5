#include "formats/postgis/PostgisOutput.h"

#include "formats/OgrGeometryType.h"
#include "formats/postgis/PostgisFeatureClass.h"
#include "shapefile/ShapefileFiles.h"

namespace {

PostgisLayout layoutOf(const OutputSchema& schema, int srid) {
    PostgisLayout layout;
    layout.fields = schema.fields;
    layout.geometryType = ogrGeometryType(schema);
    layout.srid = srid;
    return layout;
}

}  // namespace

PostgisOutput::PostgisOutput(const QString& conninfo, const PostgisTarget& target,
                             const OutputSchema& schema, const OGRSpatialReference* srs,
                             const QString& srsSource, StopCheck stop)
    : m_schema(schema),
      m_stop(std::move(stop)),
      m_srid(sridOf(srs, srsSource)),
      m_wkb(schema.kind, schema.hasZ, schema.hasM, WkbWriter::Flavour::Extended, m_srid.srid),
      m_values(schema.fields.size()) {
    if (!m_srid.warning.isEmpty()) {
        m_warnings << m_srid.warning;
    }
    m_writer = std::make_unique<PostgisWriter>(std::make_unique<PgConnection>(conninfo), target,
                                               layoutOf(schema, m_srid.srid),
                                               [this] { return stopRequested(); });
    m_phase = Phase::Writing;
}

// While rows go in, the merge's own progress asks; the check covers the server's long waits.
bool PostgisOutput::stopRequested() const {
    return m_phase != Phase::Writing && m_stop && m_stop(m_phase == Phase::Finishing ? 1.0 : 0.0);
}

bool PostgisOutput::beginInput(std::int32_t /*shapeType*/, RowMapper& rows) {
    m_rows = &rows;
    return false;
}

void PostgisOutput::write(const ShapeRecord& shape, const char* row, RowChanges& changes) {
    m_geometry.resize(0);
    if (!shape.isNull()) {
        m_wkb.append(shape, m_geometry);
    }
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        m_values[i] = m_rows->value(row, i, changes);
    }
    m_writer->add(m_geometry, m_values);
}

std::shared_ptr<IFeatureClass> PostgisOutput::commit() {
    m_phase = Phase::Finishing;
    m_writer->commit();
    m_warnings << m_writer->warnings();
    return std::make_shared<PostgisFeatureClass>(
        m_writer->tableName(),
        ShapefileFiles::shapeTypeCode(ShpType::of(m_schema.kind, m_schema.hasZ, m_schema.hasM)),
        m_writer->featuresWritten(), m_schema.hasZ, m_schema.hasM);
}
