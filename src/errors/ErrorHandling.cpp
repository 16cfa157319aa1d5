#include "errors/ErrorHandling.h"

#include <memory>
#include <utility>

// Provided by the platform layer: the window that shows a report on this desktop.
std::unique_ptr<ErrorWindow> makeCallStackWindow();

namespace ErrorHandling {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTab = QStringLiteral("\t");

struct ReporterState {
    ErrorWindowFactory factory = [] { return makeCallStackWindow(); };
    std::unique_ptr<ErrorWindow> m_pErrorWindow;
};

ReporterState& state() {
    static ReporterState s;
    return s;
}

}  // namespace

QString DecorateDescription(std::int32_t number, const QString& description) {
    return kCrLf + QStringLiteral("Error Number ") + kCrLf + kTab + QString::number(number) +
           kCrLf + QStringLiteral("Description") + kCrLf + kTab + description + kCrLf + kCrLf;
}

void ReportError(const QString& label, std::int32_t number, const QString& description) {
    ShowCallStackWindow(label, DecorateDescription(number, description));
}

QString GetLineText(std::int32_t line) {
    return line == 0 ? QString() : QStringLiteral("Line : ") + QString::number(line);
}

void ShowCallStackWindow(const QString& label, const QString& description) {
    auto& s = state();
    if (!s.m_pErrorWindow) {
        s.m_pErrorWindow = s.factory();
    }
    s.m_pErrorWindow->setText(
        QStringLiteral("Record Call Stack Sequence - Bottom line is error line.") + kCrLf + kCrLf +
        kTab + label + kCrLf + description);
    s.m_pErrorWindow->show(true);
}

void setErrorWindowFactory(ErrorWindowFactory factory) {
    auto& s = state();
    s.factory = std::move(factory);
    s.m_pErrorWindow.reset();
}

void reportCurrentException(const QString& procedureLabel, const QString& modulePart) {
    std::int32_t number = ErrorNumber::HostFailure;
    std::int32_t line = 0;
    QString description;
    try {
        throw;
    } catch (const ConfluxError& e) {
        number = e.number();
        line = e.line();
        description = e.description();
    } catch (const std::bad_alloc&) {
        number = 7;
        description = QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        description = QStringLiteral("Unknown error");
    }
    ReportError(procedureLabel + modulePart + QLatin1Char(' ') + GetLineText(line), number,
                description);
}

}  // namespace ErrorHandling
