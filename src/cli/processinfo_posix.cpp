#include "processinfo.h"

#include <QFile>
#include <QFileInfo>

QStringList programArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString programFolder(const char *argv0)
{
    // Where the kernel says the executable is (the link's target is already free of links: one look, not
    // one per folder of the path); without /proc, where the caller says it is.
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!self.isEmpty())
        return QFileInfo(self).absolutePath();
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}
