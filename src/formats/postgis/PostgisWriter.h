#pragma once

#include "formats/RowMapper.h"
#include "formats/postgis/CopyRows.h"
#include "formats/postgis/PgConnection.h"
#include "formats/postgis/PostgisColumn.h"
#include "formats/postgis/PostgisLayout.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// A new PostGIS table, written in one transaction: the table (and its schema when asked), its
// rows through COPY, its GiST index built after the rows. The feature id's primary key grows
// with the rows: they arrive in its order, which costs the server less than a build after. Nothing
// is visible to others before commit(); destroying the writer before, a failure, a cancel or a lost
// connection leave the database as it was. ANALYZE follows the commit.
//
// The table has a feature id `fid` (an identity column, numbered from 1 in the order of add()),
// one column per field named by its column name in lower case, and `geom` of the layout's geometry
// type, Z/M and SRID (each id or geometry name takes a number when a field has it).
class PostgisWriter {
public:
    // Opens the transaction, checks the target and creates the table. Throws PostgisError:
    // TableExists when the table exists and replacing was not asked; Other for a missing schema
    // or PostGIS, a name that is not a table, any server error.
    PostgisWriter(std::unique_ptr<PgConnection> connection, const PostgisTarget& target,
                  const PostgisLayout& layout, PgCancelCheck cancelled = {});
    ~PostgisWriter();
    PostgisWriter(const PostgisWriter&) = delete;
    PostgisWriter& operator=(const PostgisWriter&) = delete;

    // Adds one feature. `wkb`: its geometry as WKB or EWKB of the column's type and Z/M (as
    // WkbWriter writes it), empty for none; the server refuses any other, failing the write.
    // `values`: one per field, in order. Throws PostgisError (Cancelled when the cancel check
    // says so); the writer is then spent.
    void add(QByteArrayView wkb, std::span<const FieldValue> values);

    // Finishes the table and commits. Throws PostgisError; the database is then as it was.
    void commit();

    std::int64_t featuresWritten() const { return m_written; }
    // Warnings for the report: an SRID the server does not know, a failed ANALYZE.
    const QStringList& warnings() const { return m_warnings; }
    // The fields' column names, in the layout's order.
    const QStringList& columnNames() const { return m_names; }
    // "schema.table", for messages.
    QString tableName() const { return m_target.schema + u'.' + m_target.table; }
    PgConnection& connection() { return *m_connection; }

private:
    void checkNames() const;
    void findPostgis();
    void prepareSchema();
    void clearPlace();
    void createTable(const PostgisLayout& layout);
    void startCopy();
    void send();
    void widenColumns();
    void throwIfCancelled() const;
    void discard() noexcept;

    std::unique_ptr<PgConnection> m_connection;
    PostgisTarget m_target;
    PgCancelCheck m_cancelled;
    CopyRows m_rows;
    QByteArray m_table;     // quoted schema.table
    QByteArray m_copy;      // the COPY statement
    QByteArray m_postgis;   // the quoted schema holding PostGIS
    QByteArray m_idColumn;  // quoted
    QByteArray m_geometryColumn;
    QStringList m_names;
    std::vector<PostgisColumn> m_columns;
    std::vector<QByteArray> m_declared;  // each column's type in the table now
    QStringList m_warnings;
    std::int64_t m_written = 0;
    bool m_spent = false;
    bool m_committed = false;
};
