#include "formats/filegdb/FileGdbOutput.h"

#include "formats/OgrGeometryType.h"
#include "formats/filegdb/FileGdbFeatureClass.h"

#include <ogr_spatialref.h>

FileGdbLayout FileGdbOutput::layoutOf(const OutputSchema& schema, const QString& geometryColumn,
                                      const OGRSpatialReference* srs) {
    FileGdbLayout layout;
    layout.fields = schema.fields;
    layout.geometryType = ogrGeometryType(schema);
    if (srs) {
        layout.spatialReference = SpatialReference::clone(srs);
    }
    layout.geometryName = geometryColumn;
    return layout;
}

FileGdbOutput::FileGdbOutput(const QString& folder, const QString& className,
                             const QString& geometryColumn, const OutputSchema& schema,
                             const OGRSpatialReference* srs)
    : m_folder(folder),
      m_schema(schema),
      m_wkb(schema.kind, schema.hasZ, schema.hasM),
      m_writer(std::make_unique<FileGdbWriter>(FileGdbTarget{folder, className},
                                               layoutOf(schema, geometryColumn, srs))),
      m_values(schema.fields.size()) {}

bool FileGdbOutput::beginInput(std::int32_t /*shapeType*/, RowMapper& rows) {
    m_rows = &rows;
    return false;
}

void FileGdbOutput::write(const ShapeRecord& shape, const char* row, RowChanges& changes) {
    m_geometry.resize(0);
    if (!shape.isNull()) {
        m_wkb.append(shape, m_geometry);
    }
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        const FieldValue& value = m_values[i] = m_rows->value(row, i, changes);
        // Integers of more than 9 digits go into a Double, which holds 53 bits of them exactly.
        if (value.type == FieldValue::Type::Integer &&
            m_schema.fields[i].kind() == OutputField::Kind::Int64 &&
            static_cast<std::int64_t>(static_cast<double>(value.integer)) != value.integer) {
            changes.numberRounded = true;
        }
    }
    switch (m_writer->add(m_geometry, m_values)) {
        case FileGdbWriter::Added::Written:
            return;
        case FileGdbWriter::Added::NumberEmptied:
            changes.numberTooWide = true;
            return;
        case FileGdbWriter::Added::GeometryRefused:
            break;
    }
    // The records reaching here fit the class's kind, and WKB is written of its very type.
    throw FileGdbError(
        FileGdbFailure::Other,
        QStringLiteral("A geometry cannot be written to '%1'").arg(m_writer->description()));
}

std::shared_ptr<IFeatureClass> FileGdbOutput::commit() {
    m_writer->commit();
    return std::make_shared<FileGdbFeatureClass>(m_folder, m_writer->className());
}
