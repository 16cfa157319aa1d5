#include "cli/InterruptFlag.h"

#include <signal.h>

#include <csignal>
#include <iterator>

namespace {

// Ctrl+C, a polite kill and a closed terminal all mean "stop and leave the output as it was".
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_raised = 0;
struct sigaction g_previous[std::size(kSignals)];

extern "C" void raiseFlag(int) {
    g_raised = 1;
}

}  // namespace

InterruptFlag::InterruptFlag() {
    g_raised = 0;
    struct sigaction action {};
    action.sa_handler = raiseFlag;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
}

InterruptFlag::~InterruptFlag() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
}

bool InterruptFlag::raised() {
    return g_raised != 0;
}
