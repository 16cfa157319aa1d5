// Runs every registered fuzz target for a fixed number of mutants (CONFLUX_FUZZ_RUNS, default
// 20000) or seconds (CONFLUX_FUZZ_SECONDS, default 15), whichever ends first, from a fixed seed
// (CONFLUX_FUZZ_SEED). A crash, a sanitizer report or a failed check ends the process after
// printing the input, in hex, and writing it to fuzz-failure-<target> in the working folder.
#include "FuzzTarget.h"
#include "Mutator.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <exception>
#include <string>

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define CONFLUX_HAS_SANITIZER_HOOKS 1
#endif

// Test lists name a target, not its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out) {
    *out << target.name;
}

QList<FuzzTarget>& fuzzTargets() {
    static QList<FuzzTarget> targets;
    return targets;
}

namespace {

const FuzzTarget* g_target = nullptr;
QByteArray g_input;  // the input being run, for the failure report

void reportInput() {
    if (!g_target)
        return;
    std::fprintf(stderr, "fuzz target %s failed on %lld bytes: %s\n", g_target->name,
                 static_cast<long long>(g_input.size()), g_input.toHex().constData());
    QFile file(QStringLiteral("fuzz-failure-%1").arg(QLatin1String(g_target->name)));
    if (file.open(QIODevice::WriteOnly))
        file.write(g_input);
}

extern "C" void onFatalSignal(int number) {
    reportInput();
    std::signal(number, SIG_DFL);
    std::raise(number);
}

void installFailureReport() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
#ifdef CONFLUX_HAS_SANITIZER_HOOKS
    __sanitizer_set_death_callback(reportInput);
#endif
    std::set_terminate([] {
        reportInput();
        std::abort();
    });
    std::signal(SIGABRT, onFatalSignal);
    std::signal(SIGSEGV, onFatalSignal);
}

qint64 setting(const char* name, qint64 fallback) {
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok && value > 0 ? value : fallback;
}

class Fuzz : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(Fuzz, SurvivesMutantsOfItsSeeds) {
    const FuzzTarget& target = GetParam();
    installFailureReport();
    g_target = &target;
    const QList<QByteArray> corpus = target.seeds();
    ASSERT_FALSE(corpus.isEmpty());
    for (const QByteArray& seed : corpus) {
        g_input = seed;
        target.run(seed);
    }
    const qint64 runs = setting("CONFLUX_FUZZ_RUNS", 20000);
    const qint64 limitMs = 1000 * setting("CONFLUX_FUZZ_SECONDS", 15);
    const qint64 seed = setting("CONFLUX_FUZZ_SEED", 20261206);
    Mutator mutator(std::uint64_t(seed), target.maxLength, target.dictionary);
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    for (; done < runs && clock.elapsed() < limitMs; ++done) {
        g_input = mutator.mutate(corpus);
        target.run(g_input);
    }
    g_target = nullptr;
    std::fprintf(stderr, "fuzz target %s: %lld mutants from seed %lld in %lld ms\n", target.name,
                 static_cast<long long>(done), static_cast<long long>(seed),
                 static_cast<long long>(clock.elapsed()));
}

INSTANTIATE_TEST_SUITE_P(Targets, Fuzz, ::testing::ValuesIn(fuzzTargets()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
