#include "shapefile/ShapefileReader.h"

#include "errors/ConfluxError.h"
#include "platform/FileNameCodec.h"
#include "shapefile/ShapefileFiles.h"

#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

constexpr std::int64_t kMaxSpan = 64 << 20;  // one read per block while records lie together

UniqueFd openCompanion(const ShapefileProbe& probe, const char* extension) {
    const QString path = probe.companion(QLatin1String(extension));
    return path.isEmpty() ? UniqueFd()
                          : UniqueFd::openRegularFile(FileNameCodec::encode(path).constData());
}

std::int64_t sizeOf(const UniqueFd& file) {
    struct stat info {};
    return ::fstat(file.get(), &info) == 0 ? info.st_size : -1;
}

}  // namespace

ShapefileReader::ShapefileReader(const QString& shpPath)
    : ShapefileReader(*ShapefileProbe::open(shpPath)) {}

ShapefileReader::ShapefileReader(const ShapefileProbe& probe)
    : m_shpPath(probe.shpPath()), m_shapeType(probe.shpType()), m_table(probe.table()) {
    m_shp = UniqueFd::openRegularFile(FileNameCodec::encode(m_shpPath).constData());
    if (!m_shp.isOpen()) {
        throw ShapefileFiles::unreadable(m_shpPath, QString::fromLocal8Bit(std::strerror(errno)));
    }
    m_shx = openCompanion(probe, "shx");
    if (!m_shx.isOpen()) {
        throw ShapefileFiles::unreadable(m_shpPath, QStringLiteral("its index (.shx) is missing"));
    }
    m_shpSize = sizeOf(m_shp);
    m_records = std::max<std::int64_t>(0, (sizeOf(m_shx) - ShapefileFiles::kHeaderBytes) / 8);
    if (m_table) {
        m_dbf = openCompanion(probe, "dbf");
        if (!m_dbf.isOpen()) {
            m_table.reset();  // gone since it was probed
        }
    }
}

bool ShapefileReader::readAt(const UniqueFd& file, std::int64_t offset, std::int64_t size,
                             QByteArray& into) const {
    into.resize(size);
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(file.get(), into.data() + done, size_t(size - done), off_t(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += got;
    }
    return true;
}

ShapefileReader::Next ShapefileReader::next(Block& block) {
    if (m_nextRecord >= m_records) {
        return Next::End;
    }
    block.m_reader = this;
    block.m_singles.clear();
    block.m_first = m_nextRecord;
    block.m_count = std::min(kRecordsPerBlock, m_records - m_nextRecord);
    m_nextRecord += block.m_count;
    if (!readAt(m_shx, ShapefileFiles::kHeaderBytes + 8 * block.m_first, 8 * block.m_count,
                block.m_index)) {
        return Next::Failed;
    }
    block.m_shapesStart = block.offset(0);
    const std::int64_t last = block.m_count - 1;
    const std::int64_t end = block.offset(last) + 8 + block.length(last);
    if (end <= block.m_shapesStart || end - block.m_shapesStart > kMaxSpan ||
        !readAt(m_shp, block.m_shapesStart, end - block.m_shapesStart, block.m_shapes)) {
        block.m_shapes.resize(0);  // the records are read one by one
    }
    block.m_rowCount = 0;
    if (m_table) {
        const std::int64_t rows =
            std::clamp<std::int64_t>(m_table->recordCount - block.m_first, 0, block.m_count);
        if (!readAt(m_dbf, m_table->headerLength + block.m_first * m_table->recordLength,
                    rows * m_table->recordLength, block.m_rows)) {
            return Next::Failed;
        }
        block.m_rowCount = rows;
    }
    return Next::Block;
}

std::int64_t ShapefileReader::Block::offset(std::int64_t i) const {
    return 2 * std::int64_t{qFromBigEndian<qint32>(m_index.constData() + 8 * i)};
}

std::int64_t ShapefileReader::Block::length(std::int64_t i) const {
    return 2 * std::int64_t{qFromBigEndian<qint32>(m_index.constData() + 8 * i + 4)};
}

const char* ShapefileReader::Block::row(std::int64_t i) const {
    return i < m_rowCount ? m_rows.constData() + i * m_reader->m_table->recordLength : nullptr;
}

// A record lies after the file's header and starts with its own content length, which must
// agree with the index: anything else is a damaged index entry.
QByteArrayView ShapefileReader::Block::shape(std::int64_t i) {
    const std::int64_t start = offset(i);
    const std::int64_t size = length(i);
    if (start < ShapefileFiles::kHeaderBytes || size < 0 ||
        start + 8 + size > m_reader->m_shpSize) {
        return {};
    }
    const char* record = nullptr;
    const std::int64_t inBlock = start - m_shapesStart;
    if (inBlock >= 0 && inBlock + 8 + size <= m_shapes.size()) {
        record = m_shapes.constData() + inBlock;
    } else {
        QByteArray& single = m_singles.emplace_back();
        if (!m_reader->readAt(m_reader->m_shp, start, 8 + size, single)) {
            return {};
        }
        record = single.constData();
    }
    if (2 * std::int64_t{qFromBigEndian<qint32>(record + 4)} != size) {
        return {};
    }
    return QByteArrayView(record + 8, size);
}
