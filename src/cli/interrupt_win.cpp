#include "enginerunner.h"

#include <windows.h>

namespace {
// Runs on a thread of its own. Declining a second Ctrl-C leaves it to the default handler, which ends the program.
BOOL WINAPI onConsoleControl(DWORD type)
{
    if ((type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) || interrupted())
        return FALSE;
    noteInterrupt();
    return TRUE;
}
}

void installInterruptHandler() { SetConsoleCtrlHandler(onConsoleControl, TRUE); }
