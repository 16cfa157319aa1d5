#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>

// A one-line progress bar on standard error: done / total, a bar, the rate and the time left.
// Draws only when standard error is a terminal, so logs and pipes stay clean; redraws at most
// ten times a second.
class ProgressBar {
public:
    // `unit` names what is counted ("features", "files"); `wanted` false draws nothing.
    ProgressBar(QString unit, std::int64_t total, bool wanted = true);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(std::int64_t done);
    // Draws the final state and ends the line; later updates draw nothing.
    void finish();

    // The line drawn for `done` after `elapsedMs`.
    static QString render(const QString& unit, std::int64_t done, std::int64_t total,
                          std::int64_t elapsedMs);

private:
    void draw(std::int64_t done);

    QString m_unit;
    std::int64_t m_total;
    bool m_enabled;
    bool m_finished = false;
    std::int64_t m_done = 0;
    std::int64_t m_lastDrawMs = -1;
    QElapsedTimer m_clock;
};
