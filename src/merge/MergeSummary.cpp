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
    QStringList refused;
    QStringList changed;
    auto add = [](QStringList& lines, std::int64_t count, const QString& reason) {
        if (count != 0) {
            lines << QStringLiteral("%1: %2").arg(reason).arg(count);
        }
    };
    add(refused, report.otherGeometry, QStringLiteral("other geometry"));
    add(refused, report.unreadable, QStringLiteral("unreadable input"));
    add(refused, report.nonFinite, QStringLiteral("non-finite coordinate"));
    add(refused, report.deletedRecords, QStringLiteral("deleted records"));
    for (const MergeReport::Reprojection& reprojection : report.reprojections) {
        add(refused, reprojection.failed,
            QStringLiteral("could not be reprojected from %1").arg(reprojection.from));
        add(changed, reprojection.written,
            QStringLiteral("reprojected from %1").arg(reprojection.from));
    }
    add(changed, report.takenAsOutputs,
        QStringLiteral("no coordinate system (taken as the output's)"));
    add(changed, report.systemDropped,
        QStringLiteral("coordinate system dropped (the output has none)"));
    add(changed, report.withoutAttributes,
        QStringLiteral("without attributes (no readable table row)"));
    add(changed, report.notConvertible, QStringLiteral("value not convertible (left empty)"));
    add(changed, report.numbersRounded, QStringLiteral("number rounded"));
    add(changed, report.textShortened, QStringLiteral("text shortened"));
    add(changed, report.numbersTooWide, QStringLiteral("number too wide"));
    if (report.unreadableInputs != 0) {
        refused
            << QStringLiteral("(inputs that could not be opened: %1)").arg(report.unreadableInputs);
    }
    QStringList lines{QStringLiteral("Not merged, by reason:")};
    lines << (refused.isEmpty() ? QStringList{QStringLiteral("none")} : refused);
    if (!changed.isEmpty()) {
        lines << QStringLiteral("Merged with a change:") << changed;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace MergeSummary
