#include "openpath.h"

#include <QFile>

namespace {
QString openPathFile(const QString &appDir)
{
    return appDir + QStringLiteral("/openpath.pth");
}
}

QString readOpenPath(const QString &appDir, const QString &fallback)
{
    QFile file(openPathFile(appDir));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallback;
    QByteArray line = file.readLine();
    const int nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line.isEmpty() ? fallback : QString::fromUtf8(line);
}

void writeOpenPath(const QString &appDir, const QString &dir)
{
    QFile file(openPathFile(appDir));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(dir.toUtf8());
}
