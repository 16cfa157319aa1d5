#include "host/GdalShapefilePath.h"

#include "formats/shapefile/ShapefileFiles.h"
#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"

#include <unistd.h>

#include <cstdlib>

namespace {

// The files GDAL opens for reading a shapefile, each tried in lower case, then upper case.
const char* const kOpenedByGdal[] = {"shp", "shx", "dbf", "cpg", "prj"};

// The stem of `shpPath` with its folder: "/a/roads." for "/a/roads.shp".
QString stemOf(const QString& shpPath) {
    return shpPath.left(shpPath.lastIndexOf(QLatin1Char('/')) + 1) +
           ShapefileFiles::baseName(shpPath) + QLatin1Char('.');
}

// Whether GDAL would open something that is no regular file: it takes, for each extension, the
// lower-case name when it exists and the upper-case one otherwise.
bool hasOddCompanion(const QString& stem) {
    for (const char* extension : kOpenedByGdal) {
        const QString lower = QString::fromLatin1(extension);
        FileEntry::Kind kind = FileEntry::kind(stem + lower);
        if (kind == FileEntry::Kind::Missing)
            kind = FileEntry::kind(stem + lower.toUpper());
        if (kind != FileEntry::Kind::Missing && kind != FileEntry::Kind::RegularFile)
            return true;
    }
    return false;
}

QByteArray temporaryRoot() {
    const char* root = std::getenv("TMPDIR");
    return root && *root ? QByteArray(root) : QByteArray("/tmp");
}

}  // namespace

GdalShapefilePath::GdalShapefilePath(const QString& shpPath)
    : m_path(FileNameCodec::encode(shpPath)) {
    if (hasOddCompanion(stemOf(shpPath)))
        linkRegularFiles(shpPath);
}

GdalShapefilePath::~GdalShapefilePath() {
    for (const QByteArray& link : m_links)
        ::unlink(link.constData());
    if (!m_privateFolder.isEmpty())
        ::rmdir(m_privateFolder.constData());
}

// Without the private folder (no room in the temporary folder) GDAL is handed nothing that
// opens, and the shapefile fails to open with GDAL's own message rather than hanging.
void GdalShapefilePath::linkRegularFiles(const QString& shpPath) {
    const QString stem = stemOf(shpPath);
    const qsizetype slash = stem.lastIndexOf(QLatin1Char('/'));
    const QByteArray fileStem = FileNameCodec::encode(stem.mid(slash + 1));
    QByteArray folder = temporaryRoot() + "/conflux-view-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        m_path = folder + '/' + FileNameCodec::encode(shpPath.mid(slash + 1));
        return;
    }
    m_privateFolder = folder;
    m_ownFolder = slash < 0 ? QByteArray(".") : FileNameCodec::encode(stem.left(slash));
    m_path = folder + '/' + FileNameCodec::encode(shpPath.mid(slash + 1));
    for (const char* extension : kOpenedByGdal) {
        const QString lower = QString::fromLatin1(extension);
        for (const QString& name : {lower, lower.toUpper()}) {
            const QString target = FileEntry::canonicalPath(stem + name);
            if (target.isEmpty() || !FileEntry::isRegularFile(target))
                continue;
            const QByteArray link = folder + '/' + fileStem + name.toLatin1();
            if (::symlink(FileNameCodec::encode(target).constData(), link.constData()) == 0)
                m_links.append(link);
        }
    }
}

QString GdalShapefilePath::shown(const QString& text) const {
    if (m_privateFolder.isEmpty())
        return text;
    QString result = text;
    return result.replace(FileNameCodec::decode(m_privateFolder),
                          FileNameCodec::decode(m_ownFolder));
}
