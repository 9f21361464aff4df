#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QApplication;

// Program entry after the application object exists: --lang zh|en picks the language (see lang/language.h);
// --emulate[=DIR] puts the Link emulator behind the HID backend and --trace FILE appends every report to
// FILE; the window is built, cfg.db checked once more, and the event loop run. Returns the exit code (1 when
// the emulator folder or the trace file cannot be used, 2 for
// options the window does not take and for an `undecodable` argument (appdir/arguments.h); 0 after --help,
// which prints the options and opens no window).
int runTarnquill(QApplication &app, const QStringList &arguments, const QByteArray &undecodable = QByteArray());

// The Link the window's command line asks for.
struct LinkOptions
{
    bool emulate = false;
    QString emulateDir;  // empty: the emulator keeps its state in memory
    QString traceFile;   // empty: no trace
    bool stationView = false;  // --station-view: the station view opens with the window
    QString stationName;       // --station NAME
    bool stationNamed = false;
    QString ledgerUrl;         // --ledger URL; empty: TQ_LEDGER, else none
    QString operatorName;      // --operator NAME
};

// What --help prints.
QString windowUsage();
// Why the window cannot take these options (the command line's several-Link --emulate=A,B without the
// station view, an empty station name, a ledger URL that is none), else empty.
QString linkOptionsError(const LinkOptions &options);

// Reads --emulate, --emulate=DIR, --trace FILE, --trace=FILE, --station-view, --station NAME, --ledger URL
// and --operator NAME (each also as --name=VALUE); other arguments are left to Qt.
LinkOptions linkOptions(const QStringList &arguments);
