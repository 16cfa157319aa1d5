#include "discovery/CandidateRow.h"

#include "discovery/PathNames.h"
#include "platform/DbfReader.h"
#include "platform/FileEntry.h"
#include "shapefile/ShapefileFiles.h"

namespace {

const QString kNoValue = QStringLiteral(" - ");

// The table file in `folder` whose name equals `fileName` ignoring case, if any.
QString findIgnoringCase(const QString& folder, const QString& fileName) {
    for (const QString& name : FileEntry::names(folder)) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + name;
    }
    return QString();
}

}  // namespace

TableProp GetDBFTableProp(const QString& FullFileName) {
    const qsizetype separator = FullFileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = FullFileName.lastIndexOf(QLatin1Char('.'));
    if (separator < 0 || dot < separator)
        return {kNoValue, kNoValue};
    const QString folder = FullFileName.left(separator + 1);
    const QString table = FullFileName.mid(separator + 1, dot - separator - 1);
    // The usual spellings first, the .shp's own case leading: a folder listing per file would
    // cost more than the read.
    std::optional<DbfHeaderCounts> counts;
    for (const QString& name :
         ShapefileFiles::companionNames(FullFileName, QStringLiteral("dbf"))) {
        counts = DbfReader::readCounts(name);
        if (counts)
            break;
    }
    if (!counts) {
        const QString other = findIgnoringCase(folder, table + QStringLiteral(".dbf"));
        if (!other.isEmpty())
            counts = DbfReader::readCounts(other);
    }
    if (!counts)
        return {kNoValue, kNoValue};
    return {QString::number(counts->recordCount), QString::number(counts->fieldCount)};
}

QStringList candidateRowCells(const QString& path) {
    const TableProp props = GetDBFTableProp(path);
    return {path, props.fieldCount, props.recordCount, GetFNameFromFullName(path)};
}

QString candidateRowText(const QString& path) {
    return candidateRowCells(path).join(QLatin1Char('\t'));
}
