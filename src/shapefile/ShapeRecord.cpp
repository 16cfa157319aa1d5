#include "shapefile/ShapeRecord.h"

#include <algorithm>
#include <cmath>

namespace ShpType {

ShapeKind kindOf(std::int32_t type) {
    switch (type) {
        case Point:
        case PointZ:
        case PointM:
            return ShapeKind::Point;
        case PolyLine:
        case PolyLineZ:
        case PolyLineM:
            return ShapeKind::PolyLine;
        case Polygon:
        case PolygonZ:
        case PolygonM:
            return ShapeKind::Polygon;
        case MultiPoint:
        case MultiPointZ:
        case MultiPointM:
            return ShapeKind::MultiPoint;
        case MultiPatch:
            return ShapeKind::MultiPatch;
        default:
            return ShapeKind::Null;
    }
}

bool isKnown(std::int32_t type) {
    return type == Null || kindOf(type) != ShapeKind::Null;
}

bool hasZ(std::int32_t type) {
    return (type > 10 && type < 20) || type == MultiPatch;
}

bool isMeasured(std::int32_t type) {
    return type > 20 && type < 30;
}

std::int32_t of(ShapeKind kind, bool z, bool m) {
    std::int32_t plain = Null;
    switch (kind) {
        case ShapeKind::Point:
            plain = Point;
            break;
        case ShapeKind::MultiPoint:
            plain = MultiPoint;
            break;
        case ShapeKind::PolyLine:
            plain = PolyLine;
            break;
        case ShapeKind::Polygon:
            plain = Polygon;
            break;
        default:
            return Null;
    }
    return z ? plain + 10 : (m ? plain + 20 : plain);
}

}  // namespace ShpType

ShapeRecord::Status ShapeRecord::parse(const char* content, std::int64_t length) {
    m_content = content;
    m_length = length;
    m_parts = m_points = 0;
    m_zAt = m_mAt = -1;
    m_ranges = Ranges{};
    if (length < 4) {
        return Status::Malformed;
    }
    m_type = readInt(content);
    m_kind = ShpType::kindOf(m_type);
    if (!ShpType::isKnown(m_type)) {
        return Status::Malformed;
    }
    if (m_kind == ShapeKind::Null || m_kind == ShapeKind::MultiPatch) {
        return Status::Ok;  // a multipatch fits no output, so it is never looked into
    }
    const Status layout = layOut();
    return layout == Status::Ok ? measure() : layout;
}

// Finds where parts, points, Z and M lie. Z is required where the type has it; the measure
// section is optional, as the format allows, and taken when the length holds it.
ShapeRecord::Status ShapeRecord::layOut() {
    const bool z = ShpType::hasZ(m_type);
    const bool measured = z || ShpType::isMeasured(m_type);
    std::int64_t end = 0;
    if (m_kind == ShapeKind::Point) {
        m_points = 1;
        m_xyAt = 4;
        end = 20;
        if (z) {
            m_zAt = end;
            end += 8;
        }
        if (measured && m_length >= end + 8) {
            m_mAt = end;
        }
        return m_length >= end ? Status::Ok : Status::Malformed;
    }
    const bool multiPoint = m_kind == ShapeKind::MultiPoint;
    const std::int64_t countsAt = multiPoint ? 36 : 40;
    if (m_length < countsAt + 4) {
        return Status::Malformed;
    }
    const std::int64_t parts = multiPoint ? 0 : readInt(m_content + 36);
    const std::int64_t points = readInt(m_content + countsAt);
    m_partsAt = countsAt + 4;
    m_xyAt = m_partsAt + 4 * parts;
    if (parts < 0 || points < 0 || (!multiPoint && (parts == 0) != (points == 0)) ||
        m_xyAt + 16 * points > m_length) {
        return Status::Malformed;
    }
    m_parts = static_cast<std::int32_t>(parts);
    m_points = static_cast<std::int32_t>(points);
    end = m_xyAt + 16 * points;
    if (z) {
        m_zAt = end + 16;
        end += 16 + 8 * points;
        if (end > m_length) {
            return Status::Malformed;
        }
    }
    if (measured && m_length >= end + 16 + 8 * points) {
        m_mAt = end + 16;
    }
    // Parts start at 0 and each holds at least one point.
    for (std::int32_t part = 0; part < m_parts; ++part) {
        const std::int32_t start = readInt(m_content + m_partsAt + 4 * part);
        if ((part == 0 && start != 0) || (part > 0 && start <= partStart(part - 1)) ||
            start >= m_points) {
            return Status::Malformed;
        }
    }
    return Status::Ok;
}

ShapeRecord::Status ShapeRecord::measure() {
    if (m_points == 0) {
        return Status::Ok;
    }
    double minX = x(0), maxX = minX, minY = y(0), maxY = minY;
    bool finite = std::isfinite(minX) && std::isfinite(minY);
    for (std::int32_t i = 1; i < m_points; ++i) {
        const double px = x(i);
        const double py = y(i);
        finite = finite && std::isfinite(px) && std::isfinite(py);
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    m_ranges.minX = minX;
    m_ranges.maxX = maxX;
    m_ranges.minY = minY;
    m_ranges.maxY = maxY;
    if (hasZ()) {
        double minZ = z(0), maxZ = minZ;
        for (std::int32_t i = 0; i < m_points; ++i) {
            const double pz = z(i);
            finite = finite && std::isfinite(pz);
            minZ = std::min(minZ, pz);
            maxZ = std::max(maxZ, pz);
        }
        m_ranges.minZ = minZ;
        m_ranges.maxZ = maxZ;
    }
    if (!finite) {
        return Status::NonFinite;
    }
    for (std::int32_t i = 0; hasM() && i < m_points; ++i) {
        const double pm = m(i);
        if (!isMeasure(pm)) {
            continue;
        }
        m_ranges.minM = m_ranges.hasMeasures ? std::min(m_ranges.minM, pm) : pm;
        m_ranges.maxM = m_ranges.hasMeasures ? std::max(m_ranges.maxM, pm) : pm;
        m_ranges.hasMeasures = true;
    }
    return Status::Ok;
}

bool fitsKind(const ShapeRecord& record, ShapeKind kind) {
    const ShapeKind own = record.kind();
    if (own == ShapeKind::Null || own == kind) {
        return true;
    }
    if (kind == ShapeKind::MultiPoint) {
        return own == ShapeKind::Point;
    }
    return kind == ShapeKind::Point && own == ShapeKind::MultiPoint && record.pointCount() == 1;
}
