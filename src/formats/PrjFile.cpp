#include "formats/PrjFile.h"

#include "host/GdalErrorCapture.h"
#include "platform/FileNameCodec.h"
#include "platform/RegularFile.h"

#include <cpl_string.h>
#include <ogr_spatialref.h>

#include <QByteArray>

#include <optional>

namespace {
constexpr qsizetype kMostBytes = 1 << 20;
}  // namespace

PrjReading readPrjFile(const QString& prjPath) {
    const std::optional<QByteArray> read =
        readRegularFile(FileNameCodec::encode(prjPath), kMostBytes);
    if (!read) {
        return {};
    }
    const QByteArray text = read->trimmed();
    GdalErrorCapture errors;
    auto srs = std::shared_ptr<OGRSpatialReference>(
        new OGRSpatialReference(), [](OGRSpatialReference* owned) { owned->Release(); });
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    CPLStringList lines(CSLTokenizeString2(text.constData(), "\r\n", 0));
    if (text.isEmpty() || srs->importFromESRI(lines.List()) != OGRERR_NONE) {
        return {PrjReading::Outcome::Unreadable, nullptr};
    }
    return {PrjReading::Outcome::Read, std::move(srs)};
}
