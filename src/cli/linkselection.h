#pragma once

#include "session/attachedlinks.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct CliOptions;

// Which Links a command is for. Without --link a command drives the one attached Link (and is refused when
// several are attached); --link PORT drives that Link alone; --link all or a comma list runs a gang.
struct LinkChoice
{
    enum Mode { OneLink, Port, Gang };
    Mode mode = OneLink;
    QStringList ports;  // Port: the one port; Gang: the list given (empty for all)

    bool isGang() const { return mode == Gang; }
};

// Reads the --link value; false with `error` for a malformed one.
bool parseLinkChoice(const QString &value, LinkChoice *choice, QString *error);

// Checks --link and --emulate together; a single emulated port (--link emu2) narrows --emulate to that
// Link's folder, so the rest of the run sees one emulated Link. False with `error` for a usage error.
bool resolveLinkChoice(CliOptions &options, LinkChoice *choice, QString *error);

// The folders of --emulate=DIR1,DIR2,... in order; one empty entry for a plain --emulate (state in
// memory); none without --emulate. False with `error` for an empty folder in the list.
bool emulatedFolders(const CliOptions &options, QStringList *folders, QString *error);
