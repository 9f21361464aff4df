#pragma once

#include <QString>

// Folder of the files the program keeps beside itself (cfg.db, logo.png, openpath.pth, the user guide):
// $TQ_APP_DIR when set (tests and build trees), otherwise the executable's folder.
QString appDir();
// The same rule for a program that runs without an application object and finds its folder itself.
QString appDir(const QString &executableFolder);
