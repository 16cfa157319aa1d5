#pragma once

#include "platform/TextDecoder.h"
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// One field descriptor of a dBASE table. `offset` counts from the start of a record, whose
// first byte is the deleted flag.
struct DbfField {
    QString name;
    char type = 'C';  // C N F D L M, or another letter stored as is
    int length = 0;
    int decimals = 0;
    qsizetype offset = 0;
};

// The two counts the candidate grid shows for a table.
struct DbfHeaderCounts {
    qint64 recordCount = 0;
    qsizetype fieldCount = 0;
};

// One record as stored: the deleted flag and the raw bytes of the whole record.
struct DbfRecord {
    bool deleted = false;
    QByteArray bytes;
};

// Read-only access to a dBASE III/IV table (.dbf). The header is validated on opening; records
// are read on demand through a small block buffer, so a huge table opens at once. The reader
// owns one file descriptor for its lifetime and nothing beyond it.
class DbfReader {
public:
    enum class CodePageSource { Cpg, LanguageDriver, Guessed };

    // Opens and validates the table; check isOpen() and errorString() afterwards.
    explicit DbfReader(const QString& dbfPath);

    bool isOpen() const { return m_fd.isOpen(); }
    // Why opening or the last read failed, naming the file; empty when all went well.
    const QString& errorString() const { return m_error; }

    const QString& path() const { return m_path; }
    qint64 recordCount() const { return m_recordCount; }
    qsizetype fieldCount() const { return m_fields.size(); }
    const QList<DbfField>& fields() const { return m_fields; }
    quint8 languageDriver() const { return m_languageDriver; }
    // The iconv name of the code page the text fields are decoded with.
    const QByteArray& codePage() const { return m_decoder.codePage(); }
    CodePageSource codePageSource() const { return m_codePageSource; }

    // Record `index` (0-based); nullopt when out of range or unreadable (see errorString()).
    std::optional<DbfRecord> record(qint64 index) const;
    // Field `field` of a record as a user reads it: trimmed text in the table's code page,
    // numbers as stored, dates as YYYY-MM-DD, logicals as "True"/"False", empty when blank.
    QString displayText(const DbfRecord& record, qsizetype field) const;
    // The same field typed: QString, double, qint64, QDate or bool; a null QVariant when blank.
    QVariant value(const DbfRecord& record, qsizetype field) const;

    // Field and record counts from the header alone, validated as on opening; nullopt when the
    // file is missing, truncated or malformed. Opens and closes the file within the call.
    static std::optional<DbfHeaderCounts> readCounts(const QString& dbfPath);

private:
    bool readBlock(qint64 index) const;
    void chooseCodePage(const QByteArray& fieldNameBytes);
    QByteArray textSample() const;

    QString m_path;
    UniqueFd m_fd;
    mutable QString m_error;
    qint64 m_recordCount = 0;
    qint64 m_headerLength = 0;
    qsizetype m_recordLength = 0;
    quint8 m_languageDriver = 0;
    QList<DbfField> m_fields;
    TextDecoder m_decoder{QByteArray()};
    CodePageSource m_codePageSource = CodePageSource::Guessed;

    // The block of records read last.
    mutable qint64 m_blockFirst = -1;
    mutable qint64 m_blockCount = 0;
    mutable QByteArray m_block;
};
