#include "host/DbfHeader.h"

#include <QFile>
#include <QtEndian>

std::optional<DbfHeader> DbfHeader::read(const QString& dbfPath) {
    QFile file(dbfPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray start = file.read(32);
    if (start.size() < 32) {
        return std::nullopt;
    }
    const int headerLength = qFromLittleEndian<quint16>(start.constData() + 8);
    return parse(start + file.read(headerLength - 32));
}

std::optional<DbfHeader> DbfHeader::parse(const QByteArray& bytes) {
    if (bytes.size() < 32) {
        return std::nullopt;
    }
    const char* data = bytes.constData();
    DbfHeader header;
    header.languageDriver = static_cast<std::uint8_t>(data[kDbfLanguageDriverOffset]);
    header.recordCount = qFromLittleEndian<quint32>(data + 4);
    header.headerLength = qFromLittleEndian<quint16>(data + 8);
    header.recordLength = qFromLittleEndian<quint16>(data + 10);
    if (header.headerLength < 33 || bytes.size() < header.headerLength || header.recordLength < 1) {
        return std::nullopt;
    }
    int offset = 1;
    for (int at = 32; at + 32 <= header.headerLength && data[at] != '\r'; at += 32) {
        DbfField field;
        const QByteArray rawName(data + at, 11);
        const qsizetype end = rawName.indexOf('\0');
        field.name = end < 0 ? rawName : rawName.left(end);
        field.type = data[at + 11];
        field.length = static_cast<std::uint8_t>(data[at + 16]);
        field.decimals = static_cast<std::uint8_t>(data[at + 17]);
        field.offset = offset;
        offset += field.length;
        header.fields.push_back(field);
    }
    if (offset > header.recordLength) {
        return std::nullopt;
    }
    return header;
}

bool DbfHeader::sameLayout(const DbfHeader& other) const {
    if (recordLength != other.recordLength || fields.size() != other.fields.size()) {
        return false;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const DbfField& a = fields[i];
        const DbfField& b = other.fields[i];
        if (a.name.toUpper() != b.name.toUpper() || a.type != b.type || a.length != b.length ||
            a.decimals != b.decimals || a.offset != b.offset) {
            return false;
        }
    }
    return true;
}
