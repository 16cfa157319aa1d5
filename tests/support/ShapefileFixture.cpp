#include "support/ShapefileFixture.h"

#include "platform/TextEncoder.h"

#include <QDir>
#include <QFile>

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <stdexcept>

namespace ShapefileFixture {

namespace {
OGRFieldType typeOf(char type) {
    return type == 'N' ? OFTInteger : type == 'F' ? OFTReal : OFTString;
}

void patchLanguageDriver(const QString& dbfPath, unsigned char ldid) {
    QFile dbf(dbfPath);
    if (!dbf.open(QIODevice::ReadWrite) || !dbf.seek(29) ||
        dbf.write(reinterpret_cast<const char*>(&ldid), 1) != 1) {
        throw std::runtime_error("cannot patch language driver");
    }
}
}  // namespace

QString write(const QString& folder, const QString& name, const QByteArray& geometryType,
              const std::vector<Field>& fields, const std::vector<Feature>& features,
              const Encoding& encoding) {
    GDALAllRegister();
    const QString path = QDir(folder).filePath(name + ".shp");
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
    GDALDatasetUniquePtr dataset(
        driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    CPLStringList options;
    options.SetNameValue("ENCODING", "");
    const OGRwkbGeometryType type = OGRFromOGCGeomType(geometryType.constData());
    OGRLayer* layer = dataset->CreateLayer(
        name.toUtf8().constData(), nullptr,
        OGR_GT_SetModifier(wkbFlatten(type), wkbHasZ(type), wkbHasM(type)), options.List());
    for (const Field& field : fields) {
        OGRFieldDefn defn(field.name.constData(), typeOf(field.type));
        defn.SetWidth(field.width);
        defn.SetPrecision(field.precision);
        layer->CreateField(&defn);
    }
    const TextEncoder encoder(encoding.codePage.isEmpty() ? "UTF-8" : encoding.codePage);
    for (const Feature& source : features) {
        OGRFeature feature(layer->GetLayerDefn());
        for (int i = 0; i < source.values.size(); ++i) {
            if (!source.values[i].isNull()) {
                feature.SetField(i, encoder.encode(source.values[i]).constData());
            }
        }
        if (!source.wkt.isEmpty()) {
            OGRGeometry* geometry = nullptr;
            OGRGeometryFactory::createFromWkt(source.wkt.constData(), nullptr, &geometry);
            feature.SetGeometryDirectly(geometry);
        }
        if (layer->CreateFeature(&feature) != OGRERR_NONE) {
            throw std::runtime_error("cannot write a feature");
        }
    }
    dataset.reset();
    if (encoding.ldid != 0) {
        patchLanguageDriver(QDir(folder).filePath(name + ".dbf"), encoding.ldid);
    }
    if (!encoding.cpg.isEmpty()) {
        QFile cpg(QDir(folder).filePath(name + ".cpg"));
        cpg.open(QIODevice::WriteOnly);
        cpg.write(encoding.cpg);
    }
    return path;
}

QString squares(const QString& folder, const QString& name, int count) {
    std::vector<Feature> features;
    for (int i = 0; i < count; ++i) {
        features.push_back(
            {QStringLiteral("POLYGON ((%1 0,%1 1,%2 1,%1 0))").arg(i).arg(i + 1).toUtf8(),
             {QString::number(i)}});
    }
    return write(folder, name, "POLYGON", {{"ID", 'N', 9}}, features);
}

ReadLayer read(const QString& path, const QString& layerName) {
    GDALAllRegister();
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR));
    if (!dataset) {
        throw std::runtime_error("cannot open " + path.toStdString());
    }
    OGRLayer* layer = layerName.isEmpty() ? dataset->GetLayer(0)
                                          : dataset->GetLayerByName(layerName.toUtf8().constData());
    ReadLayer result;
    result.geometryType = OGRGeometryTypeToName(layer->GetGeomType());
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i) {
        const OGRFieldDefn* field = defn->GetFieldDefn(i);
        result.fieldNames << field->GetNameRef();
        QString type = OGRFieldDefn::GetFieldTypeName(field->GetType());
        type += field->GetPrecision() > 0
                    ? QStringLiteral("(%1.%2)").arg(field->GetWidth()).arg(field->GetPrecision())
                    : QStringLiteral("(%1)").arg(field->GetWidth());
        result.fieldTypes << type;
    }
    for (auto& feature : *layer) {
        ReadFeature read;
        if (const OGRGeometry* geometry = feature->GetGeometryRef()) {
            char* wkt = nullptr;
            geometry->exportToWkt(&wkt, wkbVariantIso);
            read.wkt = wkt;
            CPLFree(wkt);
        }
        for (int i = 0; i < defn->GetFieldCount(); ++i) {
            read.values << (feature->IsFieldSetAndNotNull(i)
                                ? QString::fromUtf8(feature->GetFieldAsString(i))
                                : QString());
        }
        result.features.push_back(read);
    }
    return result;
}

QStringList files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void writePrj(const QString& shpPath, int epsg) {
    OGRSpatialReference srs;
    srs.importFromEPSG(epsg);
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT1_ESRI", nullptr};
    srs.exportToWkt(&wkt, options);
    QFile prj(shpPath.left(shpPath.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".prj"));
    if (prj.open(QIODevice::WriteOnly)) {
        prj.write(wkt);
    }
    CPLFree(wkt);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

}  // namespace ShapefileFixture
