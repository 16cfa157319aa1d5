#include "formats/shapefile/ShapefileOutput.h"

#include "formats/shapefile/ShapefileFeatureClass.h"
#include "platform/CodePage.h"
#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "shapefile/ShapeConvert.h"

#include <QDir>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {
ConfluxError fileError(const QString& what, const QString& path, const QString& cause = {}) {
    return ConfluxError(ErrorNumber::HostFailure,
                        cause.isEmpty() ? QStringLiteral("%1 '%2'").arg(what, path)
                                        : QStringLiteral("%1 '%2': %3").arg(what, path, cause));
}

constexpr int kNumberWidth = 11;

OutputSchema numberedTable(const OutputSchema& schema) {
    OutputSchema numbered = schema;
    numbered.fields.push_back(OutputField::named(QStringLiteral("FID"), 'N', kNumberWidth));
    numbered.recordLength = 1 + kNumberWidth;
    return numbered;
}
}  // namespace

ShapefileOutput::ShapefileOutput(const QString& folder, const QString& name,
                                 const OutputSchema& schema, std::int32_t shpType,
                                 const QByteArray& prj, const ShapefileLimits& limits)
    : m_folder(folder),
      m_name(name),
      m_staging(folder, name),
      m_schema(schema),
      m_shpType(shpType),
      m_prj(prj),
      m_row(schema.recordLength, ' ') {
    if (schema.fields.empty()) {
        m_numbered = numberedTable(schema);
        m_row.fill(' ', m_numbered.recordLength);
    }
    try {
        const QString shp = tempPath(QStringLiteral("shp"));
        m_writer = std::make_unique<ShapefileWriter>(
            shp.left(shp.size() - 4), QDir(folder).filePath(name), shpType,
            schema.fields.empty() ? m_numbered : schema,
            CodePage::languageDriverForCodePage(schema.codePage), limits);
    } catch (...) {
        removeTemporaries();
        throw;
    }
}

ShapefileOutput::~ShapefileOutput() {
    if (!m_committed) {
        removeTemporaries();
    }
}

QString ShapefileOutput::tempPath(const QString& extension) const {
    return m_staging.tempPath(extension);
}

bool ShapefileOutput::beginInput(std::int32_t shapeType, RowMapper& rows) {
    m_rows = &rows;
    return shapeType == m_shpType && rows.copiesWholeRows() && !m_schema.fields.empty();
}

void ShapefileOutput::write(const ShapeRecord& shape, const char* row, RowChanges& changes) {
    const ShapeRecord* written = &shape;
    if (!shape.isNull() && shape.type() != m_shpType) {
        ShapeConvert::convert(shape, m_shpType, m_record);
        m_converted.parse(m_record.constData(), m_record.size());
        written = &m_converted;
    }
    if (m_schema.fields.empty()) {
        const QByteArray number = QByteArray::number(m_writer->records());
        m_row.replace(m_row.size() - number.size(), number.size(), number);
        m_writer->append(*written, m_row.constData());
        return;
    }
    if (row && m_rows->copiesWholeRows() && row[0] == ' ') {
        m_writer->append(*written, row);
        return;
    }
    m_rows->writeRecord(row, m_row.data(), changes);
    m_writer->append(*written, m_row.constData());
}

// The code page's .cpg and the template's .prj; the language driver is in the .dbf already.
void ShapefileOutput::writeDeclarations() {
    const auto declare = [this](const QString& extension, const QByteArray& text) {
        const UniqueFd file(::open(FileNameCodec::encode(tempPath(extension)).constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!file.isOpen() || ::write(file.get(), text.constData(), size_t(text.size())) !=
                                  static_cast<ssize_t>(text.size())) {
            throw fileError(QStringLiteral("Cannot write"),
                            QDir(m_folder).filePath(m_name + QLatin1Char('.') + extension),
                            FileEntry::systemErrorText(errno));
        }
    };
    if (!m_schema.codePage.isEmpty()) {
        declare(QStringLiteral("cpg"), CodePage::cpgTextFor(m_schema.codePage));
    }
    if (!m_prj.isEmpty()) {
        declare(QStringLiteral("prj"), m_prj);
    }
}

void ShapefileOutput::replaceExisting() {
    m_staging.replaceExisting();
}

std::shared_ptr<IFeatureClass> ShapefileOutput::commit() {
    m_writer->finish();
    m_writer.reset();
    writeDeclarations();
    replaceExisting();
    m_committed = true;
    return std::make_shared<ShapefileFeatureClass>(
        QDir(m_folder).filePath(m_name + QStringLiteral(".shp")));
}

void ShapefileOutput::removeTemporaries() {
    m_writer.reset();
    m_staging.removeTemporaries();
}
