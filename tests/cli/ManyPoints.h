#pragma once

#include "platform/DbfFixture.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QtEndian>

// `count` points written as bytes: far quicker than through GDAL for a large input.
inline void manyPoints(const QString& folder, const QString& name, int count) {
    const auto header = [count](qint32 words) {
        QByteArray bytes(100, '\0');
        qToBigEndian<qint32>(9994, bytes.data());
        qToBigEndian<qint32>(words, bytes.data() + 24);
        qToLittleEndian<qint32>(1000, bytes.data() + 28);
        qToLittleEndian<qint32>(1, bytes.data() + 32);
        qToLittleEndian<double>(double(count), bytes.data() + 52);  // x max
        qToLittleEndian<double>(1.0, bytes.data() + 60);            // y max
        return bytes;
    };
    QByteArray shp = header(50 + 14 * count);
    QByteArray shx = header(50 + 4 * count);
    DbfFixture dbf;
    dbf.fields = {{"ID", 'N', 9}};
    for (int i = 0; i < count; ++i) {
        char record[28];
        qToBigEndian<qint32>(i + 1, record);
        qToBigEndian<qint32>(10, record + 4);
        qToLittleEndian<qint32>(1, record + 8);
        qToLittleEndian<double>(double(i), record + 12);
        qToLittleEndian<double>(1.0, record + 20);
        char index[8];
        qToBigEndian<qint32>(50 + 14 * i, index);
        qToBigEndian<qint32>(10, index + 4);
        shp.append(record, sizeof record);
        shx.append(index, sizeof index);
        dbf.records.append({QByteArray::number(i)});
    }
    DbfFixture::write(QDir(folder).filePath(name + ".shp"), shp);
    DbfFixture::write(QDir(folder).filePath(name + ".shx"), shx);
    DbfFixture::write(QDir(folder).filePath(name + ".dbf"), dbf.bytes());
}
