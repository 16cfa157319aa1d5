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
    // Merged, but not quite as read: counted under their own reasons too.
    add(report.textShortened, "text shortened");
    add(report.numbersTooWide, "number too wide");
    if (report.unreadableInputs != 0) {
        lines
            << QStringLiteral("(inputs that could not be opened: %1)").arg(report.unreadableInputs);
    }
    if (lines.size() == 1) {
        lines << QStringLiteral("none");
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace MergeSummary
