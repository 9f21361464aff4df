#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Makes `dir` the program's folder for this test: the cfg.db the build wrote is copied in and TQ_APP_DIR points
// there, so the window's writes (openpath.pth, cfg.db) stay in the test's own folder. False when the copy failed.
inline bool useAsAppDir(const QTemporaryDir &dir)
{
    const QString built = qEnvironmentVariable("TQ_APP_DIR") + QStringLiteral("/cfg.db");
    if (!dir.isValid() || !QFile::copy(built, dir.path() + QStringLiteral("/cfg.db"))) {
        qWarning("cannot copy %s", qPrintable(built));
        return false;
    }
    qputenv("TQ_APP_DIR", dir.path().toUtf8());
    return true;
}
