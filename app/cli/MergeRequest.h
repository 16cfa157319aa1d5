#pragma once

#include "cli/ScanRun.h"

#include <QString>
#include <QStringList>

#include <optional>

// What "conflux merge" was asked to do.
struct MergeRequest {
    ScanRequest scan;
    int kind = 0;  // 0 point, 1 line, 2 polygon
    QString mask = QStringLiteral("*");
    std::optional<QString> source;  // nullopt: the first admitted input
    bool shapefile = true;          // --out; false for --gdb
    QString path;                   // the output folder, GeoPackage file or File Geodatabase
    QString name;                   // the output's name
    bool replace = false;           // --yes
    bool create = false;            // --create: make a missing geodatabase
};

// Parses the merge arguments (args[0] is "merge"). On --help or a usage error returns the exit
// status, after printing; otherwise fills `request` and returns nullopt.
std::optional<int> parseMergeRequest(const QStringList& args, MergeRequest& request);
