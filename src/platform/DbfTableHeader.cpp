#include "platform/DbfTableHeader.h"

#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "platform/UniqueFd.h"

#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 kPrefixLength = 32;
constexpr qint64 kDescriptorLength = 32;
// The field array ends with 0x0D; some older dBASE III writers end it with 0x0A.
constexpr char kTerminator = 0x0D;
constexpr char kOldTerminator = 0x0A;
constexpr qint64 kFirstRead = 4096;  // holds the whole header of all but very wide tables

bool isKnownVersion(quint8 version) {
    // dBASE III/IV/V with or without memo, and the FoxPro variants that share the layout.
    const int level = version & 0x07;
    return level == 3 || level == 4 || level == 5 || version == 0x30 || version == 0x31 ||
           version == 0x32 || version == 0xF5 || version == 0xFB;
}

// Reads `length` bytes at `offset` (fewer at end of file); false on an I/O error.
bool readAt(int fd, qint64 offset, qint64 length, QByteArray& out) {
    out.resize(length);
    qint64 done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, out.data() + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    out.resize(done);
    return true;
}

// One field descriptor. A character field longer than 255 keeps its length's high byte in the
// decimal-count byte, as FoxPro and Clipper write it (a character field has no decimals).
DbfTableHeader::Field descriptorAt(const uchar* descriptor) {
    DbfTableHeader::Field field;
    field.name = QByteArray(reinterpret_cast<const char*>(descriptor),
                            qstrnlen(reinterpret_cast<const char*>(descriptor), 11));
    field.type = char(descriptor[11]);
    field.length = descriptor[16];
    field.decimals = descriptor[17];
    if (field.type == 'C') {
        field.length += 256 * field.decimals;
        field.decimals = 0;
    }
    return field;
}

bool fail(QString& error, const QString& path, const QString& what) {
    error = QStringLiteral("Table '%1': %2").arg(path, what);
    return false;
}

}  // namespace

bool DbfTableHeader::read(int fd, const QString& path, QString& error) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return fail(error, path, QString::fromLocal8Bit(std::strerror(errno)));
    return read(fd, info.st_size, path, error);
}

bool DbfTableHeader::read(int fd, qint64 fileSize, const QString& path, QString& error) {
    QByteArray bytes;
    // No more than the file holds: asking for more costs a second read that only finds its end.
    if (!readAt(fd, 0, std::min(kFirstRead, std::max<qint64>(fileSize, kPrefixLength)), bytes))
        return fail(error, path, QString::fromLocal8Bit(std::strerror(errno)));
    return parse(fd, fileSize, bytes, path, error);
}

bool DbfTableHeader::parse(int fd, qint64 fileSize, QByteArray& bytes, const QString& path,
                           QString& error) {
    if (bytes.size() < kPrefixLength)
        return fail(error, path, QStringLiteral("header truncated (%1 bytes)").arg(bytes.size()));

    const uchar* raw = reinterpret_cast<const uchar*>(bytes.constData());
    version = raw[0];
    recordCount = qFromLittleEndian<quint32>(raw + 4);
    headerLength = qFromLittleEndian<quint16>(raw + 8);
    recordLength = qFromLittleEndian<quint16>(raw + 10);
    languageDriver = raw[kLanguageDriverOffset];
    if (!isKnownVersion(version))
        return fail(error, path,
                    QStringLiteral("not a dBASE table (version byte 0x%1)")
                        .arg(version, 2, 16, QLatin1Char('0')));
    // A table without fields (a layer without attributes) is a prefix and the terminator.
    if (headerLength < kPrefixLength + 1)
        return fail(error, path, QStringLiteral("header length %1 is too small").arg(headerLength));
    if (headerLength > fileSize)
        return fail(
            error, path,
            QStringLiteral("header truncated (%1 of %2 bytes)").arg(fileSize).arg(headerLength));
    if (headerLength > bytes.size() && !readAt(fd, 0, headerLength, bytes))
        return fail(error, path, QString::fromLocal8Bit(std::strerror(errno)));
    if (bytes.size() < headerLength)
        return fail(error, path, QStringLiteral("header truncated"));
    raw = reinterpret_cast<const uchar*>(bytes.constData());

    fields.clear();
    qint64 at = kPrefixLength;
    qsizetype offset = 1;  // the deleted flag
    for (; at < headerLength && bytes.at(at) != kTerminator && bytes.at(at) != kOldTerminator;
         at += kDescriptorLength) {
        if (at + kDescriptorLength >= headerLength)
            return fail(error, path, QStringLiteral("field descriptors not terminated by 0x0D"));
        Field field = descriptorAt(raw + at);
        field.offset = offset;
        if (field.length == 0)
            return fail(error, path,
                        QStringLiteral("field %1 has length 0").arg(fields.size() + 1));
        offset += field.length;
        fields.append(field);
    }
    if (at >= headerLength)
        return fail(error, path, QStringLiteral("field descriptors not terminated by 0x0D"));
    if (recordLength != offset)
        return fail(error, path,
                    QStringLiteral("record length %1 differs from the fields' %2")
                        .arg(recordLength)
                        .arg(offset));
    const qint64 available = (fileSize - headerLength) / recordLength;
    if (available < recordCount)
        return fail(error, path,
                    QStringLiteral("declares %1 records, the file holds %2")
                        .arg(recordCount)
                        .arg(available));
    return true;
}

// The scan reads one header per file found, so its system calls count. One positional read of
// the first 4 KiB holds the whole of a small table: when it ends short, at a dBASE prefix's
// length or more, the entry is a regular file at its end (named pipes, sockets, terminals and
// folders refuse positional reads; devices fill the buffer or give nothing), and a header that
// agrees with that size needs no status call. Anything else asks the file's status: only a
// regular file is read, with its true size.
std::optional<DbfTableHeader> DbfTableHeader::readFile(const QString& path, QString* error) {
    QString problem;
    auto header = [&]() -> std::optional<DbfTableHeader> {
        const UniqueFd fd = UniqueFd::openNeverWaiting(FileNameCodec::encode(path).constData());
        if (!fd.isOpen()) {
            problem = QStringLiteral("'%1' cannot be opened: %2")
                          .arg(path, FileEntry::systemErrorText(errno));
            return std::nullopt;
        }
        QByteArray bytes(kFirstRead, Qt::Uninitialized);
        ssize_t got;
        do {
            got = ::pread(fd.get(), bytes.data(), size_t(kFirstRead), 0);
        } while (got < 0 && errno == EINTR);
        problem = QStringLiteral("'%1' is no regular file").arg(path);
        if (got < 0)
            return std::nullopt;  // a pipe, socket, terminal or folder
        bytes.resize(got);
        DbfTableHeader read;
        if (got >= kPrefixLength && got < kFirstRead &&
            read.parse(fd.get(), got, bytes, path, problem))
            return read;
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        if (got < kFirstRead && info.st_size == got)
            return std::nullopt;  // the short read was its end after all: `problem` says why
        read = DbfTableHeader();
        if (!read.read(fd.get(), info.st_size, path, problem))
            return std::nullopt;
        return read;
    }();
    if (!header && error)
        *error = problem;
    return header;
}
