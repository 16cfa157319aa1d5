#include "formats/postgis/PostgisWriter.h"

#include "formats/ColumnNames.h"

#include <QSet>

namespace {
constexpr std::size_t kSendBytes = 64 << 10;  // libpq copies each piece into a buffer of its own
constexpr int kNameBytes = 63;                // longer names the server cuts short, silently

// Field names in lower case (unquoted names then reach them), each once, numbered when two
// fields meet in one name; then a free name for the id and one for the geometry.
QStringList laundered(const std::vector<OutputField>& fields, QString& id, QString& geometry) {
    ColumnNames taken;
    QStringList names;
    for (const OutputField& field : fields) {
        const QString name = field.columnName.trimmed().toLower();
        names << taken.take(name.isEmpty() ? QStringLiteral("field_%1").arg(names.size() + 1)
                                           : name);
    }
    id = taken.take(QStringLiteral("fid"));
    geometry = taken.take(QStringLiteral("geom"));
    return names;
}

// The geometry type as PostGIS names it in a column's type modifier: "MultiPolygonZM".
QByteArray typeName(OGRwkbGeometryType type) {
    static const char* const kNames[] = {
        "Geometry",   "Point",           "LineString",   "Polygon",
        "MultiPoint", "MultiLineString", "MultiPolygon", "GeometryCollection"};
    const int flat = static_cast<int>(wkbFlatten(type));
    QByteArray name = flat >= 0 && flat <= 7 ? kNames[flat] : "Geometry";
    if (OGR_GT_HasZ(type)) {
        name += 'Z';
    }
    if (OGR_GT_HasM(type)) {
        name += 'M';
    }
    return name;
}
}  // namespace

PostgisWriter::PostgisWriter(std::unique_ptr<PgConnection> connection, const PostgisTarget& target,
                             const PostgisLayout& layout, PgCancelCheck cancelled)
    : m_connection(std::move(connection)), m_target(target), m_cancelled(std::move(cancelled)) {
    checkNames();
    m_connection->setCancelCheck(m_cancelled);
    m_table =
        m_connection->identifier(m_target.schema) + '.' + m_connection->identifier(m_target.table);
    try {
        m_connection->execute("BEGIN");
        findPostgis();
        prepareSchema();
        clearPlace();
        createTable(layout);
        startCopy();
    } catch (...) {
        discard();
        throw;
    }
}

PostgisWriter::~PostgisWriter() {
    if (!m_committed) {
        discard();
    }
}

void PostgisWriter::checkNames() const {
    for (const QString& name : {m_target.schema, m_target.table}) {
        if (name.isEmpty() || name.toUtf8().size() > kNameBytes || name.contains(QChar(0))) {
            throw PostgisError(PostgisFailure::Other,
                               QStringLiteral("'%1' cannot name a PostgreSQL table or schema: "
                                              "a name holds 1 to %2 bytes")
                                   .arg(name)
                                   .arg(kNameBytes));
        }
    }
}

void PostgisWriter::findPostgis() {
    const PgResult found = m_connection->query(
        "SELECT n.nspname FROM pg_extension e JOIN pg_namespace n ON n.oid = e.extnamespace "
        "WHERE e.extname = 'postgis'");
    if (found.rows() == 0) {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("PostGIS is not installed in the %1 (CREATE EXTENSION "
                                          "postgis)")
                               .arg(m_connection->describe()));
    }
    m_postgis = m_connection->identifier(QString::fromUtf8(found.value(0, 0)));
}

void PostgisWriter::prepareSchema() {
    const QByteArray schema = m_target.schema.toUtf8();
    if (m_connection->query("SELECT 1 FROM pg_namespace WHERE nspname = $1", {schema}).rows() > 0) {
        return;
    }
    if (!m_target.createSchema) {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("Schema '%1' does not exist in the %2")
                               .arg(m_target.schema, m_connection->describe()));
    }
    m_connection->execute("CREATE SCHEMA " + m_connection->identifier(m_target.schema));
}

void PostgisWriter::clearPlace() {
    const PgResult existing = m_connection->query(
        "SELECT c.relkind FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = $1 AND c.relname = $2",
        {m_target.schema.toUtf8(), m_target.table.toUtf8()});
    if (existing.rows() == 0) {
        return;
    }
    const QByteArray kind = existing.value(0, 0);
    if (kind != "r" && kind != "p") {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("'%1' exists in the %2 and is not a table; it is left "
                                          "as it is")
                               .arg(tableName(), m_connection->describe()));
    }
    if (!m_target.replace) {
        throw PostgisError(PostgisFailure::TableExists,
                           QStringLiteral("Table '%1' already exists in the %2")
                               .arg(tableName(), m_connection->describe()));
    }
    m_connection->execute("DROP TABLE " + m_table);
}

void PostgisWriter::createTable(const PostgisLayout& layout) {
    QString id;
    QString geometry;
    m_names = laundered(layout.fields, id, geometry);
    m_idColumn = m_connection->identifier(id);
    m_geometryColumn = m_connection->identifier(geometry);
    QByteArray columns = m_idColumn + " bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    QByteArray copyColumns = m_idColumn;
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        m_columns.emplace_back(layout.fields[i]);
        m_declared.push_back(m_columns.back().sqlType());
        const QByteArray name = m_connection->identifier(m_names[static_cast<qsizetype>(i)]);
        columns += ", " + name + ' ' + m_declared.back();
        copyColumns += ", " + name;
    }
    columns += ", " + m_geometryColumn + ' ' + m_postgis + ".geometry(" +
               typeName(layout.geometryType) + ',' + QByteArray::number(layout.srid) + ')';
    copyColumns += ", " + m_geometryColumn;
    m_connection->execute("CREATE TABLE " + m_table + " (" + columns + ')');
    m_copy = "COPY " + m_table + " (" + copyColumns + ") FROM STDIN (FORMAT binary, FREEZE)";
    if (layout.srid > 0 &&
        m_connection
                ->query("SELECT 1 FROM " + m_postgis + ".spatial_ref_sys WHERE srid = $1",
                        {QByteArray::number(layout.srid)})
                .rows() == 0) {
        m_warnings
            << QStringLiteral("SRID %1 is not in the server's spatial_ref_sys").arg(layout.srid);
    }
}

void PostgisWriter::startCopy() {
    m_connection->startCopy(m_copy);
    m_rows.begin();
}

void PostgisWriter::send() {
    m_connection->putCopyData(m_rows.buffer().data(),
                              static_cast<qsizetype>(m_rows.buffer().size()));
    m_rows.clear();
}

void PostgisWriter::throwIfCancelled() const {
    if (m_cancelled && m_cancelled()) {
        throw PostgisError(PostgisFailure::Cancelled, QStringLiteral("Cancelled"));
    }
}

void PostgisWriter::add(QByteArrayView wkb, std::span<const FieldValue> values) {
    if (m_spent) {
        throw PostgisError(PostgisFailure::Other, QStringLiteral("The output has failed"));
    }
    m_spent = true;  // until the row is written: a failure midway leaves the table unusable
    if ((m_written & 1023) == 0) {
        throwIfCancelled();
    }
    if (values.size() != m_columns.size()) {
        throw PostgisError(PostgisFailure::Other,
                           QStringLiteral("A feature has %1 values for %2 fields")
                               .arg(values.size())
                               .arg(m_columns.size()));
    }
    bool grown = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        grown |= m_columns[i].take(values[i]);
    }
    if (grown) {
        widenColumns();
    }
    m_rows.beginRow(static_cast<int>(m_columns.size()) + 2);
    m_rows.integer(++m_written, true);
    for (const PostgisColumn& column : m_columns) {
        column.write(m_rows);
    }
    if (wkb.empty()) {
        m_rows.null();
    } else {
        m_rows.wkb(std::string_view(wkb.data(), static_cast<std::size_t>(wkb.size())));
    }
    if (m_rows.buffer().size() >= kSendBytes) {
        send();
    }
    m_spent = false;
}

void PostgisWriter::widenColumns() {
    QByteArray changes;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const QByteArray type = m_columns[i].sqlType();
        if (type != m_declared[i]) {
            changes += QByteArray(changes.isEmpty() ? "" : ", ") + "ALTER COLUMN " +
                       m_connection->identifier(m_names[static_cast<qsizetype>(i)]) + " TYPE " +
                       type;
            m_declared[i] = type;
        }
    }
    m_rows.end();
    send();
    m_connection->endCopy();
    m_connection->execute("ALTER TABLE " + m_table + ' ' + changes);
    startCopy();
}

void PostgisWriter::commit() {
    if (m_spent) {
        throw PostgisError(PostgisFailure::Other, QStringLiteral("The output has failed"));
    }
    m_spent = true;
    throwIfCancelled();
    m_rows.end();
    send();
    m_connection->endCopy();
    throwIfCancelled();
    if (m_written > 0) {
        m_connection->execute("ALTER TABLE " + m_table + " ALTER COLUMN " + m_idColumn +
                              " RESTART WITH " + QByteArray::number(m_written + 1));
    }
    throwIfCancelled();
    m_connection->execute("CREATE INDEX ON " + m_table + " USING gist (" + m_geometryColumn + ')');
    throwIfCancelled();
    m_connection->execute("COMMIT");
    m_committed = true;
    try {
        m_connection->setCancelCheck({});
        m_connection->execute("ANALYZE " + m_table);
    } catch (const PostgisError& error) {
        m_warnings << QStringLiteral("ANALYZE failed: %1").arg(error.description());
    }
}

void PostgisWriter::discard() noexcept {
    if (!m_connection || m_connection->broken()) {
        return;  // the server rolls back a transaction whose connection is gone
    }
    try {
        m_connection->setCancelCheck({});
        m_connection->abortCopy();
        m_connection->execute("ROLLBACK");
    } catch (...) {
        // Closing the connection ends the transaction all the same.
    }
}
