#pragma once

#include "platform/DbfTableHeader.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// What the merge needs to know of one input shapefile, read once when the input is opened and
// carried from there to admission, the template, the text plan, the output schema and the
// progress: its files, the .shp header's shape type and box, the records the .shx indexes, its
// table's header, the code page it declares and its .prj's text. Only regular files are read,
// so a named pipe in a companion's place never blocks; it counts as missing.
class ShapefileProbe {
public:
    // Reads the headers of the shapefile `shpPath`. Throws ConfluxError naming the file when it
    // is no shapefile to read: the .shp missing, no regular file or without its header, the
    // .shx (its index) missing.
    static std::shared_ptr<const ShapefileProbe> open(const QString& shpPath);

    const QString& shpPath() const { return m_shpPath; }
    // The companion with `extension` ("dbf"), as ShapefileFiles::sidecar finds it; empty for
    // none.
    QString companion(const QString& extension) const;

    std::int32_t shpType() const { return m_shpType; }
    // The box of the .shp header: minimum x, y, maximum x, y.
    const double* box() const { return m_box; }
    // The records the .shx indexes.
    std::int64_t recordCount() const { return m_records; }
    // The table's header; none when the .dbf is missing, no regular file or invalid, with the
    // cause in tableProblem().
    const std::optional<DbfTableHeader>& table() const { return m_table; }
    const QString& tableProblem() const { return m_tableProblem; }
    // The code page the .cpg names, else the table's language-driver byte; nullopt for none.
    const std::optional<QByteArray>& declaredCodePage() const { return m_codePage; }
    // The .prj's text; nullopt when there is none.
    const std::optional<QByteArray>& prj() const { return m_prj; }

private:
    QString m_shpPath;
    QString m_dbfPath;
    std::int32_t m_shpType = 0;
    double m_box[4] = {0, 0, 0, 0};
    std::int64_t m_records = 0;
    std::optional<DbfTableHeader> m_table;
    QString m_tableProblem;
    std::optional<QByteArray> m_codePage;
    std::optional<QByteArray> m_prj;
};

using ShapefileProbePtr = std::shared_ptr<const ShapefileProbe>;
