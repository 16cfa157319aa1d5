// The wildcard matcher of the masks the user types: any mask and name, a match or a refusal of
// the mask, never a fault; and what matches keeps matching when both are extended alike.
#include "FuzzTarget.h"
#include "discovery/WildcardMask.h"
#include "errors/ConfluxError.h"
#include "platform/FileNameCodec.h"

#include <optional>

namespace {

QList<QByteArray> seeds() {
    return {"roads*\nROADS_1",
            "[a-z]#?\nb7x",
            "[!0-9]*\n\xD0\xB0\xD0\xB1",
            "*a*a*a*b\naaaaaaaaaa",
            "\n",
            "[]\n",
            "[z-a]\nz",
            "??*[!]]#\nab]7",
            "\xD0\xB4*\n\xD0\x94\xE9",
            "*[-a]*\n-",
            "*.shp\nroads.SHP",
            "*.SHP\nx.\xC5\xBFhp"};
}

std::optional<WildcardMask> compiled(const QString& mask) {
    try {
        return WildcardMask(mask);
    } catch (const ConfluxError&) {
        return std::nullopt;
    }
}

void run(const QByteArray& input) {
    const qsizetype cut = input.indexOf('\n');
    // Names come from the file system: decoded as the scan decodes them, stray bytes and all.
    const QString mask = FileNameCodec::decode(cut < 0 ? input : input.left(cut));
    const QByteArray nameBytes = cut < 0 ? QByteArray() : input.mid(cut + 1);
    const QString name = FileNameCodec::decode(nameBytes);
    const auto wildcard = compiled(mask);
    // The walk passes over what the bytes exclude without decoding it: never a name that matches.
    if (wildcard && wildcard->excludes(nameBytes))
        FUZZ_CHECK(!wildcard->matches(name));
    FUZZ_CHECK(compiled(QStringLiteral("*"))->matches(name));
    const bool plain = !mask.contains(QLatin1Char('*')) && !mask.contains(QLatin1Char('?')) &&
                       !mask.contains(QLatin1Char('#')) && !mask.contains(QLatin1Char('['));
    if (plain)
        FUZZ_CHECK(wildcard && wildcard->matches(mask));
    if (!wildcard || !wildcard->matches(name))
        return;
    FUZZ_CHECK(compiled(QLatin1Char('*') + mask)->matches(QLatin1Char('x') + name));
    FUZZ_CHECK(compiled(mask + QLatin1Char('*'))->matches(name + QLatin1Char('y')));
}

}  // namespace

CONFLUX_FUZZ_TARGET(WildcardMask, seeds, run, 512, {"*", "?", "#", "[", "]", "[!", "-", "\n"});
