#pragma once

#include <QString>

class LinkCommands;
class workThread;

// The single-pass chip operations share one frame (lock, Link probe, memory map, chip detection, id check,
// own steps, ExitProgrammer); this describes what differs between them.
struct ChipOperation
{
    const char *startDebug;       // written after the lock is taken; nullptr: none
    const char *lockFailDebug;
    bool sendNvrInfo;             // WriteToNvrInfomation before the chip is looked for
    bool settleAfterLock;         // 10 ms pause once the lock is held
    QString busyLabel;            // empty: the label is left alone
    QString okLabel;
    QString failLabel;
    QString openFailLabel;        // shown at once when the Link cannot be opened
    int (*ownSteps)(LinkCommands &link);  // 0 or the operation's failure code
    void (workThread::*done)(int);
};
