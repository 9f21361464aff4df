#include "storetestutil.h"
#include "support/pgserver.h"

#include <QtTest>

#include <cstdio>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

// The test fixture itself: a server of our own, reached only through its socket, that survives a restart
// and leaves nothing behind.
class tst_pgserver : public QObject
{
    Q_OBJECT

    static QString ask(const PgServer &server, const QString &sql) { return rawLedgerSql(server.url(), sql); }

private slots:
    void initTestCase()
    {
        const QString missing = PgServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")), "Qt's PostgreSQL driver (libqt5sql5-psql) is missing");
    }

    void serverOfOurOwn()
    {
        QString folder;
        {
            PgServer server;
            QVERIFY2(server.start(), qPrintable(server.error()));
            folder = server.socketDir();
            QVERIFY(QFileInfo::exists(folder + QStringLiteral("/.s.PGSQL.5432")));
            QCOMPARE(ask(server, QStringLiteral("SELECT current_database()")), QStringLiteral("tq"));
            // No TCP: the server listens on its socket only.
            QCOMPARE(ask(server, QStringLiteral("SELECT current_setting('listen_addresses')")), QString());
            QCOMPARE(ask(server, QStringLiteral("CREATE TABLE kept AS SELECT 7 AS v")), QStringLiteral("done"));
            QVERIFY2(server.restart(), qPrintable(server.error()));
            QCOMPARE(ask(server, QStringLiteral("SELECT v FROM kept")), QStringLiteral("7"));
        }
        // Gone with the object: the server's socket and the whole folder.
        QVERIFY(!QFileInfo::exists(folder));
    }

    // A program that starts a server and ends leaves nothing holding its output: a parent that reads it to
    // the end before reaping it (as scripts/bench does) is not kept waiting by the server's watchdog, which
    // itself waits for that program to be gone.
    void outputClosedWithTheProgram()
    {
        int fds[2];
        QVERIFY(pipe(fds) == 0);
        const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
        const pid_t child = fork();
        if (child == 0) {
            dup2(fds[1], STDOUT_FILENO);
            dup2(fds[1], STDERR_FILENO);
            close(fds[0]);
            close(fds[1]);
            setenv("TQ_PGSERVER_CHILD", "1", 1);
            execl(self.constData(), self.constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        QByteArray out;
        bool ended = false;
        // Generous: the child starts and stops a whole server; the end must come without reaping it.
        for (int waited = 0; waited < 120 && !ended; ++waited) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 1000) <= 0)
                continue;
            char buf[4096];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n > 0)
                out.append(buf, int(n));
            ended = n == 0;
        }
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY2(ended, out.constData());
        QVERIFY2(out.contains("started"), out.constData());
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TQ_PGSERVER_CHILD")) {
        QCoreApplication app(argc, argv);
        PgServer server;
        if (!server.start())
            return 1;
        std::printf("started\n");
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_pgserver test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_pgserver.moc"
