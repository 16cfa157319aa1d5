#pragma once

#include "host/GdalErrorCapture.h"

#include <ogrsf_frmts.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

// The template's fields, spatial reference and .prj, read once.
struct TemplateSchema {
    std::unique_ptr<OGRFeatureDefn, void (*)(OGRFeatureDefn*)> fields{
        nullptr, [](OGRFeatureDefn* defn) { defn->Release(); }};
    std::unique_ptr<OGRSpatialReference, void (*)(OGRSpatialReference*)> srs{
        nullptr, [](OGRSpatialReference* srs) { srs->Release(); }};
    QString prjPath;
    std::int32_t shpType = 0;
    QStringList names;  // the fields' names as text

    // `outputCodePage`: the merge's text plan's. A UTF-8 output gets the names recoded, within
    // the dBASE limit of 10 bytes when `shortNames`.
    TemplateSchema(const QString& shpPath, GdalErrorCapture& errors,
                   const QByteArray& outputCodePage, bool shortNames);
};
