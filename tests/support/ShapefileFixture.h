#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Builds shapefiles for tests through GDAL and reads merge outputs back through GDAL.
namespace ShapefileFixture {

struct Field {
    QByteArray name;
    char type;  // 'C' text, 'N' integer, 'F' real
    int width = 10;
    int precision = 0;
};

struct Feature {
    QByteArray wkt;      // empty: null geometry
    QStringList values;  // one per field; text encoded into the file's code page
};

// How the table declares its code page.
struct Encoding {
    Encoding(QByteArray codePage_ = {}, QByteArray cpg_ = {}, unsigned char ldid_ = 0)
        : codePage(std::move(codePage_)), cpg(std::move(cpg_)), ldid(ldid_) {}
    QByteArray codePage;     // text is written in this code page ("" = UTF-8 bytes)
    QByteArray cpg;          // written as .cpg when not empty
    unsigned char ldid = 0;  // language-driver byte
};

// Writes `folder`/`name`.shp with the geometry type of a WKT name ("POLYGON", "POINT Z", ...).
QString write(const QString& folder, const QString& name, const QByteArray& geometryType,
              const std::vector<Field>& fields, const std::vector<Feature>& features,
              const Encoding& encoding = {});

// Declares the coordinate system of `shpPath` EPSG:`epsg` in a .prj, as Esri's WKT.
void writePrj(const QString& shpPath, int epsg);

// `count` unit squares side by side in `folder`/`name`.shp, each with its number in field ID.
QString squares(const QString& folder, const QString& name, int count);

struct ReadFeature {
    QByteArray wkt;
    QStringList values;  // as GDAL reads them with the file's declared encoding
};

struct ReadLayer {
    QByteArray geometryType;  // OGR geometry type name
    QStringList fieldNames;
    QStringList fieldTypes;  // "String(10)", "Integer(9)", "Real(12.3)"
    std::vector<ReadFeature> features;
};

// Reads a shapefile, or layer `layer` of a GeoPackage.
ReadLayer read(const QString& path, const QString& layer = {});

// The sorted names of every file in `folder`.
QStringList files(const QString& folder);
QByteArray bytesOf(const QString& path);

}  // namespace ShapefileFixture
