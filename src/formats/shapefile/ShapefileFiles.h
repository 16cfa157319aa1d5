#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The files of one shapefile and what its .shp header says, read without GDAL.
namespace ShapefileFiles {

// Raw shape types of the .shp format.
namespace ShpType {
inline constexpr std::int32_t Null = 0;
inline constexpr std::int32_t Point = 1;
inline constexpr std::int32_t PolyLine = 3;
inline constexpr std::int32_t Polygon = 5;
inline constexpr std::int32_t MultiPoint = 8;
inline constexpr std::int32_t PointZ = 11;
inline constexpr std::int32_t PolyLineZ = 13;
inline constexpr std::int32_t PolygonZ = 15;
inline constexpr std::int32_t MultiPointZ = 18;
inline constexpr std::int32_t PointM = 21;
inline constexpr std::int32_t PolyLineM = 23;
inline constexpr std::int32_t PolygonM = 25;
inline constexpr std::int32_t MultiPointM = 28;
inline constexpr std::int32_t MultiPatch = 31;
}  // namespace ShpType

// The raw shape type in the header of `shpPath`; nullopt when the file is missing or no .shp.
std::optional<std::int32_t> readShpType(const QString& shpPath);

// Host shape type code of a raw type: 1, 2, 3, 4, 9, or 0 for null and unknown types.
std::int32_t shapeTypeCode(std::int32_t shpType);
bool shpTypeHasZ(std::int32_t shpType);
bool shpTypeHasM(std::int32_t shpType);  // the M types; Z types count as without M
// The raw type for a host code and dimension (0 for a code no shapefile holds).
std::int32_t shpTypeFor(std::int32_t shapeTypeCode, bool hasZ, bool hasM);

// The regular file beside `shpPath` with extension `extension` (lower or upper case, as
// "dbf"); empty when there is none. A named pipe or device of that name counts as none.
QString sidecar(const QString& shpPath, const QString& extension);

// The number of records the .shx beside `shpPath` indexes; 0 when it is missing.
std::int64_t indexedRecords(const QString& shpPath);

// `folder`/`name`.shp, a regular file found with the extension in any case; empty when absent.
QString findShp(const QString& folder, const QString& name);

// The text before the last dot of the file name.
QString baseName(const QString& path);

}  // namespace ShapefileFiles
