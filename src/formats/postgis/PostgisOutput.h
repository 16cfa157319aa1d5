#pragma once

#include "formats/MergeOutput.h"
#include "formats/WkbWriter.h"
#include "formats/postgis/PostgisWriter.h"
#include "formats/postgis/SpatialReferenceCode.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class OGRSpatialReference;

// A new PostGIS table as a merge's output: each shape record goes in as EWKB with the table's
// SRID, each row as the values of its fields. Text reaches the server as UTF-8 (the
// connection's encoding), which recodes it into the database's own; the merge gives UTF-8 for
// every input, recoded from its code page.
// Destroying the output before commit rolls the transaction back: no table, the schema too is
// gone when the output made it, and a table it was to replace stays as it was.
class PostgisOutput : public MergeOutput {
public:
    // Asks whether to stop while the server works before or after the rows; `complete` is 0
    // before them, 1 after.
    using StopCheck = std::function<bool(double complete)>;

    // Connects and creates the table in its transaction. `srs`: the template's coordinate
    // system (null: none), `srsSource` names it in the report. `schema` must outlive the output.
    // Throws PostgisError.
    PostgisOutput(const QString& conninfo, const PostgisTarget& target, const OutputSchema& schema,
                  const OGRSpatialReference* srs, const QString& srsSource, StopCheck stop = {});

    bool beginInput(std::int32_t shapeType, RowMapper& rows) override;
    void write(const ShapeRecord& shape, const char* row, RowChanges& changes) override;
    std::shared_ptr<IFeatureClass> commit() override;
    QStringList warnings() const override { return m_warnings; }

private:
    bool stopRequested() const;

    const OutputSchema& m_schema;
    StopCheck m_stop;
    enum class Phase { Preparing, Writing, Finishing } m_phase = Phase::Preparing;
    SridChoice m_srid;
    WkbWriter m_wkb;
    std::unique_ptr<PostgisWriter> m_writer;
    RowMapper* m_rows = nullptr;
    QByteArray m_geometry;
    std::vector<FieldValue> m_values;
    QStringList m_warnings;
};
