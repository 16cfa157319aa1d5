#include "formats/shapefile/ShapeRecordCopier.h"

#include "errors/ConfluxError.h"

#include <QtEndian>

#include <cmath>
#include <limits>

namespace {
constexpr qsizetype kFlushBytes = 8 << 20;
constexpr double kNoMeasure = -1e38;  // M values below this are "no data"

double readDouble(const char* at) {
    return qFromLittleEndian<double>(at);
}
std::int32_t readInt(const char* at) {
    return qFromLittleEndian<qint32>(at);
}

void putBigEndian(QByteArray& buffer, std::int32_t value) {
    char bytes[4];
    qToBigEndian<qint32>(value, bytes);
    buffer.append(bytes, 4);
}

ConfluxError writeError(const QFile& file) {
    return ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("Cannot write '%1': %2").arg(file.fileName(), file.errorString()));
}

void openOrThrow(QFile& file) {
    if (!file.open(QIODevice::ReadWrite)) {
        throw writeError(file);
    }
}

// Where a shape's Z and M ranges lie, by its layout; false when the content is too short.
struct Ranges {
    int z = -1;  // offset of zmin, zmax; -1 when absent
    int m = -1;  // offset of mmin, mmax; -1 when absent
};
}  // namespace

ShapeRecordCopier::ShapeRecordCopier(const QString& shpPath, const QString& shxPath,
                                     const QString& dbfPath, std::int32_t shpType,
                                     int dbfHeaderLength, int recordLength, bool boxKnown,
                                     Buffers& buffers)
    : m_shp(shpPath),
      m_shx(shxPath),
      m_dbf(dbfPath),
      m_shpType(shpType),
      m_dbfHeaderLength(dbfHeaderLength),
      m_recordLength(recordLength),
      m_shpBuffer(buffers.shp),
      m_shxBuffer(buffers.shx),
      m_dbfBuffer(buffers.dbf) {
    m_shpBuffer.resize(0);
    m_shxBuffer.resize(0);
    m_dbfBuffer.resize(0);
    openOrThrow(m_shp);
    openOrThrow(m_shx);
    openOrThrow(m_dbf);
    const QByteArray header = m_shp.read(100);
    const QByteArray dbfStart = m_dbf.read(8);
    if (header.size() < 100 || dbfStart.size() < 8) {
        throw writeError(m_shp);
    }
    m_shpLength = m_shp.size();
    m_records = (m_shx.size() - 100) / 8;
    for (bool& known : m_hasRange) {
        known = boxKnown;
    }
    for (int i = 0; i < 8; ++i) {
        m_box[i] = readDouble(header.constData() + 36 + 8 * i);
    }
    const std::int64_t rows = qFromLittleEndian<quint32>(dbfStart.constData() + 4);
    if (rows != m_records) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("'%1' and its index disagree").arg(dbfPath));
    }
    m_shp.seek(m_shpLength);
    m_shx.seek(100 + 8 * m_records);
    m_dbf.seek(m_dbfHeaderLength + m_records * m_recordLength);
}

bool ShapeRecordCopier::extend(const char* content, int length) {
    const std::int32_t plain = m_shpType % 10;
    const bool hasZ = m_shpType > 10 && m_shpType < 20;
    const bool isM = m_shpType > 20;
    double box[4];
    std::int64_t points = 0;
    Ranges ranges;
    if (plain == 1) {
        if (length < 20 + (hasZ || isM ? 8 : 0)) {
            return false;
        }
        box[0] = box[2] = readDouble(content + 4);
        box[1] = box[3] = readDouble(content + 12);
        ranges.z = hasZ ? 20 : -1;
        ranges.m = isM ? 20 : (hasZ && length >= 36 ? 28 : -1);
    } else {
        const bool multiPoint = plain == 8;
        const int header = multiPoint ? 40 : 44;
        if (length < header) {
            return false;
        }
        points = readInt(content + (multiPoint ? 36 : 40));
        const std::int64_t parts = multiPoint ? 0 : readInt(content + 36);
        const std::int64_t base = header + 4 * parts + 16 * points;
        if (points < 0 || parts < 0 || base > length || (hasZ && base + 16 + 8 * points > length)) {
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            box[i] = readDouble(content + 4 + 8 * i);
        }
        const std::int64_t mAt = hasZ ? base + 16 + 8 * points : base;
        ranges.z = hasZ ? static_cast<int>(base) : -1;
        ranges.m = (hasZ || isM) && mAt + 16 + 8 * points <= length ? static_cast<int>(mAt) : -1;
    }
    if (std::isnan(box[0]) || std::isnan(box[1]) || std::isnan(box[2]) || std::isnan(box[3])) {
        return true;  // an empty shape widens nothing
    }
    widen(0, box[0], box[2]);
    widen(1, box[1], box[3]);
    if (ranges.z >= 0) {
        const double low = readDouble(content + ranges.z);
        widen(2, low, plain == 1 ? low : readDouble(content + ranges.z + 8));
    }
    if (ranges.m >= 0) {
        const double low = readDouble(content + ranges.m);
        const double high = plain == 1 ? low : readDouble(content + ranges.m + 8);
        if (low > kNoMeasure && high > kNoMeasure) {
            widen(3, low, high);
        }
    }
    return true;
}

// Axis 0 x, 1 y, 2 z, 3 m; the header keeps x and y interleaved, z and m as pairs.
void ShapeRecordCopier::widen(int axis, double low, double high) {
    const int lowSlot = axis < 2 ? axis : 2 * axis;
    const int highSlot = axis < 2 ? axis + 2 : 2 * axis + 1;
    if (!m_hasRange[axis]) {
        m_box[lowSlot] = low;
        m_box[highSlot] = high;
        m_hasRange[axis] = true;
        return;
    }
    m_box[lowSlot] = std::min(m_box[lowSlot], low);
    m_box[highSlot] = std::max(m_box[highSlot], high);
}

bool ShapeRecordCopier::append(const char* content, int contentLength, const char* row) {
    if (contentLength < 4 || contentLength % 2 != 0) {
        return false;
    }
    const std::int32_t type = readInt(content);
    if (type != 0 && (type != m_shpType || !extend(content, contentLength))) {
        return false;
    }
    if (m_shpLength + 8 + contentLength >
        std::int64_t{std::numeric_limits<std::int32_t>::max()} * 2) {
        throw ConfluxError(ErrorNumber::HostFailure,
                           QStringLiteral("'%1' would exceed the 4 GB a shapefile can hold")
                               .arg(m_shp.fileName()));
    }
    ++m_records;
    putBigEndian(m_shxBuffer, static_cast<std::int32_t>(m_shpLength / 2));
    putBigEndian(m_shxBuffer, contentLength / 2);
    putBigEndian(m_shpBuffer, static_cast<std::int32_t>(m_records));
    putBigEndian(m_shpBuffer, contentLength / 2);
    m_shpBuffer.append(content, contentLength);
    m_dbfBuffer.append(row, m_recordLength);
    m_shpLength += 8 + contentLength;
    if (m_shpBuffer.size() >= kFlushBytes) {
        flush();
    }
    return true;
}

void ShapeRecordCopier::flush() {
    if (m_shp.write(m_shpBuffer) != m_shpBuffer.size()) {
        throw writeError(m_shp);
    }
    if (m_shx.write(m_shxBuffer) != m_shxBuffer.size()) {
        throw writeError(m_shx);
    }
    if (m_dbf.write(m_dbfBuffer) != m_dbfBuffer.size()) {
        throw writeError(m_dbf);
    }
    // Emptied without giving back their memory, which the next records reuse.
    m_shpBuffer.resize(0);
    m_shxBuffer.resize(0);
    m_dbfBuffer.resize(0);
}

void ShapeRecordCopier::finish() {
    flush();
    if (!m_dbf.write("\x1A", 1) || !m_dbf.resize(m_dbf.pos())) {
        throw writeError(m_dbf);
    }
    char header[4];
    qToBigEndian<qint32>(static_cast<qint32>(m_shpLength / 2), header);
    char box[64];
    for (int i = 0; i < 8; ++i) {
        qToLittleEndian<double>(m_box[i], box + 8 * i);
    }
    char shxLength[4];
    qToBigEndian<qint32>(static_cast<qint32>((100 + 8 * m_records) / 2), shxLength);
    char rows[4];
    qToLittleEndian<quint32>(static_cast<quint32>(m_records), rows);
    const bool written = m_shp.seek(24) && m_shp.write(header, 4) == 4 && m_shp.seek(36) &&
                         m_shp.write(box, 64) == 64 && m_shx.seek(24) &&
                         m_shx.write(shxLength, 4) == 4 && m_shx.seek(36) &&
                         m_shx.write(box, 64) == 64 && m_dbf.seek(4) && m_dbf.write(rows, 4) == 4;
    if (!written || !m_shp.flush() || !m_shx.flush() || !m_dbf.flush()) {
        throw writeError(m_shp);
    }
}
