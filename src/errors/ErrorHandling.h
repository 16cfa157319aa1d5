#pragma once

#include "errors/ConfluxError.h"
#include "errors/ErrorWindow.h"

#include <QString>

#include <cstdint>
#include <exception>

// Reports an unexpected failure of a procedure as one copyable call-stack text.
namespace ErrorHandling {

void ReportError(const QString& label, std::int32_t number, const QString& description);
QString GetLineText(std::int32_t line);
void ShowCallStackWindow(const QString& label, const QString& description);

// The description as the report shows it, framed by its number.
QString DecorateDescription(std::int32_t number, const QString& description);

// Replaces how the error window is made; the window already made is dropped, so the next
// report creates one from the new factory. Tests capture reports this way.
void setErrorWindowFactory(ErrorWindowFactory factory);

// Reports the exception in flight for the procedure `procedureLabel` of `modulePart`. Call it
// from a catch block only.
void reportCurrentException(const QString& procedureLabel, const QString& modulePart = {});

// Runs `body` under the handler convention: an error is reported with the procedure's label
// and the procedure returns its default; anything `body` changed before failing stays.
template <typename Body>
void reportingBoundary(const QString& procedureLabel, const QString& modulePart, Body&& body) {
    try {
        body();
    } catch (...) {
        reportCurrentException(procedureLabel, modulePart);
    }
}

}  // namespace ErrorHandling
