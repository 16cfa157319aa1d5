#include "formats/shapefile/ShapefileWriter.h"

#include "errors/ConfluxError.h"
#include "platform/FileNameCodec.h"

#include <QDate>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Large enough that each write costs little, small enough to keep the merge's memory low.
constexpr qsizetype kFlushBytes = 1 << 20;
constexpr std::int64_t kShpHeaderBytes = 100;

void putBig(char* at, std::int32_t value) {
    qToBigEndian<qint32>(value, at);
}

ConfluxError writeError(const QString& shownAs, int error) {
    return ConfluxError(ErrorNumber::HostFailure,
                        QStringLiteral("Cannot write '%1': %2")
                            .arg(shownAs, QString::fromLocal8Bit(std::strerror(error))));
}

}  // namespace

ShapefileWriter::ShapefileWriter(const QString& base, const QString& shownAs, std::int32_t shpType,
                                 const OutputSchema& schema, quint8 languageDriver,
                                 const ShapefileLimits& limits)
    : m_shownAs(shownAs),
      m_shpType(shpType),
      m_schema(schema),
      m_languageDriver(languageDriver),
      m_limits(limits) {
    open(m_shp, base, QStringLiteral("shp"));
    open(m_shx, base, QStringLiteral("shx"));
    open(m_dbf, base, QStringLiteral("dbf"));
    for (File* file : {&m_shp, &m_shx, &m_dbf}) {
        file->buffer.reserve(2 * kFlushBytes);
    }
    const QByteArray placeholder(kShpHeaderBytes, '\0');
    m_shp.buffer.append(placeholder);
    m_shx.buffer.append(placeholder);
    m_dbf.buffer.append(dbfHeader());
    m_dbfBytes = m_dbf.buffer.size();
}

void ShapefileWriter::open(File& file, const QString& base, const QString& extension) {
    file.shownAs = m_shownAs + QLatin1Char('.') + extension;
    const QByteArray path = FileNameCodec::encode(base + QLatin1Char('.') + extension);
    int fd;
    do {
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        throw writeError(file.shownAs, errno);
    }
    file.fd = UniqueFd(fd);
}

void ShapefileWriter::write(File& file, const char* bytes, qsizetype size, std::int64_t at) {
    qsizetype done = 0;
    while (done < size) {
        const ssize_t wrote =
            at < 0 ? ::write(file.fd.get(), bytes + done, size_t(size - done))
                   : ::pwrite(file.fd.get(), bytes + done, size_t(size - done), off_t(at + done));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            throw writeError(file.shownAs, wrote < 0 ? errno : ENOSPC);
        }
        done += wrote;
    }
}

void ShapefileWriter::flush(File& file) {
    write(file, file.buffer.constData(), file.buffer.size());
    file.buffer.resize(0);  // keeps its memory for the next records
}

void ShapefileWriter::refuse(const File& file, const QString& limit) const {
    throw ConfluxError(
        ErrorNumber::HostFailure,
        QStringLiteral("'%1' would exceed the %2 can hold").arg(file.shownAs, limit));
}

void ShapefileWriter::append(const ShapeRecord& shape, const char* row) {
    const std::int64_t length = shape.length();
    if (m_shpBytes + 8 + length > m_limits.shpBytes) {
        refuse(m_shp, QStringLiteral("4 GB a shapefile"));
    }
    if (m_records + 1 > m_limits.dbfRecords) {
        refuse(m_dbf, QStringLiteral("%1 records a dBASE table").arg(m_limits.dbfRecords));
    }
    if (m_dbfBytes + m_schema.recordLength + 1 > m_limits.dbfBytes) {
        refuse(m_dbf, QStringLiteral("2 GB a dBASE table"));
    }
    char header[8];
    putBig(header, static_cast<std::int32_t>(m_shpBytes / 2));
    putBig(header + 4, static_cast<std::int32_t>(length / 2));
    m_shx.buffer.append(header, 8);
    putBig(header, static_cast<std::int32_t>(m_records + 1));
    m_shp.buffer.append(header, 8);
    m_shp.buffer.append(shape.content(), length);
    m_dbf.buffer.append(row, m_schema.recordLength);
    ++m_records;
    m_shpBytes += 8 + length;
    m_dbfBytes += m_schema.recordLength;
    widen(shape);
    if (m_shp.buffer.size() >= kFlushBytes || m_dbf.buffer.size() >= kFlushBytes) {
        flush(m_shp);
        flush(m_shx);
        flush(m_dbf);
    }
}

// The header's box and ranges: the shapes present, and of the measures only those that are data.
void ShapefileWriter::widen(const ShapeRecord& shape) {
    if (shape.isNull() || shape.pointCount() == 0) {
        return;
    }
    const ShapeRecord::Ranges& r = shape.ranges();
    const double low[4] = {r.minX, r.minY, r.minZ, r.minM};
    const double high[4] = {r.maxX, r.maxY, r.maxZ, r.maxM};
    const int place[4][2] = {{0, 2}, {1, 3}, {4, 5}, {6, 7}};
    for (int axis = 0; axis < 4; ++axis) {
        if (axis == 2 && !ShpType::hasZ(m_shpType)) {
            continue;
        }
        if (axis == 3 && !r.hasMeasures) {
            continue;
        }
        const bool first = axis == 3 ? !m_hasMeasures : !m_hasShape;
        double& lowSlot = m_box[place[axis][0]];
        double& highSlot = m_box[place[axis][1]];
        lowSlot = first ? low[axis] : std::min(lowSlot, low[axis]);
        highSlot = first ? high[axis] : std::max(highSlot, high[axis]);
    }
    m_hasShape = true;
    m_hasMeasures = m_hasMeasures || r.hasMeasures;
}

QByteArray ShapefileWriter::shapeHeader(std::int64_t fileBytes) const {
    QByteArray header(kShpHeaderBytes, '\0');
    putBig(header.data(), 9994);
    putBig(header.data() + 24, static_cast<std::int32_t>(fileBytes / 2));
    qToLittleEndian<qint32>(1000, header.data() + 28);
    qToLittleEndian<qint32>(m_shpType, header.data() + 32);
    for (int i = 0; i < 8; ++i) {
        qToLittleEndian<double>(m_box[i], header.data() + 36 + 8 * i);
    }
    return header;
}

QByteArray ShapefileWriter::dbfHeader() const {
    const auto fieldCount = static_cast<int>(m_schema.fields.size());
    QByteArray header(32, '\0');
    const QDate today = QDate::currentDate();
    header[0] = 0x03;
    header[1] = char(today.year() - 1900);
    header[2] = char(today.month());
    header[3] = char(today.day());
    qToLittleEndian<quint32>(static_cast<quint32>(m_records), header.data() + 4);
    qToLittleEndian<quint16>(static_cast<quint16>(32 + 32 * fieldCount + 1), header.data() + 8);
    qToLittleEndian<quint16>(static_cast<quint16>(m_schema.recordLength), header.data() + 10);
    header[29] = char(m_languageDriver);
    for (const OutputField& field : m_schema.fields) {
        QByteArray descriptor(32, '\0');
        descriptor.replace(0, std::min<qsizetype>(field.dbfName.size(), 10), field.dbfName);
        descriptor[11] = field.type;
        descriptor[16] = char(field.width & 0xFF);
        // Numbers keep their decimals here; other fields the length's high byte.
        const bool number = field.type == 'N' || field.type == 'F';
        descriptor[17] = char(number ? field.decimals : field.width >> 8);
        header += descriptor;
    }
    header += '\x0D';
    return header;
}

void ShapefileWriter::finish() {
    flush(m_shp);
    flush(m_shx);
    m_dbf.buffer.append('\x1A');
    flush(m_dbf);
    const QByteArray shp = shapeHeader(m_shpBytes);
    const QByteArray shx = shapeHeader(kShpHeaderBytes + 8 * m_records);
    const QByteArray dbf = dbfHeader();
    write(m_shp, shp.constData(), shp.size(), 0);
    write(m_shx, shx.constData(), shx.size(), 0);
    write(m_dbf, dbf.constData(), 12, 0);
}
