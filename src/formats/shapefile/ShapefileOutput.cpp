#include "formats/shapefile/ShapefileOutput.h"

#include "host/GdalOpen.h"
#include "host/ShapefileFeatureClass.h"
#include "platform/CodePage.h"
#include "platform/DbfTableHeader.h"

#include <QDir>
#include <QFile>

#include <cpl_string.h>

namespace {
ConfluxError fileError(const QString& what, const QString& path) {
    return ConfluxError(ErrorNumber::HostFailure, QStringLiteral("%1 '%2'").arg(what, path));
}
}  // namespace

ShapefileOutput::ShapefileOutput(GdalErrorCapture& errors, const QString& folder,
                                 const QString& name, const OGRFeatureDefn& fields,
                                 OGRwkbGeometryType type, const QByteArray& codePage,
                                 const QString& prjSource)
    : m_errors(errors),
      m_folder(folder),
      m_name(name),
      m_staging(folder, name),
      m_codePage(codePage),
      m_prjSource(prjSource) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
    if (!driver) {
        throw m_errors.error(QStringLiteral("Shapefile driver missing"));
    }
    const QString shpPath = tempPath(QStringLiteral("shp"));
    m_dataset.reset(
        driver->Create(GdalOpen::toGdalPath(shpPath).constData(), 0, 0, 0, GDT_Unknown, nullptr));
    CPLStringList options;
    options.SetNameValue("ENCODING", "");  // text is written as the bytes given, never recoded
    OGRLayer* layer =
        m_dataset ? m_dataset->CreateLayer(name.toUtf8().constData(), nullptr, type, options.List())
                  : nullptr;
    if (!layer) {
        removeTemporaries();
        throw m_errors.error(
            QStringLiteral("Shapefile '%1/%2.shp' cannot be created").arg(folder, name));
    }
    for (int i = 0; i < fields.GetFieldCount(); ++i) {
        OGRFieldDefn field(fields.GetFieldDefn(i));
        if (layer->CreateField(&field, FALSE) != OGRERR_NONE) {
            removeTemporaries();
            throw m_errors.error(QStringLiteral("Field '%1' of '%2/%3.shp' cannot be created")
                                     .arg(QString::fromUtf8(field.GetNameRef()), folder, name));
        }
    }
    m_fields = layer->GetLayerDefn()->Clone();
    m_fields->Reference();
    closeFeatureLayer();
    // GDAL leaves an empty .cpg for "no recoding"; the declaration is written at commit.
    QFile::remove(tempPath(QStringLiteral("cpg")));
}

ShapefileOutput::~ShapefileOutput() {
    if (!m_committed) {
        removeTemporaries();
    }
    if (m_fields) {
        m_fields->Release();
    }
}

QString ShapefileOutput::tempPath(const QString& extension) const {
    return m_staging.tempPath(extension);
}

void ShapefileOutput::featureWritten(const OGRFeature& written) {
    const OGRGeometry* geometry = written.GetGeometryRef();
    m_hasShapes = m_hasShapes || (geometry && !geometry->IsEmpty());
}

OGRLayer& ShapefileOutput::featureLayer() {
    if (!m_dataset) {
        const char* const drivers[] = {"ESRI Shapefile", nullptr};
        const char* const options[] = {"ENCODING=", nullptr};
        m_dataset.reset(GDALDataset::Open(
            GdalOpen::toGdalPath(tempPath(QStringLiteral("shp"))).constData(),
            GDAL_OF_VECTOR | GDAL_OF_UPDATE | GDAL_OF_VERBOSE_ERROR, drivers, options, nullptr));
        if (!m_dataset || !m_dataset->GetLayer(0)) {
            m_dataset.reset();
            throw m_errors.error(
                QStringLiteral("Temporary shapefile '%1' cannot be opened").arg(tempPath("shp")));
        }
    }
    return *m_dataset->GetLayer(0);
}

OGRFeatureDefn& ShapefileOutput::fields() {
    return *m_fields;
}

void ShapefileOutput::closeFeatureLayer() {
    if (!m_dataset) {
        return;
    }
    const qsizetype failuresBefore = m_errors.failureCount();
    m_dataset->FlushCache(true);
    m_dataset.reset();
    if (m_errors.failureCount() != failuresBefore) {
        throw m_errors.error(
            QStringLiteral("Shapefile '%1' cannot be written").arg(tempPath("shp")));
    }
}

void ShapefileOutput::writeDeclarations() {
    if (!m_codePage.isEmpty()) {
        QFile cpg(tempPath(QStringLiteral("cpg")));
        if (!cpg.open(QIODevice::WriteOnly) || cpg.write(CodePage::cpgTextFor(m_codePage)) < 0) {
            throw fileError(QStringLiteral("Cannot write"), cpg.fileName());
        }
        QFile dbf(tempPath(QStringLiteral("dbf")));
        const char driver = static_cast<char>(CodePage::languageDriverForCodePage(m_codePage));
        if (!dbf.open(QIODevice::ReadWrite) || !dbf.seek(DbfTableHeader::kLanguageDriverOffset) ||
            dbf.write(&driver, 1) != 1) {
            throw fileError(QStringLiteral("Cannot write"), dbf.fileName());
        }
    }
    if (!m_prjSource.isEmpty()) {
        // Copied by hand: QFile::copy syncs the file, and on common file systems that waits for
        // every byte of the output just written to reach the disk.
        QFile source(m_prjSource);
        QFile prj(tempPath(QStringLiteral("prj")));
        if (!source.open(QIODevice::ReadOnly) || !prj.open(QIODevice::WriteOnly) ||
            prj.write(source.readAll()) != source.size()) {
            throw fileError(QStringLiteral("Cannot copy"), m_prjSource);
        }
    }
}

void ShapefileOutput::replaceExisting() {
    m_staging.replaceExisting();
}

std::shared_ptr<IFeatureClass> ShapefileOutput::commit() {
    closeFeatureLayer();
    writeDeclarations();
    replaceExisting();
    m_committed = true;
    return std::make_shared<ShapefileFeatureClass>(
        QDir(m_folder).filePath(m_name + QStringLiteral(".shp")));
}

void ShapefileOutput::removeTemporaries() {
    m_dataset.reset();
    m_staging.removeTemporaries();
}
