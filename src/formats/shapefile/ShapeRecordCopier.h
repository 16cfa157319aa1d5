#pragma once

#include <QByteArray>
#include <QFile>

#include <cstdint>

// The growing .shp/.shx/.dbf of a shapefile output, appended to record by record as bytes.
// Reads the current state from the files' headers and writes the headers back in finish().
class ShapeRecordCopier {
public:
    // Output buffers kept from one input to the next, so their memory is reused.
    struct Buffers {
        QByteArray shp, shx, dbf;
    };

    // Throws ConfluxError when the files cannot be opened or their headers read. `boxKnown`:
    // the file already holds a shape, so its header's box is one to widen.
    ShapeRecordCopier(const QString& shpPath, const QString& shxPath, const QString& dbfPath,
                      std::int32_t shpType, int dbfHeaderLength, int recordLength, bool boxKnown,
                      Buffers& buffers);

    // Appends one record: `content` is the shape record without its header, `row` the table
    // record with its deletion flag. Returns false (nothing appended) when the shape content
    // does not hold a shape of the output's type or a null shape.
    bool append(const char* content, int contentLength, const char* row);
    // Writes the buffered records and the headers. Throws ConfluxError on a write error.
    void finish();
    // Whether the file holds a shape (not a null one) now.
    bool hasShapes() const { return m_hasRange[0]; }

private:
    bool extend(const char* content, int length);
    void widen(int axis, double low, double high);
    void flush();

    QFile m_shp, m_shx, m_dbf;
    std::int32_t m_shpType;
    int m_dbfHeaderLength;
    int m_recordLength;
    std::int64_t m_records = 0;
    std::int64_t m_shpLength = 100;  // bytes
    double m_box[8];                 // xmin ymin xmax ymax zmin zmax mmin mmax
    bool m_hasRange[4];              // x, y, z, m known
    QByteArray& m_shpBuffer;
    QByteArray& m_shxBuffer;
    QByteArray& m_dbfBuffer;
};
