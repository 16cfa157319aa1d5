#pragma once

#include "ShapefileFixture.h"

#include <QDir>
#include <QString>

// Small shapefile trees for the command-line tests.
namespace CliFixture {

// WKT of one feature of a geometry type name ("LINESTRING", "POINT", "POLYGON").
inline QByteArray sampleWkt(const QByteArray& type, int i) {
    const QByteArray x = QByteArray::number(i);
    if (type == "POINT")
        return "POINT (" + x + " 1)";
    if (type == "POLYGON")
        return "POLYGON ((" + x + " 0," + x + " 1,1" + x + " 1," + x + " 0))";
    return "LINESTRING (" + x + " 0," + x + " 1)";
}

// folder/name.shp with `count` features and two fields (NAME text in CP1251, NUM integer);
// creates the folder.
inline QString writeShape(const QString& folder, const QString& name, const QByteArray& type,
                          int count) {
    QDir().mkpath(folder);
    std::vector<ShapefileFixture::Feature> features;
    for (int i = 0; i < count; ++i) {
        features.push_back(
            {sampleWkt(type, i), {QStringLiteral("объект %1").arg(i), QString::number(i)}});
    }
    return ShapefileFixture::write(folder, name, type, {{"NAME", 'C', 30}, {"NUM", 'N', 6}},
                                   features, {"CP1251", "CP1251"});
}

}  // namespace CliFixture
