#pragma once

#include "shapefile/ShapeRecord.h"

#include <QByteArray>

#include <cstdint>

// Turns one shape record into a record of another raw type of the same family (or a point into
// a one-point multipoint and back). Z values dropped or added (an added Z is 0); measures
// dropped or added (an added measure is "no data"). A Z type keeps the record's measures when
// it has them and adds none otherwise, as the format makes them optional there.
namespace ShapeConvert {

// Writes the content of `record` (not null; fitting the kind of `shpType`, see fitsKind) as a
// record of raw type `shpType` into `out`, replacing what it held.
void convert(const ShapeRecord& record, std::int32_t shpType, QByteArray& out);

// A null shape's content.
QByteArray nullRecord();

}  // namespace ShapeConvert
