#include "formats/shapefile/ShapefileByteCopy.h"

#include "formats/shapefile/ShapeRecordCopier.h"
#include "formats/shapefile/ShapefileFiles.h"
#include "formats/shapefile/ShapefileOutput.h"
#include "host/MergeProgressTracker.h"

#include <QFile>
#include <QtEndian>

#include <limits>

namespace {
constexpr std::int64_t kRecordsPerBlock = 8192;
constexpr std::int64_t kMaxSpan = 64 << 20;  // one read per block while records lie together

// One block of an input: index entries, the .shp bytes they point into, the table rows.
struct InputBlock {
    std::int64_t count = 0;
    QByteArray index;  // 8 bytes per record
    QByteArray shapes;
    std::int64_t shapesStart = 0;
    QByteArray rows;

    std::int64_t offset(std::int64_t i) const {
        return 2 * std::int64_t{qFromBigEndian<qint32>(index.constData() + 8 * i)};
    }
    std::int64_t length(std::int64_t i) const {
        return 2 * std::int64_t{qFromBigEndian<qint32>(index.constData() + 8 * i + 4)};
    }
};

// Reads `size` bytes into `buffer`, reusing its memory from block to block.
bool readInto(QFile& file, QByteArray& buffer, std::int64_t size) {
    buffer.resize(size);
    return file.read(buffer.data(), size) == size;
}

// Reads `count` records from `first` on; false when the files end early.
bool readBlock(QFile& shp, QFile& shx, QFile& dbf, const DbfTableHeader& table, std::int64_t first,
               std::int64_t count, InputBlock& block) {
    block.count = count;
    if (!shx.seek(100 + 8 * first)) {
        return false;
    }
    if (!readInto(shx, block.index, 8 * count)) {
        return false;
    }
    block.shapesStart = block.offset(0);
    const std::int64_t end = block.offset(count - 1) + 8 + block.length(count - 1);
    if (end <= block.shapesStart || end - block.shapesStart > kMaxSpan ||
        !shp.seek(block.shapesStart) || !readInto(shp, block.shapes, end - block.shapesStart)) {
        block.shapes.resize(0);  // the records are read one by one
    }
    return dbf.seek(table.headerLength + first * table.recordLength) &&
           readInto(dbf, block.rows, count * table.recordLength);
}

// The content of record i (after its 8-byte header), from the block or read alone. A record
// lies after the file's 100-byte header and starts with its own content length, which
// must agree with the index: anything else is a damaged index, and its entry is unreadable.
QByteArrayView recordContent(const InputBlock& block, std::int64_t i, QFile& shp,
                             QByteArray& scratch) {
    const std::int64_t start = block.offset(i);
    const std::int64_t length = block.length(i);
    if (start < 100 || length < 0 || length > std::numeric_limits<int>::max() - 8) {
        return {};
    }
    const char* record = nullptr;
    const std::int64_t inBlock = start - block.shapesStart;
    if (inBlock >= 0 && inBlock + 8 + length <= block.shapes.size()) {
        record = block.shapes.constData() + inBlock;
    } else {
        if (!shp.seek(start)) {
            return {};
        }
        scratch = shp.read(8 + length);
        if (scratch.size() != 8 + length) {
            return {};
        }
        record = scratch.constData();
    }
    if (2 * std::int64_t{qFromBigEndian<qint32>(record + 4)} != length) {
        return {};
    }
    return QByteArrayView(record + 8, length);
}
}  // namespace

struct ShapefileByteCopy::Scratch {
    InputBlock block;
    QByteArray record;
    ShapeRecordCopier::Buffers output;
};

ShapefileByteCopy::ShapefileByteCopy(ShapefileOutput* output, std::int32_t shpType)
    : m_output(output), m_shpType(shpType), m_scratch(std::make_unique<Scratch>()) {}

ShapefileByteCopy::~ShapefileByteCopy() = default;

bool ShapefileByteCopy::tryCopy(const QString& shpPath, MergeProgressTracker& progress,
                                MergeReport& report) {
    if (!m_output || ShapefileFiles::readShpType(shpPath) != m_shpType) {
        return false;
    }
    QFile shp(shpPath);
    QFile shx(ShapefileFiles::sidecar(shpPath, QStringLiteral("shx")));
    QFile dbf(ShapefileFiles::sidecar(shpPath, QStringLiteral("dbf")));
    const auto table = DbfTableHeader::readFile(dbf.fileName());
    if (!table || !shp.open(QIODevice::ReadOnly) || !shx.open(QIODevice::ReadOnly) ||
        !dbf.open(QIODevice::ReadOnly)) {
        return false;
    }
    if (!m_outputDbf) {
        m_output->closeFeatureLayer();
        m_outputDbf = DbfTableHeader::readFile(m_output->tempPath(QStringLiteral("dbf")));
    }
    const std::int64_t records = (shx.size() - 100) / 8;
    if (!m_outputDbf || !m_outputDbf->sameLayout(*table) || table->recordCount != records ||
        records < 0) {
        return false;
    }
    m_output->closeFeatureLayer();
    ShapeRecordCopier copier(
        m_output->tempPath(QStringLiteral("shp")), m_output->tempPath(QStringLiteral("shx")),
        m_output->tempPath(QStringLiteral("dbf")), m_shpType,
        static_cast<int>(m_outputDbf->headerLength), static_cast<int>(m_outputDbf->recordLength),
        m_output->hasShapes(), m_scratch->output);
    InputBlock& block = m_scratch->block;
    QByteArray& scratch = m_scratch->record;
    for (std::int64_t first = 0; first < records; first += kRecordsPerBlock) {
        const std::int64_t count = std::min(kRecordsPerBlock, records - first);
        if (!readBlock(shp, shx, dbf, *table, first, count, block)) {
            report.unreadable += records - first;
            break;
        }
        for (std::int64_t i = 0; i < count; ++i) {
            const char* row = block.rows.constData() + i * table->recordLength;
            if (*row == '*') {
                continue;  // a deleted row is no feature
            }
            const QByteArrayView content = recordContent(block, i, shp, scratch);
            if (!content.isEmpty() &&
                copier.append(content.data(), static_cast<int>(content.size()), row)) {
                ++report.featuresWritten;
            } else {
                ++report.unreadable;
            }
        }
        progress.advance(count);
    }
    copier.finish();
    if (copier.hasShapes()) {
        m_output->shapesAppended();
    }
    return true;
}
