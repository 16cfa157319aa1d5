#include "platform/DbfReader.h"

#include "platform/CodePage.h"
#include "platform/DbfTableHeader.h"
#include "platform/FileNameCodec.h"

#include <QDate>
#include <QtEndian>

#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;
constexpr qint64 kSampleRecords = 200;
constexpr qint64 kCpgMaxBytes = 256;

UniqueFd openReadOnly(const QString& path) {
    return UniqueFd::openRegularFile(FileNameCodec::encode(path).constData());
}

// The .cpg beside the table (same base name, either case of the extension), if any.
std::optional<QByteArray> readCpgBeside(const QString& dbfPath) {
    const qsizetype dot = dbfPath.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < dbfPath.lastIndexOf(QLatin1Char('/')))
        return std::nullopt;
    const QString base = dbfPath.left(dot);
    for (const char* extension : {".cpg", ".CPG", ".Cpg"}) {
        const UniqueFd cpg = openReadOnly(base + QLatin1String(extension));
        if (!cpg.isOpen())
            continue;
        char text[kCpgMaxBytes];
        const ssize_t got = ::read(cpg.get(), text, sizeof text);
        return got > 0 ? CodePage::codePageFromCpg(QByteArray(text, got)) : std::nullopt;
    }
    return std::nullopt;
}

QString trimmedLatin1(QByteArrayView bytes) {
    return QString::fromLatin1(bytes).trimmed();
}

}  // namespace

DbfReader::DbfReader(const QString& dbfPath) : m_path(dbfPath) {
    UniqueFd fd = openReadOnly(dbfPath);
    if (!fd.isOpen()) {
        m_error = QStringLiteral("Table '%1': %2")
                      .arg(dbfPath, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    DbfTableHeader header;
    if (!header.read(fd.get(), dbfPath, m_error))
        return;
    m_recordCount = header.recordCount;
    m_headerLength = header.headerLength;
    m_recordLength = header.recordLength;
    m_languageDriver = header.languageDriver;
    QByteArray nameBytes;
    for (const auto& field : header.fields) {
        m_fields.append(
            DbfTableField{QString(), field.type, field.length, field.decimals, field.offset});
        nameBytes += field.name + ' ';
    }
    m_fd = std::move(fd);
    chooseCodePage(nameBytes);
    const TextDecoder& decoder = m_decoder;
    for (qsizetype i = 0; i < m_fields.size(); ++i)
        m_fields[i].name = decoder.decode(header.fields[i].name);
}

// The .cpg wins over the language-driver byte, as the tools that write both intend; a table
// that declares neither is read as its text looks.
void DbfReader::chooseCodePage(const QByteArray& fieldNameBytes) {
    if (const auto fromCpg = readCpgBeside(m_path)) {
        m_decoder = TextDecoder(*fromCpg);
        m_codePageSource = CodePageSource::Cpg;
    } else if (const auto fromDriver = CodePage::codePageFromLanguageDriver(m_languageDriver)) {
        m_decoder = TextDecoder(*fromDriver);
        m_codePageSource = CodePageSource::LanguageDriver;
    } else {
        m_decoder = TextDecoder(CodePage::guessCodePage(fieldNameBytes + textSample()));
        m_codePageSource = CodePageSource::Guessed;
    }
}

// Text fields of the first records, for guessing an undeclared code page.
QByteArray DbfReader::textSample() const {
    QByteArray sample;
    const qint64 count = std::min(m_recordCount, kSampleRecords);
    for (qint64 i = 0; i < count; ++i) {
        const auto rec = record(i);
        if (!rec)
            break;
        for (const auto& field : m_fields) {
            if (field.type == 'C')
                sample += rec->bytes.mid(field.offset, field.length).trimmed() + ' ';
        }
    }
    return sample;
}

bool DbfReader::readBlock(qint64 index) const {
    const qint64 perBlock = std::max<qint64>(1, kBlockBytes / m_recordLength);
    const qint64 first = index - index % perBlock;
    const qint64 count = std::min(perBlock, m_recordCount - first);
    const qint64 bytes = count * m_recordLength;
    m_block.resize(bytes);
    qint64 done = 0;
    while (done < bytes) {
        const ssize_t got = ::pread(m_fd.get(), m_block.data() + done, size_t(bytes - done),
                                    off_t(m_headerLength + first * m_recordLength + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            m_blockFirst = -1;
            const QString why = got < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                        : QStringLiteral("file shorter than its header declares");
            m_error = QStringLiteral("Table '%1': %2").arg(m_path, why);
            return false;
        }
        done += got;
    }
    m_blockFirst = first;
    m_blockCount = count;
    return true;
}

std::optional<DbfRecord> DbfReader::record(qint64 index) const {
    if (!isOpen() || index < 0 || index >= m_recordCount)
        return std::nullopt;
    if ((m_blockFirst < 0 || index < m_blockFirst || index >= m_blockFirst + m_blockCount) &&
        !readBlock(index))
        return std::nullopt;
    DbfRecord result;
    result.bytes = m_block.mid((index - m_blockFirst) * m_recordLength, m_recordLength);
    result.deleted = result.bytes.at(0) == '*';
    return result;
}

QString DbfReader::displayText(const DbfRecord& record, qsizetype field) const {
    const QVariant typed = value(record, field);
    if (typed.isNull())
        return QString();
    if (typed.typeId() == QMetaType::QDate)
        return typed.toDate().toString(Qt::ISODate);
    if (typed.typeId() == QMetaType::Bool)
        return typed.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (typed.typeId() == QMetaType::QString)
        return typed.toString();
    // Text-stored numbers show as stored, so "12.50" keeps its decimals.
    const DbfTableField& f = m_fields.at(field);
    if (f.type == 'N' || f.type == 'F')
        return trimmedLatin1(QByteArrayView(record.bytes).sliced(f.offset, f.length));
    return typed.toString();
}

QVariant DbfReader::value(const DbfRecord& record, qsizetype field) const {
    if (field < 0 || field >= m_fields.size() || record.bytes.size() != m_recordLength)
        return QVariant();
    const DbfTableField& f = m_fields.at(field);
    const QByteArrayView raw = QByteArrayView(record.bytes).sliced(f.offset, f.length);
    const QByteArray text = raw.toByteArray().trimmed();
    switch (f.type) {
        case 'N':
        case 'F': {
            bool ok = false;
            if (f.decimals == 0) {
                const qint64 whole = text.toLongLong(&ok);
                if (ok)
                    return whole;
            }
            const double number = text.toDouble(&ok);
            return ok ? QVariant(number) : QVariant();
        }
        case 'D': {
            const QDate date =
                QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyyMMdd"));
            return date.isValid() ? QVariant(date) : QVariant();
        }
        case 'L':
            if (text.isEmpty() || text == "?")
                return QVariant();
            return QVariant(QByteArrayView("TtYy").contains(text.at(0)));
        case 'I':
            if (f.length == 4)
                return qint64(qFromLittleEndian<qint32>(raw.data()));
            break;
        default:
            break;
    }
    if (f.type == 'C') {
        qsizetype end = raw.size();
        while (end > 0 && (raw[end - 1] == ' ' || raw[end - 1] == '\0'))
            --end;  // some writers pad with NULs
        const QString decoded = m_decoder.decode(raw.first(end)).trimmed();
        return decoded.isEmpty() ? QVariant() : QVariant(decoded);
    }
    return text.isEmpty() ? QVariant() : QVariant(QString::fromLatin1(text));
}

std::optional<DbfHeaderCounts> DbfReader::readCounts(const QString& dbfPath) {
    const auto header = DbfTableHeader::readFile(dbfPath);
    if (!header)
        return std::nullopt;
    return DbfHeaderCounts{header->recordCount, header->fields.size()};
}
