#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include "support/pgserver_win.h"
#else

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#include <pwd.h>
#include <unistd.h>

// A private PostgreSQL server for one test executable (POSIX only): a cluster made by initdb in a temporary
// folder, its Unix socket in that folder and no TCP at all, one database "tq". The server refuses to run as
// root, so under root (CI) every server program runs as the `postgres` system user through runuser. The
// server is stopped when the object goes, whatever the tests did; a watchdog started with it stops it and
// removes the folder should the test process die without that (a crash, a time-out's kill).
class PgServer
{
public:
    PgServer() = default;
    ~PgServer() { stop(); }
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    // The folder of initdb and pg_ctl: on the PATH, else Debian's versioned folder (the newest there).
    static QString binFolder()
    {
        const QString onPath = QStandardPaths::findExecutable(QStringLiteral("pg_ctl"));
        if (!onPath.isEmpty() && QFileInfo::exists(QFileInfo(onPath).dir().filePath(QStringLiteral("initdb"))))
            return QFileInfo(onPath).canonicalPath();
        QDir versions(QStringLiteral("/usr/lib/postgresql"));
        QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
        for (const QString &v : found) {
            const QString bin = versions.filePath(v + QStringLiteral("/bin"));
            if (QFileInfo::exists(bin + QStringLiteral("/pg_ctl")) && QFileInfo::exists(bin + QStringLiteral("/initdb")))
                return bin;
        }
        return QString();
    }

    // Why the server cannot be had on this machine (for QSKIP), or empty when it can.
    static QString unavailable()
    {
        if (binFolder().isEmpty())
            return QStringLiteral("PostgreSQL server programs (initdb, pg_ctl) not installed: scripts/deps installs postgresql-15");
        if (geteuid() == 0 && !getpwnam("postgres"))
            return QStringLiteral("running as root and no postgres system user to run the server as");
        return QString();
    }

    // False with error() when the server did not come up.
    bool start()
    {
        m_bin = binFolder();
        // A Unix socket path holds at most 107 bytes: a short folder under /tmp.
        m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/tqpg-XXXXXX"));
        if (!m_dir->isValid())
            return fail(QStringLiteral("no temporary folder: ") + m_dir->errorString());
        if (geteuid() == 0) {
            const passwd *pw = getpwnam("postgres");
            if (!pw || chown(QFile::encodeName(m_dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
                return fail(QStringLiteral("cannot hand the folder to the postgres user"));
        }
        if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QStringLiteral("tq"),
                                           QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                                           QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}))
            return false;
        startWatchdog();
        if (!startServer())
            return false;
        return run(QStringLiteral("createdb"), {QStringLiteral("-h"), socketDir(), QStringLiteral("-U"), QStringLiteral("tq"),
                                               QStringLiteral("tq")});
    }

    // The server goes down at once (as a power cut or a crash would take it) and comes back on the same data.
    bool restart()
    {
        return run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"),
                                             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")})
               && startServer();
    }

    bool stopServer()
    {
        return run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"),
                                             QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    }

    // Server settings ("name=value") given after ours, so they win: more connections for a load run, fsync
    // back on for figures that hold for a real server. Taken by the next start.
    void setSettings(const QStringList &settings) { m_settings = settings; }

    bool startServer()
    {
        // No TCP: only the socket in our folder; fsync off, the tests never outlive the machine's own cache.
        QString options = QStringLiteral("-k %1 -c listen_addresses='' -c fsync=off").arg(socketDir());
        for (const QString &setting : m_settings)
            options += QStringLiteral(" -c ") + setting;
        return run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                                             m_dir->filePath(QStringLiteral("server.log")), QStringLiteral("-o"), options,
                                             QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
                                             QStringLiteral("start")});
    }

    void stop()
    {
        if (m_dir && QFileInfo::exists(dataDir() + QStringLiteral("/postmaster.pid")))
            stopServer();
        m_dir.reset();
    }

    // A new empty database on the server; its ledger URL, or empty (with error()) when it could not be made.
    QString newDatabase()
    {
        const QString name = QStringLiteral("tq%1").arg(++m_databases);
        if (!run(QStringLiteral("createdb"), {QStringLiteral("-h"), socketDir(), QStringLiteral("-U"), QStringLiteral("tq"), name}))
            return QString();
        return QStringLiteral("postgresql://tq@/%1?host=%2").arg(name, socketDir());
    }

    QString socketDir() const { return m_dir ? m_dir->path() : QString(); }
    // The ledger URL of the test database.
    QString url() const { return QStringLiteral("postgresql://tq@/tq?host=") + socketDir(); }
    QString error() const { return m_error; }
    // The server's own log, for a failure's message.
    QString log() const
    {
        QFile f(m_dir ? m_dir->filePath(QStringLiteral("server.log")) : QString());
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(4000)) : QString();
    }

private:
    QString dataDir() const { return m_dir->filePath(QStringLiteral("data")); }

    bool fail(const QString &text)
    {
        m_error = text;
        return false;
    }

    // Runs a server program, as postgres when we are root.
    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString path = m_bin + QLatin1Char('/') + program;
        if (geteuid() == 0)
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), path} + arguments);
        else
            p.start(path, arguments);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return fail(program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll()) + log());
        return true;
    }

    // Waits (one look a second) for this process to end, then stops the server and removes the folder. Reads
    // /proc rather than kill -0, which the postgres user may not aim at a root process.
    void startWatchdog()
    {
        const QString script = QStringLiteral("while [ -d /proc/%1 ]; do sleep 1; done; \"%2/pg_ctl\" -D \"%3\" -m immediate stop >/dev/null 2>&1; rm -rf \"%4\"")
                                   .arg(QCoreApplication::applicationPid()).arg(m_bin, dataDir(), m_dir->path());
        QStringList command{QStringLiteral("sh"), QStringLiteral("-c"), script};
        if (geteuid() == 0)
            command = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + command;
        // Its channels go nowhere: one it shared with this process (a pipe to a parent that reads it to the
        // end before it reaps this process) would be held open while the watchdog waits for that reaping.
        QProcess watchdog;
        watchdog.setProgram(command.takeFirst());
        watchdog.setArguments(command);
        watchdog.setStandardInputFile(QProcess::nullDevice());
        watchdog.setStandardOutputFile(QProcess::nullDevice());
        watchdog.setStandardErrorFile(QProcess::nullDevice());
        watchdog.startDetached();
    }

    QString m_bin;
    QStringList m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_error;
    int m_databases = 0;
};

#endif
