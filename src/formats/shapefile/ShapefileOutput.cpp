#include "formats/shapefile/ShapefileOutput.h"

#include "formats/shapefile/ShapeConvert.h"
#include "host/ShapefileFeatureClass.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {
// Files that belong to a shapefile besides .shp; an index or declaration left from a replaced
// shapefile would misdescribe the new one.
const QStringList kCompanions{"shp", "shx", "dbf", "prj", "cpg", "sbn", "sbx",
                              "qix", "fbn", "fbx", "ain", "aih", "atx", "shp.xml"};

QString randomTag() {
    return QString::number(QRandomGenerator::global()->generate64(), 36);
}

ConfluxError fileError(const QString& what, const QString& path, const QString& cause = {}) {
    return ConfluxError(ErrorNumber::HostFailure,
                        cause.isEmpty() ? QStringLiteral("%1 '%2'").arg(what, path)
                                        : QStringLiteral("%1 '%2': %3").arg(what, path, cause));
}

// The existing files of shapefile `name` in `dir`: extension as written -> file name. The base
// name must match exactly: on this platform "ROADS.shp" is another shapefile than "roads.shp".
// Companions whose extension differs in case belong to it only when its own "name.shp" exists
// (the one the user agreed to replace); otherwise they may be another shapefile's.
QList<std::pair<QString, QString>> existingFiles(const QDir& dir, const QString& name) {
    QList<std::pair<QString, QString>> found;
    const QString prefix = name + QLatin1Char('.');
    const Qt::CaseSensitivity extensionCase =
        dir.exists(prefix + QStringLiteral("shp")) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString extension = entry.mid(prefix.size());
        if (entry.startsWith(prefix) && kCompanions.contains(extension, extensionCase)) {
            found.append({extension, entry});
        }
    }
    return found;
}
}  // namespace

ShapefileOutput::ShapefileOutput(const QString& folder, const QString& name,
                                 const OutputSchema& schema, std::int32_t shpType,
                                 const QByteArray& prj, const ShapefileLimits& limits)
    : m_folder(folder),
      m_name(name),
      m_tempBase(QDir(folder).filePath(QStringLiteral(".conflux-") + randomTag())),
      m_schema(schema),
      m_shpType(shpType),
      m_prj(prj),
      m_row(schema.recordLength, ' ') {
    try {
        m_writer = std::make_unique<ShapefileWriter>(
            m_tempBase, QDir(folder).filePath(name), shpType, schema,
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
    return m_tempBase + QLatin1Char('.') + extension;
}

bool ShapefileOutput::beginInput(std::int32_t shapeType, RowMapper& rows) {
    m_rows = &rows;
    return shapeType == m_shpType && rows.copiesWholeRows();
}

void ShapefileOutput::write(const ShapeRecord& shape, const char* row, RowChanges& changes) {
    const ShapeRecord* written = &shape;
    if (!shape.isNull() && shape.type() != m_shpType) {
        ShapeConvert::convert(shape, m_shpType, m_record);
        m_converted.parse(m_record.constData(), m_record.size());
        written = &m_converted;
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
        QFile file(tempPath(extension));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush()) {
            throw fileError(QStringLiteral("Cannot write"),
                            QDir(m_folder).filePath(m_name + QLatin1Char('.') + extension),
                            file.errorString());
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
    QDir dir(m_folder);
    const QString backupBase = QStringLiteral(".conflux-old-") + randomTag();
    QList<std::pair<QString, QString>> movedAside;  // original name -> backup name
    QStringList placed;
    auto rollBack = [&] {
        for (const QString& file : placed) {
            dir.remove(file);
        }
        for (const auto& [original, backup] : movedAside) {
            dir.rename(backup, original);
        }
    };
    for (const auto& [extension, entry] : existingFiles(dir, m_name)) {
        const QString backup = backupBase + QLatin1Char('.') + extension;
        if (!dir.rename(entry, backup)) {
            rollBack();
            throw fileError(QStringLiteral("Cannot replace"), dir.filePath(entry));
        }
        movedAside.append({entry, backup});
    }
    for (const QString& extension : kCompanions) {
        if (!QFile::exists(tempPath(extension))) {
            continue;
        }
        const QString target = m_name + QLatin1Char('.') + extension;
        if (!QFile::rename(tempPath(extension), dir.filePath(target))) {
            rollBack();
            throw fileError(QStringLiteral("Cannot write"), dir.filePath(target));
        }
        placed.append(target);
    }
    for (const auto& aside : movedAside) {
        dir.remove(aside.second);
    }
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
    const QFileInfo base(m_tempBase);
    QDir dir = base.dir();
    const QString prefix = base.fileName() + QLatin1Char('.');
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.startsWith(prefix)) {
            dir.remove(entry);
        }
    }
}
