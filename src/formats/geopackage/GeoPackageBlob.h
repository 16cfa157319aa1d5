#pragma once

#include "formats/WkbWriter.h"

#include <QByteArray>

#include <cstdint>

// GeoPackage geometry blobs: the binary header (version 0, little endian, the SRS id and an
// envelope of x/y, with z when the geometry has Z) followed by ISO WKB. Points carry no
// envelope, as their coordinates are one; empty geometries are flagged empty.
namespace GeoPackageBlob {

// The blob of `record` (not null, fitting the writer's kind) in `out`, replacing its content.
void write(const ShapeRecord& record, std::int32_t srsId, WkbWriter& wkb, QByteArray& out);

}  // namespace GeoPackageBlob
