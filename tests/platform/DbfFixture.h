#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Builds dBASE tables byte by byte, so tests can also build broken ones.
struct DbfFixture {
    struct Field {
        QByteArray name;
        char type;
        int length;
        int decimals = 0;
    };

    QList<Field> fields;
    QList<QList<QByteArray>> records;  // values as stored, padded to the field length here
    QList<bool> deleted;               // parallel to records; missing entries mean not deleted
    quint8 languageDriver = 0;
    char terminator = 0x0D;  // of the field array; older dBASE III writers put 0x0A

    QByteArray header() const {
        QByteArray bytes(32, '\0');
        const int headerLength = 32 + 32 * int(fields.size()) + 1;
        int recordLength = 1;
        for (const auto& field : fields)
            recordLength += field.length;
        bytes[0] = 0x03;
        bytes[1] = 126;
        bytes[2] = 1;
        bytes[3] = 1;
        putLittleEndian(bytes, 4, quint32(records.size()), 4);
        putLittleEndian(bytes, 8, quint32(headerLength), 2);
        putLittleEndian(bytes, 10, quint32(recordLength), 2);
        bytes[29] = char(languageDriver);
        for (const auto& field : fields) {
            QByteArray descriptor(32, '\0');
            descriptor.replace(0, field.name.size(), field.name);
            descriptor[11] = field.type;
            // A character field's length has its high byte where decimals go (FoxPro, Clipper).
            descriptor[16] = char(field.length & 0xFF);
            descriptor[17] = char(field.type == 'C' ? field.length >> 8 : field.decimals);
            bytes += descriptor;
        }
        bytes += terminator;
        return bytes;
    }

    QByteArray bytes() const {
        QByteArray out = header();
        for (qsizetype r = 0; r < records.size(); ++r) {
            out += (r < deleted.size() && deleted[r]) ? '*' : ' ';
            for (qsizetype f = 0; f < fields.size(); ++f) {
                QByteArray value = records[r].value(f).left(fields[f].length);
                const bool rightAligned = fields[f].type == 'N' || fields[f].type == 'F';
                value = rightAligned ? value.rightJustified(fields[f].length, ' ')
                                     : value.leftJustified(fields[f].length, ' ');
                out += value;
            }
        }
        return out + '\x1A';
    }

    static void putLittleEndian(QByteArray& bytes, int at, quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = char((value >> (8 * i)) & 0xFF);
    }

    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
};
