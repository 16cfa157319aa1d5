// The test server itself: a test binary that dies leaves no server running, and its folder
// goes at the next start. CI runs as root, where a stray server would outlive the run.
#include "support/PostgresCluster.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {
constexpr const char* kCrashVariable = "CONFLUX_PG_CRASH_HELPER";

// Gone, or a zombie that nobody reaps (an orphan in a container whose first process does not).
bool processGone(pid_t pid) {
    const auto zombie = [pid] {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text;
        std::getline(stat, text);
        const std::size_t end = text.rfind(')');
        return end != std::string::npos && text.compare(end, 3, ") Z") == 0;
    };
    const auto started = std::chrono::steady_clock::now();
    while (::kill(pid, 0) == 0 && !zombie()) {
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(20)) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}
}  // namespace

// Run by the next test in a process of its own: starts the cluster, tells where, and dies.
TEST(PostgresClusterTest, CrashHelper) {
    if (qgetenv(kCrashVariable).isEmpty()) {
        GTEST_SKIP() << "runs only as the helper of KilledTestBinaryLeavesNoServer";
    }
    PostgresCluster& cluster = PostgresCluster::shared();
    std::printf("%s\n%d\n", cluster.folder().c_str(), static_cast<int>(cluster.serverPid()));
    std::fflush(stdout);
    ::raise(SIGKILL);
}

TEST(PostgresClusterTest, KilledTestBinaryLeavesNoServer) {
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kCrashVariable), QStringLiteral("1"));
    helper.setProcessEnvironment(environment);
    helper.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=PostgresClusterTest.CrashHelper")});
    ASSERT_TRUE(helper.waitForFinished(120000));
    EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);
    const QStringList told = QString::fromUtf8(helper.readAllStandardOutput())
                                 .split(u'\n', Qt::SkipEmptyParts)
                                 .filter(QRegularExpression(QStringLiteral("^(/|[0-9])")));
    ASSERT_EQ(told.size(), 2) << helper.readAllStandardError().toStdString();
    const std::string folder = told[0].toStdString();
    EXPECT_TRUE(processGone(told[1].toInt())) << "the server outlived its test binary";
    EXPECT_TRUE(std::filesystem::exists(folder));
    PostgresCluster::removeAbandoned();
    EXPECT_FALSE(std::filesystem::exists(folder));
}
