#include "cli/GdalProgress.h"

#include "cli/Console.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSteps = 40;  // of 2.5 per cent
}  // namespace

GdalProgress::~GdalProgress() {
    if (m_enabled && !m_finished && m_steps >= 0) {
        Console::errRaw(QStringLiteral("\n"));  // a message that follows starts a line
    }
}

void GdalProgress::update(double complete) {
    if (!m_enabled || m_finished) {
        return;
    }
    const int reached = std::clamp(static_cast<int>(std::floor(complete * kSteps)), 0, kSteps);
    QString text;
    for (int step = m_steps + 1; step <= reached; ++step) {
        text += step % 4 == 0 ? QString::number(step / 4 * 10) : QStringLiteral(".");
    }
    if (!text.isEmpty()) {
        Console::errRaw(text);
        m_steps = reached;
    }
}

void GdalProgress::finish() {
    if (!m_enabled || m_finished) {
        return;
    }
    update(1.0);
    Console::errRaw(QStringLiteral(" - done.\n"));
    m_finished = true;
}
