#include "appdir.h"

#include <QCoreApplication>

QString appDir()
{
    const QString fromEnv = qEnvironmentVariable("TQ_APP_DIR");
    return fromEnv.isEmpty() ? QCoreApplication::applicationDirPath() : fromEnv;
}
