#include "workerscratch.h"

#include "processalive.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString pattern()
{
    return QDir(QDir::tempPath()).filePath(WorkerScratch::prefix() + QString::number(QCoreApplication::applicationPid())
                                           + QStringLiteral("-XXXXXX"));
}
}

WorkerScratch::WorkerScratch()
    : m_dir((removeStale(QDir::tempPath()), pattern()))
{
}

QString WorkerScratch::prefix()
{
    return QStringLiteral("tarnquill-workers-");
}

QStringList WorkerScratch::removeStale(const QString &tempPath)
{
    QStringList removed;
    const QDir temp(tempPath);
    for (const QString &name : temp.entryList({prefix() + QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        // tarnquill-workers-PID-XXXXXX
        bool ok = false;
        const qint64 pid = name.mid(prefix().size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
        if (!ok || processIsRunning(pid))
            continue;
        QDir folder(temp.filePath(name));
        if (folder.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System) && temp.rmdir(name))
            removed << folder.path();
    }
    return removed;
}
