#include "gangsignals.h"

#include <atomic>
#include <csignal>

namespace {
std::atomic<int> s_signal{0};

void onTerminate(int signal)
{
    s_signal.store(signal);
}
}

void installGangTerminationHandler()
{
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

int gangTerminationSignal()
{
    return s_signal.load();
}
