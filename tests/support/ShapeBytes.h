#pragma once

#include "shapefile/ShapeRecord.h"

#include <QByteArray>
#include <QtEndian>

#include <cmath>
#include <vector>

// Builds shape record contents byte by byte, as the format lays them out, for any raw type.
namespace ShapeBytes {

struct Point {
    double x, y, z = 0, m = kNoMeasure;
};
using Part = std::vector<Point>;

inline void putInt(QByteArray& out, std::int32_t value) {
    char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    out.append(bytes, 4);
}

inline void putDouble(QByteArray& out, double value) {
    char bytes[8];
    qToLittleEndian<double>(value, bytes);
    out.append(bytes, 8);
}

// A record of `type` holding `parts` (one part of one point for points; one part of all points
// for multipoints). `withM`: whether a Z type gets its optional measure section.
inline QByteArray record(std::int32_t type, const std::vector<Part>& parts, bool withM = true) {
    QByteArray out;
    putInt(out, type);
    if (type == ShpType::Null) {
        return out;
    }
    const bool z = ShpType::hasZ(type);
    const bool m = ShpType::isMeasured(type) || (z && withM);
    std::vector<Point> points;
    for (const Part& part : parts) {
        points.insert(points.end(), part.begin(), part.end());
    }
    if (ShpType::kindOf(type) == ShapeKind::Point) {
        putDouble(out, points.at(0).x);
        putDouble(out, points.at(0).y);
        if (z) {
            putDouble(out, points[0].z);
        }
        if (m) {
            putDouble(out, points[0].m);
        }
        return out;
    }
    double box[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        box[0] = i ? std::min(box[0], points[i].x) : points[i].x;
        box[1] = i ? std::min(box[1], points[i].y) : points[i].y;
        box[2] = i ? std::max(box[2], points[i].x) : points[i].x;
        box[3] = i ? std::max(box[3], points[i].y) : points[i].y;
    }
    for (const double bound : box) {
        putDouble(out, bound);
    }
    const bool multiPoint = ShpType::kindOf(type) == ShapeKind::MultiPoint;
    if (!multiPoint) {
        putInt(out, static_cast<std::int32_t>(parts.size()));
    }
    putInt(out, static_cast<std::int32_t>(points.size()));
    std::int32_t start = 0;
    for (std::size_t i = 0; !multiPoint && i < parts.size(); ++i) {
        putInt(out, start);
        start += static_cast<std::int32_t>(parts[i].size());
    }
    for (const Point& point : points) {
        putDouble(out, point.x);
        putDouble(out, point.y);
    }
    const auto dimension = [&](double Point::*value) {
        double low = 0, high = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            low = i ? std::min(low, points[i].*value) : points[i].*value;
            high = i ? std::max(high, points[i].*value) : points[i].*value;
        }
        putDouble(out, low);
        putDouble(out, high);
        for (const Point& point : points) {
            putDouble(out, point.*value);
        }
    };
    if (z) {
        dimension(&Point::z);
    }
    if (m) {
        dimension(&Point::m);
    }
    return out;
}

}  // namespace ShapeBytes

#include <QFile>

#include <tuple>

namespace ShapeBytes {

// Writes `base`.shp and `base`.shx holding `contents` (record contents) under header type
// `type`; the header's box is left zero, as no reader relies on it.
inline void writeShapefile(const QString& base, std::int32_t type,
                           const std::vector<QByteArray>& contents) {
    const auto header = [type](std::int64_t bytes) {
        QByteArray out(100, '\0');
        qToBigEndian<qint32>(9994, out.data());
        qToBigEndian<qint32>(static_cast<qint32>(bytes / 2), out.data() + 24);
        qToLittleEndian<qint32>(1000, out.data() + 28);
        qToLittleEndian<qint32>(type, out.data() + 32);
        return out;
    };
    QByteArray shp, shx;
    std::int64_t offset = 100;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        char entry[8];
        qToBigEndian<qint32>(static_cast<qint32>(offset / 2), entry);
        qToBigEndian<qint32>(static_cast<qint32>(contents[i].size() / 2), entry + 4);
        shx.append(entry, 8);
        qToBigEndian<qint32>(static_cast<qint32>(i + 1), entry);
        shp.append(entry, 8);
        shp += contents[i];
        offset += 8 + contents[i].size();
    }
    for (const auto& [extension, body, bytes] :
         {std::tuple{".shp", shp, offset},
          std::tuple{".shx", shx, std::int64_t{100 + shx.size()}}}) {
        QFile file(base + extension);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(header(bytes) + body);
        }
    }
}

}  // namespace ShapeBytes
