#include "link/devicelock.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// What the device lock does with the file system object at its path: symlinks, folders, FIFOs and modes.
class TestDeviceLockFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QString m_lockPath;

    static mode_t modeOf(const QString &path)
    {
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : mode_t(-1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_lockPath = m_runtime.filePath(QString::fromLatin1(kDeviceLockName));
        QCOMPARE(QString::fromStdString(deviceLockLocation()), m_lockPath);
    }

    void cleanup()
    {
        releaseMutex();
        QDir(m_lockPath).removeRecursively();
        QFile::remove(m_lockPath);
    }

    // Instances of other users must be able to open a lock file we create, whatever our umask.
    void createdFileIsOpenToAll()
    {
        const mode_t old = ::umask(077);
        const bool locked = getmutex();
        ::umask(old);
        QVERIFY(locked);
        QCOMPARE(modeOf(m_lockPath), mode_t(0666));
    }

    void existingFileKeepsItsMode()
    {
        QFile f(m_lockPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(::chmod(QFile::encodeName(m_lockPath).constData(), 0600), 0);
        QVERIFY(getmutex());
        QCOMPARE(modeOf(m_lockPath), mode_t(0600));
    }

    // A symlink at the lock path is never followed: neither its target's mode nor its contents change, and a
    // dangling one does not create its target.
    void symlinkIsRefused_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("to another file") << true;
        QTest::newRow("dangling") << false;
    }
    void symlinkIsRefused()
    {
        QFETCH(bool, targetExists);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("precious"));
        if (targetExists) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write("keep"), qint64(4));
            f.close();
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0600), 0);
        }
        QVERIFY(QFile::link(target, m_lockPath));
        QVERIFY(!getmutex());
        QCOMPARE(QFileInfo::exists(target), targetExists);
        if (targetExists) {
            QCOMPARE(modeOf(target), mode_t(0600));
            QFile f(target);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("keep"));
        }
    }

    // Not a regular file: refused at once (a FIFO must not stall the open).
    void specialFileIsRefused_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("folder") << false;
        QTest::newRow("fifo") << true;
    }
    void specialFileIsRefused()
    {
        QFETCH(bool, fifo);
        const QByteArray path = QFile::encodeName(m_lockPath);
        QCOMPARE(fifo ? ::mkfifo(path.constData(), 0600) : ::mkdir(path.constData(), 0700), 0);
        QVERIFY(!getmutex());
        QVERIFY(!NamedLock(kDeviceLockName).tryLock());
    }
};

QTEST_GUILESS_MAIN(TestDeviceLockFile)
#include "tst_devicelock_posix.moc"
