#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The validated header of a dBASE table, field names still as bytes (their code page is
// decided afterwards). Shared by the reader, the cheap count query and the merge that copies
// records as bytes.
struct DbfTableHeader {
    struct Field {
        QByteArray name;
        char type = 'C';
        int length = 0;
        int decimals = 0;
        qsizetype offset = 0;
    };

    quint8 version = 0;
    qint64 recordCount = 0;
    qint64 headerLength = 0;
    qsizetype recordLength = 0;
    quint8 languageDriver = 0;
    QList<Field> fields;

    // Reads and validates the header of the open file `fd`. On failure returns false and sets
    // `error` to a message that names `path` and what is wrong.
    bool read(int fd, const QString& path, QString& error);
    // The same for a file whose size is known already.
    bool read(int fd, qint64 fileSize, const QString& path, QString& error);
    // Opens and reads the header of the table at `path`; nullopt when missing or invalid, with
    // what is wrong in `error` when given.
    static std::optional<DbfTableHeader> readFile(const QString& path, QString* error = nullptr);

    static constexpr int kLanguageDriverOffset = 29;

private:
    // Validates the header whose first bytes are `bytes` (reading the rest from `fd` when the
    // header is longer) against a file of `fileSize` bytes.
    bool parse(int fd, qint64 fileSize, QByteArray& bytes, const QString& path, QString& error);
};
