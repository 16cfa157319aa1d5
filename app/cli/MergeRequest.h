#pragma once

#include "cli/ScanRun.h"
#include "formats/OutputPlace.h"
#include "gdal/SpatialReference.h"

#include <QString>
#include <QStringList>

#include <optional>

// What "conflux merge" was asked to do.
struct MergeRequest {
    ScanRequest scan;
    int kind = 0;  // 0 point, 1 line, 2 polygon
    QString mask = QStringLiteral("*");
    std::optional<QString> source;  // nullopt: the first admitted input
    // --out, --gdb or --pg with the output's name, --schema, --create-schema; replace: --yes
    OutputPlace output;
    bool replace = false;           // --yes
    bool create = false;            // --create: make a missing geodatabase
    bool skipUnreadable = false;    // --skip-unreadable
    bool progress = false;          // --progress: GDAL's progress line instead of the bar
    QString targetSystem;           // --t-srs as given; empty: the template's
    SpatialReferencePtr targetSrs;  // what it names
    SpatialReferencePtr sourceSrs;  // --s-srs: inputs without a .prj
};

// Parses the merge arguments (args[0] is "merge"). On --help or a usage error returns the exit
// status, after printing; otherwise fills `request` and returns nullopt.
std::optional<int> parseMergeRequest(const QStringList& args, MergeRequest& request);
