#pragma once

#include <QStringList>

class QApplication;

// Program entry after the application object exists: --lang zh|en picks the language (see lang/language.h);
// --emulate[=DIR] puts the Link emulator behind the HID backend; the window is built, cfg.db checked once more,
// and the event loop run. Returns the exit code.
int runTarnquill(QApplication &app, const QStringList &arguments);

// The folder given with --emulate=DIR, an empty string for a bare --emulate, a null string without it.
QString emulateOption(const QStringList &arguments);
