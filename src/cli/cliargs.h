#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

// Everything the command line asked for, checked for form but not yet against files or the chip.
struct CliOptions
{
    // Global options.
    QString chip;              // catalogue or display name; empty = the first selectable chip
    QStringList areas;         // rom, bl, ee, nvr1, nvr2, nvr3 in the order given; empty = command default
    bool singleWire = false;
    bool emulate = false;
    QString emulateDir;        // empty: the emulator keeps its state in memory only
    QString traceFile;
    bool json = false;
    QString link;              // --link PORT, P1,P2,... or all; empty = the one attached Link
    int expect = 0;            // --expect N: a gang refuses to start with fewer attached Links; 0 = not given
    bool gangWorker = false;   // runs one Link of a gang for the parent process
    QString gangSerial;        // a gang worker's serial numbers, START:STEP
    QString ledger;            // --ledger URL; empty = TQ_LEDGER
    QString station;           // --station NAME; empty = the host name
    QString operatorName;      // --operator NAME
    QString linkLabel;         // --label NAME: a worker's Link as the operator calls it, for the ledger's records

    QString command;
    QStringList operands;

    // Command options.
    QString to;                // convert: rom or bl; empty = decided by the input
    bool loop = false;         // burn
    bool verify = false;       // burn
    QString logFile;           // burn
    QString serialSpace;       // burn --serial NAME: the ledger's serial space
    bool hasChipId = false;    // emulator
    uint16_t chipId = 0;
    bool insert = false;       // emulator
    bool remove = false;       // emulator
    bool unplug = false;       // emulator
    bool plug = false;         // emulator
    bool hasFirmware = false;  // emulator
    uint16_t fwH = 0, fwM = 0, fwL = 0;
    QHash<QString, QString> ledgerValues;  // the ledger command's options (ledgerargs.h) by name
};

struct CliParse
{
    enum Status { Run, Help, UsageError };
    Status status = UsageError;
    QString error;  // for UsageError
    CliOptions options;
};

// Options may stand before or after the command; "--opt VALUE" and "--opt=VALUE" both work, except
// --emulate, whose folder needs the "=" form. `arguments` excludes the program name.
CliParse parseCliArguments(const QStringList &arguments);

QString cliUsage();

// The area names of --areas, in their fixed order.
const QStringList &cliAreaNames();
