#include "errors/ErrorHandling.h"

#include "support/CapturedErrorWindow.h"

#include <gtest/gtest.h>

namespace {

const QString kHeading = QStringLiteral("Record Call Stack Sequence - Bottom line is error line.");

QString expectedReport(const QString& label, const QString& number, const QString& description) {
    return kHeading + "\r\n\r\n\t" + label + "\r\n" + "\r\nError Number \r\n\t" + number +
           "\r\nDescription\r\n\t" + description + "\r\n\r\n";
}

// A negative number keeps its sign; an empty description keeps its heading.
TEST(ErrorHandling, ReportLaysOutLabelNumberAndDescriptionWithCrLfAndTab) {
    const struct {
        QString label;
        int number;
        QString description;
    } rows[] = {{"Class_Initialize clsConflux ", 53, "File not found"},
                {"Conflux  ", -2147467259, ""}};
    for (const auto& row : rows) {
        ErrorCapture capture;
        ErrorHandling::ReportError(row.label, row.number, row.description);
        ASSERT_EQ(capture.reports.texts.size(), 1);
        EXPECT_EQ(capture.reports.texts[0],
                  expectedReport(row.label, QString::number(row.number), row.description));
        EXPECT_EQ(capture.reports.shows, QList<bool>{true});
    }
}

TEST(ErrorHandling, BoundaryBuildsLabelFromProcedureModuleAndLine) {
    ErrorCapture capture;
    ErrorHandling::reportingBoundary(QStringLiteral("cmdToInput "), QString(), [] {
        throw ConfluxError(9, QStringLiteral("Subscript out of range"), 12);
    });
    ErrorHandling::reportingBoundary(QStringLiteral("ICommand_Name "), QStringLiteral("clsConflux"),
                                     [] { throw ConfluxError(5, QStringLiteral("x")); });
    ASSERT_EQ(capture.reports.texts.size(), 2);
    EXPECT_TRUE(
        capture.reports.texts[0].contains("\t"
                                          "cmdToInput  Line : 12\r\n"));
    EXPECT_TRUE(capture.reports.texts[1].contains("\tICommand_Name clsConflux \r\n"));
}

}  // namespace
