#include "merge/MergeSummary.h"

#include <QStringList>

namespace MergeSummary {

QString text(std::int64_t inputsMerged, std::int64_t newFeatureCount, std::int64_t totalInputRows) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Merge success!!!") + crlf + QStringLiteral("Featurs merged ") +
           QString::number(inputsMerged) + crlf + QStringLiteral("new Feature count ") +
           QString::number(newFeatureCount) + crlf + QStringLiteral("not merged ") +
           QString::number(totalInputRows - newFeatureCount);
}

QString refusedByReason(const MergeReport& report) {
    QStringList lines{QStringLiteral("Not merged, by reason:")};
    auto add = [&lines](std::int64_t count, const char* reason) {
        if (count != 0) {
            lines << QStringLiteral("%1: %2").arg(QLatin1String(reason)).arg(count);
        }
    };
    add(report.otherGeometry, "other geometry");
    add(report.unreadable, "unreadable input");
    add(report.nonFinite, "non-finite coordinate");
    add(report.writeErrors, "write error");
    add(report.deletedRecords, "deleted records");
    if (report.unreadableInputs != 0) {
        lines
            << QStringLiteral("(inputs that could not be opened: %1)").arg(report.unreadableInputs);
    }
    if (lines.size() == 1) {
        lines << QStringLiteral("none");
    }
    // Features that were merged, but not quite as they were read.
    const qsizetype refusals = lines.size();
    add(report.textShortened, "text shortened");
    add(report.numbersTooWide, "number too wide");
    if (lines.size() > refusals) {
        lines.insert(refusals, QStringLiteral("Merged with changes:"));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace MergeSummary
