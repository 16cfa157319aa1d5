#pragma once

#include "formats/OutputSchema.h"
#include "platform/UniqueFd.h"
#include "shapefile/ShapeRecord.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// What one shapefile can hold. Offsets and lengths in the .shp and .shx count 16-bit words in
// signed 32 bits (4 GB); common dBASE readers take tables up to 2 GB, and the header counts
// records in 32 bits. Tests lower them, so that no test writes gigabytes.
struct ShapefileLimits {
    std::int64_t shpBytes = 2 * std::int64_t{0x7FFFFFFF};
    std::int64_t dbfBytes = std::int64_t{1} << 31;
    std::int64_t dbfRecords = 0xFFFFFFFF;
};

// Writes a new shapefile's .shp, .shx and .dbf record by record, in large buffered writes, and
// their headers at finish(): the box and the Z and M ranges of the shapes present (a record
// without measures widens no M range), the record counts, and the template's fields with every
// dBASE type, width and decimals. Every failure throws ConfluxError naming the file the user
// asked for (`shownAs`, not the temporary being written) and the system's cause; a record
// that would take a file past its limit is refused before anything of it is written.
class ShapefileWriter {
public:
    // Creates `base`.shp, .shx and .dbf (none may exist). `shownAs`: the output's path without
    // extension, as errors name it. `languageDriver`: declared in the .dbf header.
    ShapefileWriter(const QString& base, const QString& shownAs, std::int32_t shpType,
                    const OutputSchema& schema, quint8 languageDriver,
                    const ShapefileLimits& limits);

    // Appends one record: `shape` (its content, a null shape or a shape of the file's type) and
    // `row` (a dBASE record of the schema's layout, deletion flag first).
    void append(const ShapeRecord& shape, const char* row);
    // Writes what is buffered and the headers.
    void finish();

    std::int64_t records() const { return m_records; }

private:
    struct File {
        UniqueFd fd;
        QString shownAs;
        QByteArray buffer;
    };
    void open(File& file, const QString& path, const QString& extension);
    void write(File& file, const char* bytes, qsizetype size, std::int64_t at = -1);
    void flush(File& file);
    void refuse(const File& file, const QString& limit) const;
    void widen(const ShapeRecord& shape);
    QByteArray dbfHeader() const;
    QByteArray shapeHeader(std::int64_t fileBytes) const;

    QString m_shownAs;
    std::int32_t m_shpType;
    const OutputSchema& m_schema;
    quint8 m_languageDriver;
    ShapefileLimits m_limits;
    File m_shp, m_shx, m_dbf;
    std::int64_t m_records = 0;
    std::int64_t m_shpBytes = 100;
    std::int64_t m_dbfBytes = 0;
    double m_box[8] = {};  // xmin ymin xmax ymax zmin zmax mmin mmax
    bool m_hasShape = false;
    bool m_hasMeasures = false;
};
