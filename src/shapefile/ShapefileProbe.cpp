#include "shapefile/ShapefileProbe.h"

#include "errors/ConfluxError.h"
#include "platform/CodePage.h"
#include "platform/FileEntry.h"
#include "platform/FileNameCodec.h"
#include "platform/UniqueFd.h"
#include "shapefile/ShapefileFiles.h"

#include <QtEndian>

#include <unistd.h>

#include <cerrno>

namespace {

constexpr qint32 kFileCode = 9994;
constexpr qsizetype kMostCpgBytes = 256;
constexpr qsizetype kMostPrjBytes = 1 << 20;

}  // namespace

std::shared_ptr<const ShapefileProbe> ShapefileProbe::open(const QString& shpPath) {
    auto probe = std::make_shared<ShapefileProbe>();
    probe->m_shpPath = shpPath;
    const UniqueFd shp = UniqueFd::openRegularFile(FileNameCodec::encode(shpPath).constData());
    if (!shp.isOpen()) {
        throw ShapefileFiles::unreadable(shpPath, FileEntry::systemErrorText(errno));
    }
    char header[ShapefileFiles::kHeaderBytes];
    if (::pread(shp.get(), header, sizeof header, 0) != sizeof header ||
        qFromBigEndian<qint32>(header) != kFileCode) {
        throw ShapefileFiles::unreadable(shpPath, QStringLiteral("no shapefile header"));
    }
    probe->m_shpType = qFromLittleEndian<qint32>(header + 32);
    for (int i = 0; i < 4; ++i) {
        probe->m_box[i] = qFromLittleEndian<double>(header + 36 + 8 * i);
    }
    const auto index = FileEntry::regularFileSize(probe->companion(QStringLiteral("shx")));
    if (!index) {
        throw ShapefileFiles::unreadable(shpPath, QStringLiteral("its index (.shx) is missing"));
    }
    probe->m_records = std::max<std::int64_t>(0, (*index - ShapefileFiles::kHeaderBytes) / 8);

    probe->m_dbfPath = probe->companion(QStringLiteral("dbf"));
    probe->m_tableProblem = QStringLiteral("its table (.dbf) is missing or no regular file");
    if (!probe->m_dbfPath.isEmpty()) {
        probe->m_table = DbfTableHeader::readFile(probe->m_dbfPath, &probe->m_tableProblem);
    }
    if (const auto cpg = ShapefileFiles::readRegularFile(probe->companion(QStringLiteral("cpg")),
                                                         kMostCpgBytes)) {
        probe->m_codePage = CodePage::codePageFromCpg(*cpg);
    }
    if (!probe->m_codePage && probe->m_table && probe->m_table->languageDriver != 0) {
        probe->m_codePage = CodePage::codePageFromLanguageDriver(probe->m_table->languageDriver);
    }
    probe->m_prj =
        ShapefileFiles::readRegularFile(probe->companion(QStringLiteral("prj")), kMostPrjBytes);
    return probe;
}

QString ShapefileProbe::companion(const QString& extension) const {
    if (extension == QLatin1String("dbf") && !m_dbfPath.isEmpty()) {
        return m_dbfPath;
    }
    return ShapefileFiles::sidecar(m_shpPath, extension);
}
