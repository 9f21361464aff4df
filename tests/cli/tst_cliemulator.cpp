// tarnquill-cli on an emulator state folder: what `emulator DIR` accepts, and folders that cannot be used.
#include "clitestutil.h"

#include "emulator/linkemulator.h"
#include "emulator/statefolderio.h"

#include <QRegularExpression>

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
#ifdef Q_OS_WIN
        // QFile::link makes a shortcut there, a file of its own, not a second name of the folder.
        if (second == QLatin1String("alias"))
            QSKIP("Windows gives a folder no second name without an administrator");
#endif
        QCOMPARE(cli({QStringLiteral("emulator"), QStringLiteral("link")}).exitCode, 0);
        QVERIFY(QFile::link(path(QStringLiteral("link")), path(QStringLiteral("alias"))));
        const QString folders = QStringLiteral("--emulate=link,other,%1").arg(second);
        for (const QStringList &arguments : {QStringList{folders, QStringLiteral("links")},
                                             QStringList{folders, QStringLiteral("--link"), QStringLiteral("all"),
                                                         QStringLiteral("burn"), QStringLiteral("in.bin")}}) {
            const CliRun run = cli(arguments);
            QCOMPARE(run.exitCode, 64);
            QVERIFY2(run.err.contains(QStringLiteral("link 和 %1 是同一个文件夹").arg(second)), qPrintable(run.err));
            QVERIFY(run.out.isEmpty());
        }
        QVERIFY(!QFile::exists(path(QStringLiteral("other"))));
        QCOMPARE(cli({QStringLiteral("--emulate=link,other"), QStringLiteral("links")}).exitCode, 0);
    }

    // A line script names how many Links its gang needs: a dead one refuses the run with the Links present,
    // and every run says which Links take part before it starts.
    void aGangCountsItsLinks()
    {
        for (const QString &folder : {QStringLiteral("l1"), QStringLiteral("l2"), QStringLiteral("l3")})
            QCOMPARE(cli({QStringLiteral("emulator"), folder, QStringLiteral("--insert")}).exitCode, 0);
        QCOMPARE(cli({QStringLiteral("emulator"), QStringLiteral("l2"), QStringLiteral("--unplug")}).exitCode, 0);
        const QString three = QStringLiteral("--emulate=l1,l2,l3");
        const QStringList burn = {QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("burn"), QStringLiteral("in.bin")};

        const CliRun refused = cli(QStringList{three, QStringLiteral("--expect"), QStringLiteral("3")} + burn);
        QCOMPARE(refused.exitCode, 64);
        QVERIFY2(refused.err.contains(QStringLiteral("--expect 3：只连接了 2 个 Link；已连接：emu1, emu3")),
                 qPrintable(refused.err));
        QVERIFY(refused.out.isEmpty());
        QVERIFY(LinkEmulator(path(QStringLiteral("l1"))).chipFlash().startsWith(QByteArray(300, '\xFF')));

        const CliRun enough = cli(QStringList{three, QStringLiteral("--expect=2")} + burn);
        QCOMPARE(enough.exitCode, 0);
        QVERIFY2(enough.err.contains(QStringLiteral("参与的 Link（2 个）：emu1, emu3")), qPrintable(enough.err));
        const CliRun unchecked = cli(QStringList{three} + burn);
        QCOMPARE(unchecked.exitCode, 0);
        QVERIFY2(unchecked.err.contains(QStringLiteral("参与的 Link（2 个）：emu1, emu3")), qPrintable(unchecked.err));

        for (const QStringList &bad : {QStringList{three, QStringLiteral("--expect"), QStringLiteral("3"), QStringLiteral("links")},
                                       QStringList{QStringLiteral("--emulate=l1"), QStringLiteral("--expect=1"),
                                                   QStringLiteral("burn"), QStringLiteral("in.bin")},
                                       QStringList{three, QStringLiteral("--expect=0")} + burn,
                                       QStringList{three, QStringLiteral("--expect=two")} + burn}) {
            const CliRun run = cli(bad);
            QCOMPARE(run.exitCode, 64);
            QVERIFY2(run.err.contains(QStringLiteral("--expect")), qPrintable(run.err));
        }
    }

    // A one-Link burn ends with the line a gang prints for each Link; a wrong chip says what was expected.
    void aOneLinkBurnPrintsTheGangsResultLine()
    {
        const CliRun gang = cli({QStringLiteral("--emulate=g1"), QStringLiteral("--link"), QStringLiteral("emu1,emu1"),
                                 QStringLiteral("burn"), QStringLiteral("in.bin")});
        const CliRun one = cli({emulate(), QStringLiteral("burn"), QStringLiteral("in.bin"), QStringLiteral("--verify")});
        QCOMPARE(one.exitCode, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^emu1: OK [0-9A-F]{4}\r?\n$")).match(QString::fromUtf8(one.out)).hasMatch(),
                 one.out.constData());
        QCOMPARE(gang.exitCode, 0);
        QCOMPARE(one.out, gang.out);

        QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("link")), QStringLiteral("--chip-id"), QStringLiteral("4470")}).exitCode, 0);
        const CliRun wrong = cli({emulate(), QStringLiteral("burn"), QStringLiteral("in.bin")});
        QCOMPARE(wrong.exitCode, 4);
        QCOMPARE(QString::fromUtf8(wrong.out).remove(QLatin1Char('\r')), QStringLiteral("emu1: NG 4 需要 VR5K2610，检测到 VR5K4470\n"));
        QVERIFY2(wrong.err.contains(QStringLiteral("burn: 需要 VR5K2610，检测到 VR5K4470 (4)")), qPrintable(wrong.err));
        // JSON stays as it was: the result object alone.
        const CliRun asJson = cli({emulate(), QStringLiteral("--json"), QStringLiteral("burn"), QStringLiteral("in.bin")});
        QCOMPARE(json(asJson.out).object()[QStringLiteral("result")].toInt(), 4);
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
