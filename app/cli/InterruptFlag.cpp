#include "cli/InterruptFlag.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_raised = 0;
using Handler = void (*)(int);
Handler g_previous = SIG_DFL;

extern "C" void raiseFlag(int) {
    g_raised = 1;
}

}  // namespace

InterruptFlag::InterruptFlag() {
    g_raised = 0;
    g_previous = std::signal(SIGINT, raiseFlag);
}

InterruptFlag::~InterruptFlag() {
    std::signal(SIGINT, g_previous == SIG_ERR ? SIG_DFL : g_previous);
}

bool InterruptFlag::raised() {
    return g_raised != 0;
}
