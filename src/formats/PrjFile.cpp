#include "formats/PrjFile.h"

#include "host/GdalErrorCapture.h"
#include "platform/FileNameCodec.h"
#include "platform/UniqueFd.h"

#include <cpl_string.h>
#include <ogr_spatialref.h>

#include <QByteArray>

#include <optional>

#include <unistd.h>

namespace {
constexpr qsizetype kMostBytes = 1 << 20;

// The file's text; nullopt when it is no regular file or cannot be read.
std::optional<QByteArray> fileText(const QString& path) {
    const UniqueFd file = UniqueFd::openRegularFile(FileNameCodec::encode(path).constData());
    if (!file.isOpen()) {
        return std::nullopt;
    }
    QByteArray text(kMostBytes, Qt::Uninitialized);
    qsizetype size = 0;
    while (size < text.size()) {
        const ssize_t got = ::read(file.get(), text.data() + size, size_t(text.size() - size));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        size += got;
    }
    text.truncate(size);
    return text;
}
}  // namespace

PrjReading readPrjFile(const QString& prjPath) {
    const std::optional<QByteArray> read = fileText(prjPath);
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
