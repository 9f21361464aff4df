#include "enginerunner.h"

#include <csignal>

namespace {
void onInterrupt(int) { noteInterrupt(); }
}

// SA_RESETHAND: the second SIGINT finds the default action again and ends the program.
void installInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}
