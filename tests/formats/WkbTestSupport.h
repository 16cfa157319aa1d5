#pragma once

#include <ogr_core.h>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// ISO WKB, little-endian, built by hand so that the tests do not share the writer's code.
class Wkb {
public:
    // `dimensions`: 0 XY, 1 Z, 2 M, 3 ZM (the ISO thousands).
    Wkb(int type, int dimensions) : m_dimensions(dimensions) {
        m_bytes.push_back(1);
        integer(static_cast<std::uint32_t>(type + 1000 * dimensions));
    }
    Wkb& integer(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        }
        return *this;
    }
    Wkb& coordinate(const std::vector<double>& values) {
        for (const double value : values) {
            char bytes[8];
            std::memcpy(bytes, &value, 8);
            m_bytes.append(bytes, 8);
        }
        return *this;
    }
    // A run of points: a count, then each point's x, y and whatever Z/M it has.
    Wkb& points(const std::vector<std::vector<double>>& points) {
        integer(static_cast<std::uint32_t>(points.size()));
        for (const auto& point : points) {
            coordinate(point);
        }
        return *this;
    }
    Wkb& append(const std::string& part) {
        m_bytes += part;
        return *this;
    }
    const std::string& bytes() const { return m_bytes; }
    int dimensions() const { return m_dimensions; }

private:
    int m_dimensions;
    std::string m_bytes;
};

// The point (x, y) with as many further ordinates as `dimensions` asks, derived from x and y.
inline std::vector<double> point(double x, double y, int dimensions) {
    std::vector<double> values{x, y};
    if (dimensions & 1) {
        values.push_back(x + y + 0.25);  // Z
    }
    if (dimensions & 2) {
        values.push_back(x - y - 0.5);  // M
    }
    return values;
}

inline std::string polygonWkb(double x, double y, int dimensions, bool hole) {
    Wkb polygon(3, dimensions);
    polygon.integer(hole ? 2 : 1);
    const int n = polygon.dimensions();
    polygon.points({point(x, y, n), point(x, y + 10, n), point(x + 10, y + 10, n),
                    point(x + 10, y, n), point(x, y, n)});
    if (hole) {
        polygon.points({point(x + 2, y + 2, n), point(x + 8, y + 2, n), point(x + 8, y + 8, n),
                        point(x + 2, y + 8, n), point(x + 2, y + 2, n)});
    }
    return polygon.bytes();
}

// The same square as a one-part MultiPolygon: what an output of polygons takes.
inline std::string multiPolygonWkb(double x, double y, int dimensions, bool hole) {
    return Wkb(6, dimensions).integer(1).append(polygonWkb(x, y, dimensions, hole)).bytes();
}

inline std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const char byte : bytes) {
        text += digits[static_cast<unsigned char>(byte) >> 4];
        text += digits[static_cast<unsigned char>(byte) & 0x0f];
    }
    return text;
}

// One geometry type of an output and features of it, in the form a reader gives them back.
struct GeometryCase {
    const char* name;
    OGRwkbGeometryType type;
    const char* postgisType;  // as the column's type names it
    std::vector<std::string> written;
};

// Every dimension and part kind the outputs take. `far`: an x far from the origin (y is half
// of it); `near`: a y offset near zero, as fine as the output keeps.
inline std::vector<GeometryCase> geometryCases(double far, double near) {
    const int zm = 3;
    const std::string line = Wkb(2, 2).points({point(0, 0, 2), point(5, 5, 2)}).bytes();
    const std::string lineZ = Wkb(2, 1).points({point(1, 2, 1), point(3, 4, 1)}).bytes();
    return {
        {"PointZM",
         wkbPointZM,
         "PointZM",
         {Wkb(1, zm).coordinate(point(1.5, -2.25, zm)).bytes(),
          Wkb(1, zm).coordinate(point(far, far / 2, zm)).bytes()}},
        {"Point", wkbPoint, "Point", {Wkb(1, 0).coordinate(point(-75.125, 40.5, 0)).bytes()}},
        {"MultiPointZ",
         wkbMultiPoint25D,
         "MultiPointZ",
         {Wkb(4, 1)
              .integer(2)
              .append(Wkb(1, 1).coordinate(point(1, 1, 1)).bytes())
              .append(Wkb(1, 1).coordinate(point(2, 3, 1)).bytes())
              .bytes()}},
        {"MultiLineStringM",
         wkbMultiLineStringM,
         "MultiLineStringM",
         {Wkb(5, 2).integer(2).append(line).append(line).bytes()}},
        {"MultiLineStringZ",
         wkbMultiLineString25D,
         "MultiLineStringZ",
         {Wkb(5, 1).integer(1).append(lineZ).bytes()}},
        {"MultiPolygonZMWithHoles",
         wkbMultiPolygonZM,
         "MultiPolygonZM",
         {multiPolygonWkb(0, 0, zm, true), Wkb(6, zm)
                                               .integer(2)
                                               .append(polygonWkb(20, 0, zm, true))
                                               .append(polygonWkb(40, 0, zm, false))
                                               .bytes()}},
        {"MultiPolygon",
         wkbMultiPolygon,
         "MultiPolygon",
         {multiPolygonWkb(-5.125, near, 0, false)}},
    };
}
