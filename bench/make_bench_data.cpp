// Writes the merge benchmark's dataset: FILES polygon shapefiles of FEATURES features each,
// 10-20 vertices per polygon, eight fields, Cyrillic text in CP1251 declared by .cpg, in WGS 84
// / UTM zone 37N; with "zones", every other file is in zone 38N instead (the same places).
// Usage: conflux_bench_data FOLDER [FILES [FEATURES [zones]]]. Existing complete files are kept.

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <sys/stat.h>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

namespace {

const char* const kStreets[] = {"Ленина",    "Пушкина",  "Садовая", "Мира",       "Гагарина",
                                "Советская", "Школьная", "Лесная",  "Набережная", "Заречная"};
const char* const kKinds[] = {"жилой дом", "гараж", "склад", "магазин", "школа", "больница"};
const char* const kDistricts[] = {"Центральный", "Северный", "Южный", "Заводской", "Октябрьский"};

void addField(OGRLayer* layer, const char* name, OGRFieldType type, int width, int precision) {
    OGRFieldDefn field(name, type);
    field.SetWidth(width);
    field.SetPrecision(precision);
    layer->CreateField(&field);
}

OGRPolygon* randomPolygon(std::mt19937& random, double cx, double cy) {
    std::uniform_int_distribution<int> vertexCount(10, 20);
    std::uniform_real_distribution<double> radius(5.0, 50.0);
    const int n = vertexCount(random);
    auto* ring = new OGRLinearRing();
    for (int i = 0; i < n; ++i) {
        // Clockwise, as shapefile outer rings are.
        const double angle = -2.0 * M_PI * i / n;
        const double r = radius(random);
        ring->addPoint(cx + r * std::cos(angle), cy + r * std::sin(angle));
    }
    ring->closeRings();
    auto* polygon = new OGRPolygon();
    polygon->addRingDirectly(ring);
    return polygon;
}

void writeFile(const std::string& path, int fileIndex, int features, bool otherZone) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    CPLStringList options;
    options.SetNameValue("ENCODING", "CP1251");
    OGRSpatialReference zone37;
    zone37.importFromEPSG(32637);
    OGRSpatialReference srs;
    srs.importFromEPSG(otherZone ? 32638 : 32637);
    zone37.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const std::unique_ptr<OGRCoordinateTransformation, void (*)(OGRCoordinateTransformation*)>
        toFile(OGRCreateCoordinateTransformation(&zone37, &srs),
               OGRCoordinateTransformation::DestroyCT);
    OGRLayer* layer = dataset->CreateLayer("parcels", &srs, wkbPolygon, options.List());
    addField(layer, "ID", OFTInteger, 10, 0);
    addField(layer, "NAME", OFTString, 40, 0);
    addField(layer, "STREET", OFTString, 30, 0);
    addField(layer, "KIND", OFTString, 20, 0);
    addField(layer, "DISTRICT", OFTString, 20, 0);
    addField(layer, "FLOORS", OFTInteger, 4, 0);
    addField(layer, "AREA", OFTReal, 15, 3);
    addField(layer, "HEIGHT", OFTReal, 8, 2);
    std::mt19937 random(static_cast<unsigned>(fileIndex) * 7919u + 17u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    OGRFeature feature(layer->GetLayerDefn());
    for (int i = 0; i < features; ++i) {
        const int id = fileIndex * features + i;
        const char* street = kStreets[random() % 10];
        feature.SetField(0, id);
        feature.SetField(1, (std::string("Участок №") + std::to_string(id)).c_str());
        feature.SetField(2, (std::string("ул. ") + street).c_str());
        feature.SetField(3, kKinds[random() % 6]);
        feature.SetField(4, kDistricts[random() % 5]);
        feature.SetField(5, static_cast<int>(random() % 25) + 1);
        feature.SetField(6, std::round(unit(random) * 1e7) / 1000.0);
        feature.SetField(7, std::round(unit(random) * 10000.0) / 100.0);
        const double cx = 500000.0 + (fileIndex % 20) * 20000.0 + unit(random) * 19000.0;
        const double cy = 6000000.0 + (fileIndex / 20) * 20000.0 + unit(random) * 19000.0;
        OGRPolygon* polygon = randomPolygon(random, cx, cy);
        if (otherZone) {
            polygon->transform(toFile.get());
        }
        feature.SetGeometryDirectly(polygon);
        feature.SetFID(OGRNullFID);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [FILES [FEATURES]]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int files = argc > 2 ? std::atoi(argv[2]) : 200;
    const int features = argc > 3 ? std::atoi(argv[3]) : 5000;
    const bool zones = argc > 4 && std::string(argv[4]) == "zones";
    GDALAllRegister();
    mkdir(folder.c_str(), 0755);
    for (int f = 0; f < files; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "parcels_%03d", f);
        const std::string base = folder + "/" + name;
        struct stat done {};
        if (stat((base + ".cpg").c_str(), &done) == 0) {
            continue;  // .cpg is written last
        }
        writeFile(base + ".shp", f, features, zones && f % 2 == 1);
    }
    return 0;
}
