#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The Links attached to this computer, as every front end lists them: the command line's `links` and gang,
// the window's station view. Emulated Links are given as the folders of --emulate=DIR1,DIR2,... (one empty
// entry for a plain --emulate, whose state is in memory) and take the ports emu1, emu2, ...

struct AttachedLink
{
    QString port;
    QString path;   // the hidraw node; for an emulated Link its folder
    bool iap = false;
};

// The folders of an --emulate value in order; one empty entry for an empty value. False with `error` for an
// empty folder in a list or one folder given twice (each Link needs a folder of its own).
bool emulatedFolderList(const QString &emulateDir, QStringList *folders, QString *error);
// The port of the emulated Link with 0-based `index`: emu1, emu2, ...
QString emulatedPort(int index);

// Every attached Link, in port order. Emulated (`emulate`): one per folder of `emulateDir` that is plugged
// in, none held open. Real: every Link interface the installed HID backend enumerates, placed by its port.
QVector<AttachedLink> attachedLinks(bool emulate, const QString &emulateDir);
// The port of a real interface path; where no port can be told, the path's last part ("hidraw3").
QString portOfPath(const QString &path);

// Port order: the numbers in a port compare as numbers, so 1-1.10 follows 1-1.9 and emu10 follows emu9.
bool portLess(const QString &a, const QString &b);
