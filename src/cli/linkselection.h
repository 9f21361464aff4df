#pragma once

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
// The port of the emulated Link with 0-based `index`: emu1, emu2, ...
QString emulatedPort(int index);

struct AttachedLink
{
    QString port;
    QString path;   // the hidraw node; for an emulated Link its folder
    bool iap = false;
};

// Every attached Link, in port order. Emulated: one per --emulate folder, none held open. Real: every Link
// interface the HID backend enumerates, placed by its port.
QVector<AttachedLink> attachedLinks(const CliOptions &options);
// The port of a real interface path; where no port can be told, the path's last part ("hidraw3").
QString portOfPath(const QString &path);

// Port order: the numbers in a port compare as numbers, so 1-1.10 follows 1-1.9 and emu10 follows emu9.
bool portLess(const QString &a, const QString &b);
