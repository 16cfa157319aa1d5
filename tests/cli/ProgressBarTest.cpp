#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

TEST(ProgressBarTest, LineShowsCountBarRateAndTimeLeft) {
    struct Row {
        const char* name;
        std::int64_t done, total, elapsedMs;
        const char* expected;
    };
    const Row rows[] = {
        {"start, no rate yet", 0, 1000, 0, "[........................] 0/1000 features"},
        {"rate waits for half a second", 500, 1000, 400,
         "[############............] 500/1000 features"},
        {"half done in 2 s", 500, 1000, 2000,
         "[############............] 500/1000 features  250/s  0:02 left"},
        {"done beyond total is clamped", 1200, 1000, 4000,
         "[########################] 1000/1000 features  250/s  0:00 left"},
        {"hours", 1, 7201, 1000, "[........................] 1/7201 features  1/s  2:00:00 left"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(
            ProgressBar::render(QStringLiteral("features"), row.done, row.total, row.elapsedMs),
            QString::fromUtf8(row.expected))
            << row.name;
    }
}
