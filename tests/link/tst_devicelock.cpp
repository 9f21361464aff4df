#include "link/devicelock.h"

#include <QtTest>

// The second process is this very executable started with "--hold": it takes the lock, says so on stdout
// and keeps it until its stdin closes (or it is killed).
static int holdLock()
{
    if (!getmutex()) {
        fputs("busy\n", stdout);
        return 2;
    }
    fputs("locked\n", stdout);
    fflush(stdout);
    char c;
    while (fread(&c, 1, 1, stdin) == 1) {}
    releaseMutex();
    return 0;
}

class TestDeviceLock : public QObject
{
    Q_OBJECT

    static void startHolder(QProcess &p)
    {
        p.start(QCoreApplication::applicationFilePath(), {"--hold"});
        QVERIFY(p.waitForStarted());
        QVERIFY(p.waitForReadyRead(10000));
        QCOMPARE(p.readLine().trimmed(), QByteArray("locked"));
    }

private slots:
    void sameProcessRetakes()
    {
        QVERIFY(getmutex());
        QVERIFY(getmutex());  // drops its own handle first
        QVERIFY(releaseMutex());
        QVERIFY(releaseMutex());
    }

    void secondProcessIsRefusedUntilRelease()
    {
        QProcess holder;
        startHolder(holder);
        QVERIFY(!getmutex());
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(getmutex());
        releaseMutex();
    }

    void killedHolderLeavesNoStaleLock()
    {
        QProcess holder;
        startHolder(holder);
        QVERIFY(!getmutex());
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(getmutex());
        releaseMutex();
    }

    void heldLockRefusesOtherProcess()
    {
        QVERIFY(getmutex());
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), {"--hold"});
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(other.exitCode(), 2);
        releaseMutex();
    }

    void namedLocksExcludeByName()
    {
        NamedLock first("tq_test_lock_a");
        NamedLock sameName("tq_test_lock_a");
        NamedLock otherName("tq_test_lock_b");
        QVERIFY(first.tryLock());
        QVERIFY(first.isLocked());
        QVERIFY(!sameName.tryLock());  // even within one process
        QVERIFY(!sameName.isLocked());
        QVERIFY(otherName.tryLock());
        first.unlock();
        QVERIFY(!first.isLocked());
        QVERIFY(sameName.tryLock());
    }

    void unlockedWhenDestroyed()
    {
        {
            NamedLock scoped("tq_test_lock_c");
            QVERIFY(scoped.tryLock());
        }
        NamedLock again("tq_test_lock_c");
        QVERIFY(again.tryLock());
    }

    void invalidNamesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("slash") << QByteArray("dir/lock");
        QTest::newRow("backslash") << QByteArray("dir\\lock");
        QTest::newRow("dot") << QByteArray(".");
        QTest::newRow("dot dot") << QByteArray("..");
    }
    void invalidNamesAreRefused()
    {
        QFETCH(QByteArray, name);
        NamedLock lock(name.toStdString());
        QVERIFY(!lock.tryLock());
        QVERIFY(!lock.isLocked());
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--hold") == 0)
        return holdLock();
    QCoreApplication app(argc, argv);
    TestDeviceLock t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_devicelock.moc"
