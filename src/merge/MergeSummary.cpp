#include "merge/MergeSummary.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

QString mergeSummaryText(std::int64_t merged, std::int64_t newFeatureCount,
                         std::int64_t totalRows) {
    return QStringLiteral("Merge success!!!") + kCrLf + QStringLiteral("Featurs merged ") +
           QString::number(merged) + kCrLf + QStringLiteral("new Feature count ") +
           QString::number(newFeatureCount) + kCrLf + QStringLiteral("not merged ") +
           QString::number(totalRows - newFeatureCount);
}

QString refusedByReasonText(const MergeReport& report) {
    QString text = QStringLiteral("other geometry ") + QString::number(report.otherGeometry) +
                   kCrLf + QStringLiteral("unreadable ") + QString::number(report.unreadable) +
                   kCrLf + QStringLiteral("write error ") + QString::number(report.writeErrors);
    if (report.unreadableInputs != 0) {
        text +=
            kCrLf + QStringLiteral("inputs not opened ") + QString::number(report.unreadableInputs);
    }
    return text;
}
