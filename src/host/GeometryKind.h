#pragma once

#include <cstdint>
#include <optional>

// The three kinds of geometry the dialog merges; the value is the index of the kind's option.
enum class GeometryKind : int { Point = 0, Line = 1, Polygon = 2 };

// Shape type codes as the host reports them.
namespace ShapeTypeCode {
inline constexpr std::int32_t Point = 1;
inline constexpr std::int32_t Multipoint = 2;
inline constexpr std::int32_t Polyline = 3;
inline constexpr std::int32_t Polygon = 4;
inline constexpr std::int32_t Multipatch = 9;
inline constexpr std::int32_t Line = 13;
}  // namespace ShapeTypeCode

// The kind a shape type code belongs to; an input of no kind is never counted, listed or merged.
constexpr std::optional<GeometryKind> geometryKindOf(std::int32_t shapeType) {
    switch (shapeType) {
        case ShapeTypeCode::Point:
        case ShapeTypeCode::Multipoint:
            return GeometryKind::Point;
        case ShapeTypeCode::Polyline:
        case ShapeTypeCode::Line:
            return GeometryKind::Line;
        case ShapeTypeCode::Polygon:
            return GeometryKind::Polygon;
        default:
            return std::nullopt;
    }
}
