#include "cli/ProgressBar.h"

#include "cli/Console.h"

#include <algorithm>

namespace {

constexpr int kBarWidth = 24;
constexpr std::int64_t kRedrawMs = 100;

QString clockText(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    const QString minSec =
        QStringLiteral("%1:%2").arg((seconds / 60) % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:%2").arg(hours).arg(minSec, 5, QLatin1Char('0')) : minSec;
}

}  // namespace

ProgressBar::ProgressBar(QString unit, std::int64_t total, bool wanted)
    : m_unit(std::move(unit)), m_total(total), m_enabled(wanted && Console::stderrIsTerminal()) {
    m_clock.start();
}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::update(std::int64_t done) {
    m_done = done;
    if (!m_enabled || m_finished)
        return;
    const std::int64_t now = m_clock.elapsed();
    if (m_lastDrawMs >= 0 && now - m_lastDrawMs < kRedrawMs)
        return;
    m_lastDrawMs = now;
    draw(done);
}

void ProgressBar::finish() {
    if (!m_enabled || m_finished)
        return;
    m_finished = true;
    draw(m_done);
    Console::errRaw(QStringLiteral("\n"));
}

void ProgressBar::draw(std::int64_t done) {
    // Pad so that a shorter line wipes the end of a longer one.
    Console::errRaw(QLatin1Char('\r') +
                    render(m_unit, done, m_total, m_clock.elapsed()).leftJustified(78));
}

QString ProgressBar::render(const QString& unit, std::int64_t done, std::int64_t total,
                            std::int64_t elapsedMs) {
    const std::int64_t shown = total > 0 ? std::clamp<std::int64_t>(done, 0, total) : done;
    const double fraction =
        total > 0 ? static_cast<double>(shown) / static_cast<double>(total) : 0.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    QString line =
        QStringLiteral("[%1%2] %3/%4 %5")
            .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
            .arg(shown)
            .arg(total)
            .arg(unit);
    if (elapsedMs >= 500 && shown > 0) {
        const double perSecond = static_cast<double>(shown) * 1000.0 / elapsedMs;
        line += QStringLiteral("  %1/s").arg(static_cast<std::int64_t>(perSecond));
        const auto left = static_cast<std::int64_t>(static_cast<double>(total - shown) / perSecond);
        line += QStringLiteral("  %1 left").arg(clockText(left));
    }
    return line;
}
