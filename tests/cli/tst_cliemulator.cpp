// tarnquill-cli on an emulator state folder: what `emulator DIR` accepts, and folders that cannot be used.
#include "clitestutil.h"

#include "emulator/statefolderio.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCliEmulator : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }
    QString emulate() const { return QStringLiteral("--emulate=") + path(QStringLiteral("link")); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(300, 3)));
    }

    // The Link reports three 16-bit numbers; each can be emulated.
    void firmwareFieldsUpTo65535_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("status");
        QTest::newRow("every field at its top") << "65535.65535.65535" << 0;
        QTest::newRow("hardware above a byte") << "256.1.0" << 0;
        QTest::newRow("software above a byte") << "1.300.2" << 0;
        QTest::newRow("hardware past 16 bits") << "65536.0.0" << 64;
        QTest::newRow("software past 16 bits") << "0.65536.0" << 64;
        QTest::newRow("last past 16 bits") << "0.0.65536" << 64;
    }

    void firmwareFieldsUpTo65535()
    {
        QFETCH(QString, version);
        QFETCH(int, status);
        const QString dir = path(QStringLiteral("link"));
        QCOMPARE(cli({QStringLiteral("emulator"), dir, QStringLiteral("--fw"), version}).exitCode, status);
        if (status != 0)
            return;
        const CliRun query = cli({emulate(), QStringLiteral("fw-version")});
        QCOMPARE(query.exitCode, 0);
        QCOMPARE(QString::fromUtf8(query.out).trimmed(), version);
    }

    // A damaged state folder is refused with its reason and kept as it is; nothing reports success.
    void foldersThatCannotBeUsedFail_data()
    {
        QTest::addColumn<QByteArray>("stateFile");  // empty: a folder where the state file belongs
        QTest::addColumn<QString>("reason");
        QTest::newRow("garbage") << QByteArray("not a state") << "damaged";
        QTest::newRow("empty file, as a torn write left it") << QByteArray("") << "damaged";
        QTest::newRow("state file is a folder") << QByteArray() << "not a regular file";
    }

    void foldersThatCannotBeUsedFail()
    {
        QFETCH(QByteArray, stateFile);
        QFETCH(QString, reason);
        const QString dir = path(QStringLiteral("link"));
        QVERIFY(QDir().mkpath(dir));
        const QString state = dir + QStringLiteral("/emulator.state");
        if (stateFile.isNull())
            QVERIFY(QDir().mkpath(state));
        else
            QVERIFY(writeFile(state, stateFile));
        for (const QStringList &arguments : {QStringList{emulate(), QStringLiteral("burn"), QStringLiteral("in.bin")},
                                             QStringList{QStringLiteral("emulator"), dir, QStringLiteral("--remove")}}) {
            const CliRun run = cli(arguments);
            QCOMPARE(run.exitCode, 74);
            QVERIFY2(run.err.contains(reason), qPrintable(run.err));
            QVERIFY(!run.err.contains(QStringLiteral("烧写成功")));
        }
        if (!stateFile.isNull())
            QCOMPARE(readFile(state), stateFile);
    }

    // One folder is one emulated Link: naming it twice, however spelled, would make one socket answer as two.
    void aFolderGivenTwiceIsRefused_data()
    {
        QTest::addColumn<QString>("second");  // the second folder, beside "link"
        QTest::newRow("the same name") << "link";
        QTest::newRow("with a trailing slash") << "link/";
        QTest::newRow("through a dot") << "./link";
        QTest::newRow("through a symbolic link") << "alias";
    }

    void aFolderGivenTwiceIsRefused()
    {
        QFETCH(QString, second);
        QCOMPARE(cli({QStringLiteral("emulator"), QStringLiteral("link")}).exitCode, 0);
        QVERIFY(QFile::link(path(QStringLiteral("link")), path(QStringLiteral("alias"))));
        const QString folders = QStringLiteral("--emulate=link,other,%1").arg(second);
        for (const QStringList &arguments : {QStringList{folders, QStringLiteral("links")},
                                             QStringList{folders, QStringLiteral("--link"), QStringLiteral("all"),
                                                         QStringLiteral("burn"), QStringLiteral("in.bin")}}) {
            const CliRun run = cli(arguments);
            QCOMPARE(run.exitCode, 64);
            QVERIFY2(run.err.contains(QStringLiteral("link and %1 are the same folder").arg(second)), qPrintable(run.err));
            QVERIFY(run.out.isEmpty());
        }
        QVERIFY(!QFile::exists(path(QStringLiteral("other"))));
        QCOMPARE(cli({QStringLiteral("--emulate=link,other"), QStringLiteral("links")}).exitCode, 0);
    }

    // Another program keeps the folder locked: a change waits a little, then is refused clearly.
    void aLockedFolderIsRefusedClearly()
    {
        const QString dir = path(QStringLiteral("link"));
        QCOMPARE(cli({QStringLiteral("emulator"), dir}).exitCode, 0);
        FolderLock other(dir + QStringLiteral("/state.lock"));
        QString error;
        QVERIFY(other.tryLock(&error));
        const CliRun run = cli({QStringLiteral("emulator"), dir, QStringLiteral("--remove")});
        QCOMPARE(run.exitCode, 74);
        QVERIFY2(run.err.contains(QStringLiteral("busy")), qPrintable(run.err));
        other.unlock();
        QCOMPARE(cli({QStringLiteral("emulator"), dir, QStringLiteral("--remove")}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestCliEmulator)
#include "tst_cliemulator.moc"
