#include "appdir.h"

#include <QCoreApplication>

QString appDir()
{
    return appDir(QCoreApplication::applicationDirPath());
}

QString appDir(const QString &executableFolder)
{
    const QString fromEnv = qEnvironmentVariable("TQ_APP_DIR");
    return fromEnv.isEmpty() ? executableFolder : fromEnv;
}
