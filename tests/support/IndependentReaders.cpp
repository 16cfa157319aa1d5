#include "support/IndependentReaders.h"

#include <QJsonDocument>
#include <QProcess>

namespace {

const char* const kPyshpDump = R"(
import json, sys, shapefile
r = shapefile.Reader(sys.argv[1])
def val(v):
    return None if v is None else str(v)
shapes = []
for s in r.shapes():
    shapes.append({"type": s.shapeType, "parts": list(getattr(s, "parts", [])),
                   "points": [list(p) for p in s.points],
                   "z": list(getattr(s, "z", [])),
                   "m": list(getattr(s, "m", []))})
out = {"shapeType": r.shapeType, "bbox": list(r.bbox),
       "zbox": list(getattr(r, "zbox", []) or []), "mbox": list(getattr(r, "mbox", []) or []),
       "fields": [list(f) for f in r.fields[1:]], "shapes": shapes,
       "records": [[val(v) for v in rec] for rec in r.records()]}
print(json.dumps(out))
)";

QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (exitCode) {
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return QString::fromUtf8(process.readAll());
}

}  // namespace

namespace IndependentReaders {

QJsonObject pyshp(const QString& shpPath) {
    int exitCode = 0;
    const QString output =
        run(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QString::fromUtf8(kPyshpDump), shpPath}, &exitCode);
    const QJsonDocument document = QJsonDocument::fromJson(output.toUtf8());
    if (exitCode != 0 || !document.isObject()) {
        return QJsonObject{{QStringLiteral("error"), output}};
    }
    return document.object();
}

QString shpdumpValidate(const QString& shpPath) {
    return run(QStringLiteral("shpdump"), {QStringLiteral("-validate"), shpPath});
}

QString validateGeoPackage(const QString& path) {
    int exitCode = 0;
    const QString output =
        run(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("/usr/lib/python3/dist-packages/osgeo_utils/samples/validate_gpkg.py"),
             QStringLiteral("--extra"), path},
            &exitCode);
    return exitCode == 0 ? QString() : output + QStringLiteral(" (exit %1)").arg(exitCode);
}

}  // namespace IndependentReaders
