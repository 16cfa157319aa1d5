// Writes a small, realistic tree of map-sheet folders for trying Conflux out:
//
//   OUTDIR/N-37-001 ... N-37-012   roads, rivers (polylines), lakes (polygons), wells (points)
//
// Attribute text is Russian, stored in CP1251 and declared by a .cpg file. Coordinates are in
// WGS 84 / UTM zone 37N. A few sheets carry what real collections carry: N-37-011 and N-37-012,
// by the zone boundary at 42° E, are in the neighbouring zone 38N; N-37-003 is in degrees;
// N-37-005 has no .prj; N-37-004's roads have an extra field, N-37-009's roads keep the lane
// count as text, N-37-007's wells.dbf is broken, and a hidden folder ".draft" holds a sheet
// that a scan must not find.
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kExtraFieldSheet = 4;
constexpr int kTextLanesSheet = 9;
constexpr int kBrokenDbfSheet = 7;
constexpr int kDegreesSheet = 3;
constexpr int kUndeclaredSheet = 5;
constexpr int kFirstZone38Sheet = 11;

// The EPSG code of a sheet's coordinate system.
int sheetSystem(int sheet) {
    if (sheet == kDegreesSheet)
        return 4326;
    return sheet >= kFirstZone38Sheet && sheet <= 12 ? 32638 : 32637;
}

struct Bounds {
    double west, south, east, north;
};

// Sheet k of the 1:100,000 grid inside N-37 (12 x 12 sheets, 30' by 20'), counted from the
// north-west corner.
Bounds sheetBounds(int k) {
    const int row = (k - 1) / 12;
    const int column = (k - 1) % 12;
    const double west = 36.0 + column * 0.5;
    const double north = 56.0 - row * (1.0 / 3.0);
    return {west, north - 1.0 / 3.0, west + 0.5, north};
}

const std::vector<std::string> kRoadNames = {
    "Тверской тракт",  "Старая Смоленская дорога", "Калужское шоссе",
    "Лесная дорога",   "Просёлок у Липовки",       "Дорога на Ёлкино",
    "Объезд Сосновки", "Зимник через болото",      "Подъезд к ферме №2"};
const std::vector<std::string> kRoadTypes = {"шоссе", "грунтовая", "лесная", "полевая"};
const std::vector<std::string> kSurfaces = {"асфальт", "щебень", "грунт"};
const std::vector<std::string> kRiverNames = {"Ока",   "Угра", "Протва", "Нара", "ручей Берёзовый",
                                              "Жиздра"};
const std::vector<std::string> kLakeNames = {"Белое", "Круглое", "Святое", "Долгое", "Щучье"};
const std::vector<std::string> kWellNames = {"колодец у школы", "скважина", "родник",
                                             "колодец «Журавль»"};

class SheetWriter {
public:
    SheetWriter(const fs::path& folder, int sheet)
        : m_folder(folder),
          m_sheet(sheet),
          m_bounds(sheetBounds(sheet)),
          m_random(static_cast<unsigned>(sheet) * 7919u) {
        OGRSpatialReference degrees;
        degrees.importFromEPSG(4326);
        degrees.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        m_srs.importFromEPSG(sheetSystem(sheet));
        m_srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        m_toSheet.reset(OGRCreateCoordinateTransformation(&degrees, &m_srs));
    }

    bool writeAll() { return writeRoads() && writeRivers() && writeLakes() && writeWells(); }

private:
    struct Layer {
        GDALDatasetUniquePtr dataset;
        OGRLayer* layer = nullptr;
    };

    Layer create(const char* name, OGRwkbGeometryType type) {
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
        const std::string path = (m_folder / (std::string(name) + ".shp")).string();
        Layer result;
        result.dataset.reset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!result.dataset)
            return result;
        char* options[] = {const_cast<char*>("ENCODING=CP1251"), nullptr};
        result.layer = result.dataset->CreateLayer(
            name, m_sheet == kUndeclaredSheet ? nullptr : &m_srs, type, options);
        return result;
    }

    // Shapes are drawn in degrees and stored in the sheet's system.
    bool store(OGRLayer* layer, OGRFeature& feature, OGRGeometry& shape) {
        if (shape.transform(m_toSheet.get()) != OGRERR_NONE)
            return false;
        feature.SetGeometry(&shape);
        return layer->CreateFeature(&feature) == OGRERR_NONE;
    }

    static void addField(OGRLayer* layer, const char* name, OGRFieldType type, int width,
                         int precision = 0) {
        OGRFieldDefn field(name, type);
        field.SetWidth(width);
        field.SetPrecision(precision);
        layer->CreateField(&field);
    }

    double uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(m_random);
    }
    int integer(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    const std::string& pick(const std::vector<std::string>& list) {
        return list[static_cast<std::size_t>(integer(0, static_cast<int>(list.size()) - 1))];
    }

    // A wandering line that stays inside the sheet.
    OGRLineString wander(int vertices, double step) {
        OGRLineString line;
        double x = uniform(m_bounds.west, m_bounds.east);
        double y = uniform(m_bounds.south, m_bounds.north);
        double heading = uniform(0, 2 * std::numbers::pi);
        for (int i = 0; i < vertices; ++i) {
            line.addPoint(x, y);
            heading += uniform(-0.6, 0.6);
            x = std::clamp(x + step * std::cos(heading), m_bounds.west, m_bounds.east);
            y = std::clamp(y + step * std::sin(heading), m_bounds.south, m_bounds.north);
        }
        return line;
    }

    bool writeRoads() {
        Layer out = create("roads", wkbLineString);
        if (!out.layer)
            return false;
        addField(out.layer, "NAME", OFTString, 50);
        addField(out.layer, "TYPE", OFTString, 20);
        addField(out.layer, "LANES", m_sheet == kTextLanesSheet ? OFTString : OFTInteger, 4);
        addField(out.layer, "LENGTH_KM", OFTReal, 8, 2);
        if (m_sheet == kExtraFieldSheet)
            addField(out.layer, "SURFACE", OFTString, 20);
        const int count = integer(25, 40);
        for (int i = 0; i < count; ++i) {
            OGRFeature feature(out.layer->GetLayerDefn());
            OGRLineString line = wander(integer(4, 10), 0.02);
            feature.SetField("NAME", pick(kRoadNames).c_str());
            feature.SetField("TYPE", pick(kRoadTypes).c_str());
            const int lanes = integer(1, 4);
            if (m_sheet == kTextLanesSheet)
                feature.SetField("LANES", std::to_string(lanes).c_str());
            else
                feature.SetField("LANES", lanes);
            feature.SetField("LENGTH_KM", line.get_Length() * 111.0 * 0.6);
            if (m_sheet == kExtraFieldSheet)
                feature.SetField("SURFACE", pick(kSurfaces).c_str());
            if (!store(out.layer, feature, line))
                return false;
        }
        return true;
    }

    bool writeRivers() {
        Layer out = create("rivers", wkbLineString);
        if (!out.layer)
            return false;
        addField(out.layer, "NAME", OFTString, 50);
        addField(out.layer, "WIDTH_M", OFTReal, 6, 1);
        const int count = integer(6, 12);
        for (int i = 0; i < count; ++i) {
            OGRFeature feature(out.layer->GetLayerDefn());
            OGRLineString line = wander(integer(15, 30), 0.012);
            feature.SetField("NAME", pick(kRiverNames).c_str());
            feature.SetField("WIDTH_M", uniform(2.0, 60.0));
            if (!store(out.layer, feature, line))
                return false;
        }
        return true;
    }

    bool writeLakes() {
        Layer out = create("lakes", wkbPolygon);
        if (!out.layer)
            return false;
        addField(out.layer, "NAME", OFTString, 50);
        addField(out.layer, "AREA_HA", OFTReal, 10, 2);
        const int count = integer(4, 9);
        for (int i = 0; i < count; ++i) {
            OGRFeature feature(out.layer->GetLayerDefn());
            const double cx = uniform(m_bounds.west + 0.03, m_bounds.east - 0.03);
            const double cy = uniform(m_bounds.south + 0.03, m_bounds.north - 0.03);
            const double radius = uniform(0.004, 0.02);
            const int vertices = integer(12, 20);
            OGRLinearRing ring;
            for (int v = 0; v < vertices; ++v) {
                // Clockwise, as shapefile outer rings are.
                const double angle = -2 * std::numbers::pi * v / vertices;
                const double r = radius * uniform(0.7, 1.0);
                ring.addPoint(cx + r * std::cos(angle), cy + r * std::sin(angle));
            }
            ring.closeRings();
            OGRPolygon polygon;
            polygon.addRing(&ring);
            feature.SetField("NAME", pick(kLakeNames).c_str());
            feature.SetField("AREA_HA", polygon.get_Area() * 111.0 * 111.0 * 0.6 * 100.0);
            if (!store(out.layer, feature, polygon))
                return false;
        }
        return true;
    }

    bool writeWells() {
        Layer out = create("wells", wkbPoint);
        if (!out.layer)
            return false;
        addField(out.layer, "NUM", OFTInteger, 5);
        addField(out.layer, "NAME", OFTString, 50);
        addField(out.layer, "DEPTH_M", OFTReal, 6, 1);
        const int count = integer(10, 30);
        for (int i = 0; i < count; ++i) {
            OGRFeature feature(out.layer->GetLayerDefn());
            OGRPoint point(uniform(m_bounds.west, m_bounds.east),
                           uniform(m_bounds.south, m_bounds.north));
            feature.SetField("NUM", m_sheet * 100 + i + 1);
            feature.SetField("NAME", pick(kWellNames).c_str());
            feature.SetField("DEPTH_M", uniform(3.0, 40.0));
            if (!store(out.layer, feature, point))
                return false;
        }
        return true;
    }

    fs::path m_folder;
    int m_sheet;
    Bounds m_bounds;
    std::mt19937 m_random;
    OGRSpatialReference m_srs;
    struct TransformationDeleter {
        void operator()(OGRCoordinateTransformation* transformation) const {
            OGRCoordinateTransformation::DestroyCT(transformation);
        }
    };
    std::unique_ptr<OGRCoordinateTransformation, TransformationDeleter> m_toSheet;
};

std::string sheetName(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "N-37-%03d", k);
    return name;
}

bool writeSheet(const fs::path& folder, int sheet) {
    std::error_code error;
    fs::create_directories(folder, error);
    return !error && SheetWriter(folder, sheet).writeAll();
}

// A table whose header ends after a few bytes: readers must cope, not crash.
void breakDbf(const fs::path& dbf) {
    std::ofstream(dbf, std::ios::binary | std::ios::trunc) << "\x03\x7e\x0c";
}

int usage() {
    std::fputs(
        "Usage: conflux_sample_sheets OUTDIR [SHEETS]\n"
        "Writes SHEETS (default 12, at most 144) map-sheet folders into OUTDIR, which\n"
        "must not exist or be empty.\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3)
        return usage();
    const fs::path root = argv[1];
    const int sheets = argc == 3 ? std::atoi(argv[2]) : 12;
    if (sheets < 1 || sheets > 144)
        return usage();
    std::error_code error;
    if (fs::exists(root, error) && !fs::is_empty(root, error)) {
        std::fprintf(stderr, "%s is not empty; remove it first\n", root.c_str());
        return 1;
    }
    GDALAllRegister();
    CPLSetConfigOption("CPL_LOG", "/dev/null");
    for (int k = 1; k <= sheets; ++k) {
        if (!writeSheet(root / sheetName(k), k)) {
            std::fprintf(stderr, "cannot write %s: %s\n", sheetName(k).c_str(),
                         CPLGetLastErrorMsg());
            return 1;
        }
    }
    if (!writeSheet(root / ".draft" / sheetName(sheets + 1), sheets + 1))
        return 1;
    if (sheets >= kBrokenDbfSheet)
        breakDbf(root / sheetName(kBrokenDbfSheet) / "wells.dbf");
    std::printf("%d sheets written to %s\n", sheets, root.c_str());
    return 0;
}
