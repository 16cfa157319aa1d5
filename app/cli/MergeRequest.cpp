#include "cli/MergeRequest.h"

#include "cli/Arguments.h"
#include "cli/HelpText.h"
#include "discovery/OutputName.h"
#include "formats/NewGeodatabase.h"
#include "merge/OutputTarget.h"

namespace {

const QString kCommand = QStringLiteral("merge");

std::optional<int> kindOf(const QString& text) {
    const QString kind = text.toLower();
    if (kind == QStringLiteral("point"))
        return 0;
    if (kind == QStringLiteral("line"))
        return 1;
    if (kind == QStringLiteral("polygon"))
        return 2;
    return std::nullopt;
}

void addMergeOptions(QCommandLineParser& parser) {
    addScanOptions(parser);
    for (const char* name : {"kind", "mask", "source", "out", "name", "gdb", "class", "pg",
                             "schema", "t-srs", "s-srs"})
        parser.addOption({QString::fromLatin1(name), QString(), QStringLiteral("value")});
    for (const char* name : {"yes", "create", "create-schema", "skip-unreadable", "progress"})
        parser.addOption({QString::fromLatin1(name), QString()});
}

// The --gdb path as given, without the "/" that completing a folder's name leaves at its end.
QString geodatabasePath(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The options of a PostGIS output (--pg), which go with it alone.
std::optional<int> readPostgis(const QCommandLineParser& parser, MergeRequest& request) {
    const bool schema = parser.isSet(QStringLiteral("schema"));
    const bool createSchema = parser.isSet(QStringLiteral("create-schema"));
    if (request.output.kind != OutputKind::Postgis && (schema || createSchema))
        return usageError(kCommand, QStringLiteral("--schema and --create-schema go with --pg"));
    if (schema)
        request.output.schema = parser.value(QStringLiteral("schema"));
    request.output.createSchema = createSchema;
    return std::nullopt;
}

// The output part: exactly one of --out, --gdb and --pg, each with its own options.
std::optional<int> readOutput(const QCommandLineParser& parser, MergeRequest& request) {
    const bool out = parser.isSet(QStringLiteral("out"));
    const bool gdb = parser.isSet(QStringLiteral("gdb"));
    const bool pg = parser.isSet(QStringLiteral("pg"));
    if (out + gdb + pg != 1) {
        return usageError(kCommand,
                          QStringLiteral("give either --out FOLDER, --gdb PATH or --pg CONNINFO"));
    }
    if (out && parser.isSet(QStringLiteral("class")))
        return usageError(kCommand, QStringLiteral("--class goes with --gdb and --pg; use --name"));
    if (!out && parser.isSet(QStringLiteral("name")))
        return usageError(kCommand, QStringLiteral("--name goes with --out; use --class"));
    request.create = parser.isSet(QStringLiteral("create"));
    if (!gdb && request.create)
        return usageError(kCommand, QStringLiteral("--create goes with --gdb"));
    const QString path = out  ? parser.value(QStringLiteral("out"))
                         : pg ? parser.value(QStringLiteral("pg"))
                              : geodatabasePath(parser.value(QStringLiteral("gdb")));
    if (request.create && !canCreateGeodatabase(path)) {
        return usageError(kCommand, QStringLiteral("--create makes a GeoPackage (.gpkg) or a File "
                                                   "Geodatabase (.gdb), not '%1'")
                                        .arg(path));
    }
    const QString nameOption = out ? QStringLiteral("name") : QStringLiteral("class");
    const QString name = parser.isSet(nameOption)
                             ? parser.value(nameOption)
                             : proposedOutputName(request.scan.fileMask, request.mask);
    request.output = describeOutput(out, path, name);
    if (pg) {
        request.output.kind = OutputKind::Postgis;
        request.output.replace = request.replace;
    }
    return readPostgis(parser, request);
}

// --t-srs and --s-srs: a coordinate system each, as GDAL's utilities take one.
std::optional<int> readSystems(const QCommandLineParser& parser, MergeRequest& request) {
    for (const char* name : {"t-srs", "s-srs"}) {
        const QString option = QString::fromLatin1(name);
        if (!parser.isSet(option))
            continue;
        QString error;
        SpatialReferencePtr srs = SpatialReference::fromUserInput(parser.value(option), error);
        if (!srs)
            return usageError(kCommand, QStringLiteral("--%1: %2").arg(option, error));
        if (option == QStringLiteral("t-srs")) {
            request.targetSystem = parser.value(option);
            request.targetSrs = std::move(srs);
        } else {
            request.sourceSrs = std::move(srs);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> parseMergeRequest(const QStringList& args, MergeRequest& request) {
    QCommandLineParser parser;
    addMergeOptions(parser);
    if (const auto status = parseArguments(parser, args, HelpText::merge(), 1, 1))
        return status;
    request.scan = scanRequest(parser);
    if (!parser.isSet(QStringLiteral("kind")))
        return usageError(kCommand, QStringLiteral("--kind point|line|polygon is required"));
    const auto kind = kindOf(parser.value(QStringLiteral("kind")));
    if (!kind) {
        return usageError(kCommand, QStringLiteral("unknown kind '%1' (point, line or polygon)")
                                        .arg(parser.value(QStringLiteral("kind"))));
    }
    request.kind = *kind;
    if (parser.isSet(QStringLiteral("mask")))
        request.mask = parser.value(QStringLiteral("mask"));
    if (parser.isSet(QStringLiteral("source")))
        request.source = parser.value(QStringLiteral("source"));
    request.replace = parser.isSet(QStringLiteral("yes"));
    request.skipUnreadable = parser.isSet(QStringLiteral("skip-unreadable"));
    request.progress = parser.isSet(QStringLiteral("progress"));
    if (const auto status = readSystems(parser, request))
        return status;
    return readOutput(parser, request);
}
