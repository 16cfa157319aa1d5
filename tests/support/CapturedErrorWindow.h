#pragma once

#include "errors/ErrorHandling.h"

#include <QStringList>

#include <memory>

// Captures what the reporter hands to its error window instead of showing it.
struct CapturedReports {
    QStringList texts;
    QList<bool> shows;
    int windowsCreated = 0;
    // Identity of the window each text went to.
    QList<int> windowOfText;
};

class CapturedErrorWindow : public ErrorWindow {
public:
    CapturedErrorWindow(CapturedReports& reports, int id) : m_reports(reports), m_id(id) {}
    void setText(const QString& text) override {
        m_reports.texts << text;
        m_reports.windowOfText << m_id;
    }
    void show(bool modal) override { m_reports.shows << modal; }

private:
    CapturedReports& m_reports;
    int m_id;
};

// Installs the capture for one test and restores a fresh capture-less reporter afterwards.
class ErrorCapture {
public:
    ErrorCapture() {
        ErrorHandling::setErrorWindowFactory([this] {
            return std::make_unique<CapturedErrorWindow>(reports, ++reports.windowsCreated);
        });
    }
    ~ErrorCapture() {
        ErrorHandling::setErrorWindowFactory(
            [] { return std::unique_ptr<ErrorWindow>(new CapturedErrorWindow(orphan(), 0)); });
    }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    CapturedReports reports;

private:
    // Reports made outside any capture are kept here rather than opening a window in a test.
    static CapturedReports& orphan() {
        static CapturedReports r;
        return r;
    }
};
