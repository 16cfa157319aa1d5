#include "formats/postgis/PostgisOutput.h"

#include "formats/OgrGeometryType.h"
#include "formats/postgis/PostgisFeatureClass.h"

#include <cctype>
#include <cstdlib>

namespace {

std::int32_t shapeTypeCode(ShapeKind kind) {
    switch (kind) {
        case ShapeKind::Point:
            return 1;
        case ShapeKind::MultiPoint:
            return 2;
        case ShapeKind::PolyLine:
            return 3;
        case ShapeKind::Polygon:
            return 4;
        default:
            return 0;
    }
}

PostgisLayout layoutOf(const OutputSchema& schema, int srid) {
    PostgisLayout layout;
    for (const OutputField& field : schema.fields) {
        layout.fields.push_back({field.columnName, field.type, field.width, field.decimals});
    }
    layout.geometryType = ogrGeometryType(schema);
    layout.srid = srid;
    return layout;
}

// Blanks, a sign, digits with at most one point: what a numeric column takes digit for digit.
bool isPlainDecimal(std::string_view text) {
    bool digits = false;
    bool point = false;
    std::size_t at = text.find_first_not_of(' ');
    if (at != std::string_view::npos && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    for (; at < text.size() && text[at] != ' '; ++at) {
        if (std::isdigit(static_cast<unsigned char>(text[at]))) {
            digits = true;
        } else if (text[at] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits && text.find_first_not_of(' ', at) == std::string_view::npos;
}

std::string_view viewOf(QByteArrayView bytes) {
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

TypedValue postgisValue(const FieldValue& value) {
    const std::string_view text = viewOf(value.text);
    switch (value.type) {
        case FieldValue::Type::Null:
            return {};
        case FieldValue::Type::Integer:
            return value.integer;
        case FieldValue::Type::Real:
            if (isPlainDecimal(text)) {
                return DecimalValue{text};
            }
            return value.real;
        case FieldValue::Type::Text:
            return TextValue{text};
        case FieldValue::Type::Boolean:
            return value.integer != 0;
        case FieldValue::Type::Date:
            if (text.size() == 10) {
                return DateValue{std::atoi(std::string(text.substr(0, 4)).c_str()),
                                 std::atoi(std::string(text.substr(5, 2)).c_str()),
                                 std::atoi(std::string(text.substr(8, 2)).c_str())};
            }
            return {};
    }
    return {};
}

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

void PostgisOutput::write(const ShapeRecord& shape, const char* row, RowChanges& /*changes*/) {
    m_geometry.resize(0);
    if (!shape.isNull()) {
        m_wkb.append(shape, m_geometry);
    }
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        m_values[i] = postgisValue(m_rows->value(row, i));
    }
    if (!m_writer->add(viewOf(m_geometry), m_values)) {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("A geometry does not fit the column of table '%1'")
                               .arg(m_writer->tableName()));
    }
}

std::shared_ptr<IFeatureClass> PostgisOutput::commit() {
    m_phase = Phase::Finishing;
    m_writer->commit();
    m_warnings << m_writer->warnings();
    return std::make_shared<PostgisFeatureClass>(
        m_writer->tableName(), shapeTypeCode(m_schema.kind), m_writer->featuresWritten(),
        m_schema.hasZ, m_schema.hasM);
}
