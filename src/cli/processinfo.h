#pragma once

#include <QString>
#include <QStringList>

// The program's arguments and folder straight from the system. The commands that need no Link run without
// an application object (whose start-up costs more than they do), so QCoreApplication cannot give them.
QStringList programArguments(int argc, char **argv);  // without the program's name
QString programFolder(const char *argv0);             // the executable's folder, links resolved
