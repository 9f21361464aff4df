// The ledger commands end to end: the real tarnquill-cli on a SQLite ledger that the test also fills through the
// store, as a station would.
#include "flashproject.h"
#include "storetestutil.h"
#include "cli/clitestutil.h"
#include "chip/areas.h"
#include "chip/images.h"
#include "emulator/linkemulator.h"
#include "files/projectfile.h"
#include "production/productionsettings.h"
#include "records/productionstore.h"
#include "support/chipselect.h"
#include "support/pgserver.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

#include <csignal>

namespace {
#ifdef Q_OS_WIN
// Windows sends Ctrl-C to a whole console, never to one child process (under Wine not at all).
const char *const kInterruptMissing = "Ctrl-C cannot be sent to one child process on Windows; the Linux build runs this case";
void interrupt(QProcess &) {}
#else
const char *const kInterruptMissing = nullptr;
void interrupt(QProcess &process)
{
    ::kill(pid_t(process.processId()), SIGINT);
}
#endif
}

class tst_ledgercli : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString url() const { return QStringLiteral("sqlite:") + path(QStringLiteral("line.db")); }

    CliRun ledger(const QStringList &arguments, const QString &ledgerUrl = QString()) const
    {
        return runCli(QStringList{QStringLiteral("--ledger"), ledgerUrl.isEmpty() ? url() : ledgerUrl, QStringLiteral("ledger")} + arguments,
                      m_dir->path());
    }

    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }

    // A project burning a flash image of 2000 bytes, its 16-bit hexadecimal serial at 0x1000 of the flash.
    QByteArray writeFlashProject(const QString &name) { return ::writeFlashProject(path(name)); }

    // A project whose serial is `enabled`: 16 bits, hexadecimal, at 0x1F0 of the NVR area, counting `up`.
    void writeProject(const QString &name, bool enabled, bool up)
    {
        selectMcu(QStringLiteral("VR5K2610"));
        resetImages();
        resetProduction();
        g_bEnRollCode = enabled;
        g_rollingSet = {0x1F0, 0, 0x01, 2, 0x01, uint8_t(up ? 0x80 : 0x00)};
        QCOMPARE(saveProject(path(name)), 0);
    }

    // Space "sn" from 0x1230 on, written as the flash project f.mprj says.
    void makeSpace(const QString &ledgerUrl = QString())
    {
        writeFlashProject(QStringLiteral("f.mprj"));
        QCOMPARE(ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("0x1230"),
                         QStringLiteral("--last"), QStringLiteral("0x12FF"), QStringLiteral("--from"), QStringLiteral("f.mprj")}, ledgerUrl).exitCode, 0);
    }

    // `burn f.mprj --serial sn --loop` of `station` on the emulated Link in `emu`, its chip inserted.
    void startLoop(QProcess &loop, const QString &ledgerUrl, const QString &station, const QString &emu)
    {
        QCOMPARE(cli({QStringLiteral("emulator"), emu, QStringLiteral("--insert")}).exitCode, 0);
        loop.setWorkingDirectory(m_dir->path());
        // In English: chipsBurned() counts the loop's "chip N:" lines.
        loop.start(cliPath(), {QStringLiteral("--lang=en"), QStringLiteral("--ledger"), ledgerUrl, QStringLiteral("--station"), station, QStringLiteral("--emulate=") + emu,
                               QStringLiteral("burn"), QStringLiteral("f.mprj"), QStringLiteral("--serial"), QStringLiteral("sn"), QStringLiteral("--loop")});
        QVERIFY(loop.waitForStarted());
    }

    // Waits until the loop has told of `chips` chips; what it printed gathers in `out`.
    static bool chipsBurned(QProcess &loop, QByteArray &out, int chips)
    {
        return QTest::qWaitFor([&] {
            out += loop.readAllStandardOutput();
            return out.count("\nchip ") + (out.startsWith("chip ") ? 1 : 0) >= chips;
        }, 20000);
    }

    // The next chip: the one in the socket taken out, another put in.
    void nextChip(const QString &emu)
    {
        QCOMPARE(cli({QStringLiteral("emulator"), emu, QStringLiteral("--remove")}).exitCode, 0);
        // Longer than a hand takes: the loop looks every 50 ms, but a loop still keeping the last chip's record
        // on a loaded machine (sanitizers, a gang beside it) must see the socket empty too, or it waits for ever.
        QTest::qWait(1000);
        QCOMPARE(cli({QStringLiteral("emulator"), emu, QStringLiteral("--insert")}).exitCode, 0);
    }

    // nextChip() until the loop has told of `chips` chips. A loop that missed the empty socket (still busy with
    // the last chip's record on a machine slowed down by the sanitizers) waits for a removal that never comes;
    // swapping again after a long wait cannot take a chip from under a burn.
    bool swapUntilBurned(QProcess &loop, QByteArray &out, const QString &emu, int chips)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            nextChip(emu);
            if (chipsBurned(loop, out, chips))
                return true;
        }
        return false;
    }

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath())); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void spaceTakesTheProjectsSerialRecord()
    {
        writeProject(QStringLiteral("p.mprj"), true, true);
        const CliRun made = ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("0x1000"),
                                    QStringLiteral("--last"), QStringLiteral("4351"), QStringLiteral("--from"), QStringLiteral("p.mprj"),
                                    QStringLiteral("--byte-order"), QStringLiteral("lsb-first"), QStringLiteral("--json")});
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        const QJsonObject space = json(made.out).object();
        QCOMPARE(space[QStringLiteral("address")].toInt(), 0x1F0);
        QCOMPARE(space[QStringLiteral("width")].toInt(), 2);
        QCOMPARE(space[QStringLiteral("radix")].toInt(), 16);
        QCOMPARE(space[QStringLiteral("step")].toInt(), 2);
        QCOMPARE(space[QStringLiteral("area")].toString(), QStringLiteral("nvr"));
        QCOMPARE(space[QStringLiteral("byteOrder")].toString(), QStringLiteral("lsb-first"));
        QCOMPARE(space[QStringLiteral("total")].toInt(), 128);

        const QJsonObject status = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}).out).object();
        const QJsonObject s = status[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(s[QStringLiteral("name")].toString(), QStringLiteral("sn"));
        QCOMPARE(s[QStringLiteral("nextFree")].toInt(), 0x1000);
        QCOMPARE(s[QStringLiteral("written")].toInt(), 0);

        // A second space of the same name is refused; the first stays as it was.
        const CliRun again = ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("1"),
                                     QStringLiteral("--last"), QStringLiteral("2"), QStringLiteral("--from"), QStringLiteral("p.mprj")});
        QCOMPARE(again.exitCode, 74);
        QVERIFY2(again.err.contains(QStringLiteral("已存在")), qPrintable(again.err));
    }

    void spaceRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString first = QStringLiteral("--first"), last = QStringLiteral("--last"), from = QStringLiteral("--from");
        QTest::newRow("project without a serial") << QStringList{QStringLiteral("space"), QStringLiteral("sn"), first, QStringLiteral("1"), last, QStringLiteral("9"), from, QStringLiteral("off.mprj")}
                                                  << 65 << QStringLiteral("没有启用序列号");
        QTest::newRow("against the project's direction") << QStringList{QStringLiteral("space"), QStringLiteral("sn"), first, QStringLiteral("9"), last, QStringLiteral("1"), from, QStringLiteral("up.mprj")}
                                                         << 64 << QStringLiteral("递增");
        QTest::newRow("wider than the serial") << QStringList{QStringLiteral("space"), QStringLiteral("sn"), first, QStringLiteral("1"), last, QStringLiteral("0x10000"), from, QStringLiteral("up.mprj")}
                                               << 64 << QStringLiteral("65535");
        QTest::newRow("no last") << QStringList{QStringLiteral("space"), QStringLiteral("sn"), first, QStringLiteral("1")} << 64 << QStringLiteral("--last");
        QTest::newRow("negative") << QStringList{QStringLiteral("space"), QStringLiteral("sn"), first, QStringLiteral("-1"), last, QStringLiteral("5")} << 64 << QStringLiteral("--first");
        QTest::newRow("not a project") << QStringList{QStringLiteral("space"), QStringLiteral("sn"), first, QStringLiteral("1"), last, QStringLiteral("5"), from, QStringLiteral("app.hex")}
                                       << 64 << QStringLiteral(".mprj");
        QTest::newRow("option of another subcommand") << QStringList{QStringLiteral("status"), QStringLiteral("--space"), QStringLiteral("sn")} << 64 << QStringLiteral("--space");
        QTest::newRow("unknown subcommand") << QStringList{QStringLiteral("drop")} << 64 << QStringLiteral("export");
        QTest::newRow("operand missing") << QStringList{QStringLiteral("find"), QStringLiteral("--space"), QStringLiteral("sn")} << 64 << QStringLiteral("find");
    }
    void spaceRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        writeProject(QStringLiteral("off.mprj"), false, true);
        writeProject(QStringLiteral("up.mprj"), true, true);
        const CliRun run = ledger(arguments);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Nothing was made, not even an empty ledger.
        QVERIFY(!QFile::exists(path(QStringLiteral("line.db"))));
    }

    // Looking at a ledger never makes one: a ledger file that is not there is said so, as a missing input,
    // and left so (a mistyped path would otherwise show an empty ledger); making a space makes the file.
    void lookingNeverMakesALedger_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("arguments");
        const QStringList find = {QStringLiteral("find"), QStringLiteral("1"), QStringLiteral("--space"), QStringLiteral("sn")};
        QTest::newRow("status") << QStringLiteral("sqlite") << QStringList{QStringLiteral("status")};
        QTest::newRow("status --json") << QStringLiteral("sqlite") << QStringList{QStringLiteral("status"), QStringLiteral("--json")};
        QTest::newRow("find") << QStringLiteral("sqlite") << find;
        QTest::newRow("export") << QStringLiteral("sqlite") << QStringList{QStringLiteral("export"), QStringLiteral("out.csv")};
        QTest::newRow("status of a CSV ledger") << QStringLiteral("csv") << QStringList{QStringLiteral("status")};
    }
    void lookingNeverMakesALedger()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, arguments);
        const QString file = path(QStringLiteral("line.") + kind);
        const CliRun run = ledger(arguments, kind + QLatin1Char(':') + file);
        QCOMPARE(run.exitCode, 65);
        QVERIFY2(run.err.contains(QStringLiteral("账本文件")) && run.err.contains(QStringLiteral("还不存在")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(file));
        QVERIFY(!QFile::exists(path(QStringLiteral("out.csv"))));
        if (kind != QLatin1String("sqlite"))
            return;
        writeProject(QStringLiteral("p.mprj"), true, true);
        const CliRun made = ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("1"),
                                    QStringLiteral("--last"), QStringLiteral("9"), QStringLiteral("--from"), QStringLiteral("p.mprj")},
                                   QStringLiteral("sqlite:") + file);
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        QVERIFY(QFile::exists(file));
        const CliRun again = ledger(arguments, QStringLiteral("sqlite:") + file);
        QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    }

    void findStatusAndExportReadWhatStationsRecorded()
    {
        {
            QString error;
            auto store = openProductionStore(url(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY(store->createSpace(testSpace(QStringLiteral("sn"), 0x1000, 0x1FFF)));
            QVector<int64_t> block;
            QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("S1"), 3, &block));
            LedgerRecord pass = testRecord(QStringLiteral("S1"), 1, 0, QStringLiteral("sn"), 0x1000);
            pass.time = QDateTime(QDate(2026, 5, 1), QTime(8, 0), Qt::UTC);
            QVERIFY(store->record(pass));
            LedgerRecord fail = testRecord(QStringLiteral("S1"), 2, 3, QStringLiteral("sn"), 0x1001);
            fail.time = QDateTime(QDate(2026, 5, 2), QTime(8, 0), Qt::UTC);
            QVERIFY(store->record(fail));
        }
        const CliRun found = ledger({QStringLiteral("find"), QStringLiteral("0x1000"), QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")});
        QVERIFY2(found.exitCode == 0, qPrintable(found.err));
        const QJsonObject f = json(found.out).object();
        QCOMPARE(f[QStringLiteral("state")].toString(), QStringLiteral("written"));
        QCOMPARE(f[QStringLiteral("records")].toArray().size(), 1);
        QCOMPARE(f[QStringLiteral("records")].toArray().at(0).toObject()[QStringLiteral("serial")].toInt(), 0x1000);
        const CliRun text = ledger({QStringLiteral("find"), QStringLiteral("4098"), QStringLiteral("--space"), QStringLiteral("sn")});
        QVERIFY2(text.exitCode == 0 && QString::fromUtf8(text.out).contains(QStringLiteral("0x1002")) && QString::fromUtf8(text.out).contains(QStringLiteral("预留中")),
                 text.out.constData());

        const QJsonObject status = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}).out).object();
        const QJsonObject space = status[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 1);
        QCOMPARE(space[QStringLiteral("void")].toInt(), 1);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 1);
        QCOMPARE(space[QStringLiteral("nextFree")].toInt(), 0x1003);
        const QJsonObject station = status[QStringLiteral("stations")].toArray().at(0).toObject();
        QCOMPARE(station[QStringLiteral("station")].toString(), QStringLiteral("S1"));
        QCOMPARE(station[QStringLiteral("chips")].toInt(), 2);
        QCOMPARE(station[QStringLiteral("yield")].toDouble(), 0.5);

        QCOMPARE(ledger({QStringLiteral("export"), QStringLiteral("all.json")}).exitCode, 0);
        const QJsonArray all = json(readFile(path(QStringLiteral("all.json")))).array();
        QCOMPARE(all.size(), 2);
        const QJsonObject first = all.at(0).toObject();
        for (const char *key : {"time", "station", "operator", "port", "chip", "chipId", "serial", "result", "text", "checksum"})
            QVERIFY2(first.contains(QLatin1String(key)), key);
        QCOMPARE(first[QStringLiteral("time")].toString(), QStringLiteral("2026-05-01T08:00:00.000Z"));
        QCOMPARE(first[QStringLiteral("chipId")].toString(), QStringLiteral("2610"));
        QCOMPARE(all.at(1).toObject()[QStringLiteral("result")].toInt(), 3);

        QCOMPARE(ledger({QStringLiteral("export"), QStringLiteral("late.csv"), QStringLiteral("--since"), QStringLiteral("2026-05-02")}).exitCode, 0);
        const QByteArray csv = readFile(path(QStringLiteral("late.csv")));
        QVERIFY(csv.startsWith("\xEF\xBB\xBFtime,station,operator,port,"));
        const QList<QByteArray> rows = csv.split('\n');
        QCOMPARE(rows.size(), 3);  // header, one record, the empty rest after the last line end
        QVERIFY(rows[1].startsWith("2026-05-02T08:00:00.000Z,S1,"));
        QVERIFY(rows[1].contains(",\"芯片连接失败, \"\"quoted\"\"\","));
        QVERIFY(rows[1].endsWith("\r"));
        QCOMPARE(ledger({QStringLiteral("export"), QStringLiteral("x.csv"), QStringLiteral("--since"), QStringLiteral("May")}).exitCode, 64);
    }

    void ledgerFromTheEnvironmentOrNone()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("TQ_LEDGER"));
        const CliRun none = runCli({QStringLiteral("ledger"), QStringLiteral("status")}, m_dir->path(), env);
        QCOMPARE(none.exitCode, 64);
        QVERIFY2(none.err.contains(QStringLiteral("TQ_LEDGER")), qPrintable(none.err));
        {
            QString error;
            auto store = openProductionStore(url(), &error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY(store->createSpace(testSpace(QStringLiteral("env"), 1, 9)));
        }
        env.insert(QStringLiteral("TQ_LEDGER"), url());
        const CliRun given = runCli({QStringLiteral("--json"), QStringLiteral("ledger"), QStringLiteral("status")}, m_dir->path(), env);
        QCOMPARE(given.exitCode, 0);
        QCOMPARE(json(given.out).object()[QStringLiteral("spaces")].toArray().at(0).toObject()[QStringLiteral("name")].toString(),
                 QStringLiteral("env"));
    }

    // Every chip holds the serial its record names; a failed chip's value is void and never given again.
    void burnWritesEachChipsSerialAndRecordsIt()
    {
        const QByteArray flash = writeFlashProject(QStringLiteral("f.mprj"));
        QCOMPARE(ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("0x1230"),
                         QStringLiteral("--last"), QStringLiteral("0x12FF"), QStringLiteral("--from"), QStringLiteral("f.mprj")}).exitCode, 0);
        const QString emu = path(QStringLiteral("link"));
        QCOMPARE(cli({QStringLiteral("emulator"), emu}).exitCode, 0);
        const QStringList burn = {QStringLiteral("--ledger"), url(), QStringLiteral("--station"), QStringLiteral("S1"),
                                  QStringLiteral("--operator"), QStringLiteral("王"), QStringLiteral("--emulate=") + emu,
                                  QStringLiteral("burn"), QStringLiteral("f.mprj"), QStringLiteral("--serial"), QStringLiteral("sn")};
        const auto expectChipSerial = [&](const QByteArray &serial) {
            const QByteArray chip = LinkEmulator(emu).chipFlash();
            QVERIFY(chip.size() > 0x1002);
            QCOMPARE(chip.left(flash.size()).toHex(), flash.toHex());
            QCOMPARE(chip.mid(0x1000, 2).toHex(), serial.toHex());
            QVERIFY(chip.mid(flash.size(), 0x1000 - flash.size()) == QByteArray(0x1000 - flash.size(), '\xFF'));
        };

        CliRun run = cli(burn);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        expectChipSerial(QByteArray::fromHex("1230"));
        run = cli(burn);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        expectChipSerial(QByteArray::fromHex("1231"));

        // The wrong chip in the socket: the pass fails, its value is void.
        QCOMPARE(cli({QStringLiteral("emulator"), emu, QStringLiteral("--chip-id"), QStringLiteral("1234")}).exitCode, 0);
        QCOMPARE(cli(burn).exitCode, 4);
        QCOMPARE(cli({QStringLiteral("emulator"), emu, QStringLiteral("--chip-id"), QStringLiteral("2610")}).exitCode, 0);
        run = cli(burn);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        expectChipSerial(QByteArray::fromHex("1233"));

        const QJsonObject written = json(ledger({QStringLiteral("find"), QStringLiteral("0x1233"), QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")}).out).object();
        QCOMPARE(written[QStringLiteral("state")].toString(), QStringLiteral("written"));
        const QJsonObject record = written[QStringLiteral("records")].toArray().at(0).toObject();
        QCOMPARE(record[QStringLiteral("serial")].toInt(), 0x1233);
        QCOMPARE(record[QStringLiteral("station")].toString(), QStringLiteral("S1"));
        QCOMPARE(record[QStringLiteral("operator")].toString(), QStringLiteral("王"));
        QCOMPARE(record[QStringLiteral("chipId")].toString(), QStringLiteral("2610"));
        QCOMPARE(record[QStringLiteral("result")].toInt(), 0);
        const QJsonObject failed = json(ledger({QStringLiteral("find"), QStringLiteral("0x1232"), QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")}).out).object();
        QCOMPARE(failed[QStringLiteral("state")].toString(), QStringLiteral("void"));
        QCOMPARE(failed[QStringLiteral("records")].toArray().at(0).toObject()[QStringLiteral("result")].toInt(), 4);

        const QJsonObject space = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}).out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 3);
        QCOMPARE(space[QStringLiteral("void")].toInt(), 1);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 0);
    }

    // A loop takes a block and writes a fresh value before each chip; what it leaves at Ctrl-C is void.
    void loopGivesEveryChipTheNextSerial()
    {
        if (kInterruptMissing)
            QSKIP(kInterruptMissing);
        makeSpace();
        const QString emu = path(QStringLiteral("link"));
        QProcess loop;
        startLoop(loop, url(), QStringLiteral("S2"), emu);
        QByteArray out;
        QVERIFY2(chipsBurned(loop, out, 1), loop.readAllStandardError().constData());
        QCOMPARE(LinkEmulator(emu).chipFlash().mid(0x1000, 2).toHex(), QByteArray("1230"));
        nextChip(emu);
        QVERIFY2(chipsBurned(loop, out, 2), out.constData());
        QCOMPARE(LinkEmulator(emu).chipFlash().mid(0x1000, 2).toHex(), QByteArray("1231"));
        interrupt(loop);
        QVERIFY(loop.waitForFinished(20000));

        const QJsonObject space = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}).out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 2);
        QCOMPARE(space[QStringLiteral("void")].toInt(), 14);  // the rest of the block of 16
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 0);
    }

    // A run that ends cleanly leaves nothing of its own reserved, also a block whose answer it never had (a
    // reservation committed as the connection broke, taken again over the new one).
    void cleanEndSettlesEveryValueItHolds()
    {
        if (kInterruptMissing)
            QSKIP(kInterruptMissing);
        makeSpace();
        QProcess loop;
        startLoop(loop, url(), QStringLiteral("S2"), path(QStringLiteral("link")));
        QByteArray out;
        QVERIFY2(chipsBurned(loop, out, 1), loop.readAllStandardError().constData());
        {
            QString error;
            auto store = openProductionStore(url(), &error);
            QVERIFY2(store, qPrintable(error));
            QVector<int64_t> lost;
            QVERIFY(store->reserve(QStringLiteral("sn"), SerialHolder(QStringLiteral("S2"), QStringLiteral("emu")), 3, &lost));
        }
        interrupt(loop);
        QVERIFY(loop.waitForFinished(20000));
        const QJsonObject space = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}).out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 1);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 0);
        QCOMPARE(space[QStringLiteral("void")].toInt(), 15 + 3);
    }

    // With a ledger and no --serial every chip is recorded there all the same.
    void burnWithoutSerialIsRecorded()
    {
        writeFlashProject(QStringLiteral("f.mprj"));
        const QString emu = path(QStringLiteral("link"));
        QCOMPARE(cli({QStringLiteral("emulator"), emu}).exitCode, 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQ_LEDGER"), url());
        const CliRun run = runCli({QStringLiteral("--station"), QStringLiteral("S3"), QStringLiteral("--emulate=") + emu,
                                   QStringLiteral("burn"), QStringLiteral("f.mprj")}, m_dir->path(), env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(ledger({QStringLiteral("export"), QStringLiteral("all.json")}).exitCode, 0);
        const QJsonArray all = json(readFile(path(QStringLiteral("all.json")))).array();
        QCOMPARE(all.size(), 1);
        const QJsonObject r = all.at(0).toObject();
        QCOMPARE(r[QStringLiteral("station")].toString(), QStringLiteral("S3"));
        QVERIFY(r[QStringLiteral("serial")].isNull());
        QCOMPARE(r[QStringLiteral("result")].toInt(), 0);
        QCOMPARE(r[QStringLiteral("chip")].toString(), QStringLiteral("VR5K2610"));
        QCOMPARE(r[QStringLiteral("areas")].toString(), QStringLiteral("rom"));
        QCOMPARE(r[QStringLiteral("checksum")].toString(), r[QStringLiteral("checksums")].toString());
        // The Link's firmware, as the Link itself answers it.
        const CliRun version = cli({QStringLiteral("--emulate=") + emu, QStringLiteral("fw-version")});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(r[QStringLiteral("firmware")].toString(), QString::fromUtf8(version.out).trimmed());
        QVERIFY(!r[QStringLiteral("programVersion")].toString().isEmpty());
    }

    // A gang: each Link's worker holds its own values; every chip gets a different one.
    void gangGivesEveryLinkItsOwnSerial()
    {
        const QByteArray flash = writeFlashProject(QStringLiteral("f.mprj"));
        QCOMPARE(ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("0x1230"),
                         QStringLiteral("--last"), QStringLiteral("0x12FF"), QStringLiteral("--from"), QStringLiteral("f.mprj")}).exitCode, 0);
        const QStringList emus = {path(QStringLiteral("l1")), path(QStringLiteral("l2")), path(QStringLiteral("l3"))};
        for (const QString &emu : emus)
            QCOMPARE(cli({QStringLiteral("emulator"), emu}).exitCode, 0);
        const CliRun run = cli({QStringLiteral("--ledger"), url(), QStringLiteral("--station"), QStringLiteral("G"),
                                QStringLiteral("--emulate=") + emus.join(QLatin1Char(',')), QStringLiteral("--link"), QStringLiteral("all"),
                                QStringLiteral("burn"), QStringLiteral("f.mprj"), QStringLiteral("--serial"), QStringLiteral("sn")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QSet<QByteArray> serials;
        for (const QString &emu : emus) {
            const QByteArray chip = LinkEmulator(emu).chipFlash();
            QCOMPARE(chip.left(flash.size()).toHex(), flash.toHex());
            serials.insert(chip.mid(0x1000, 2).toHex());
        }
        QCOMPARE(serials, (QSet<QByteArray>{"1230", "1231", "1232"}));
        const QJsonObject found = json(ledger({QStringLiteral("find"), QStringLiteral("0x1231"), QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")}).out).object();
        QCOMPARE(found[QStringLiteral("state")].toString(), QStringLiteral("written"));
        const QString port = found[QStringLiteral("records")].toArray().at(0).toObject()[QStringLiteral("port")].toString();
        QVERIFY2(port.startsWith(QStringLiteral("emu")), qPrintable(port));
        // The record names the Link that holds the value.
        QCOMPARE(LinkEmulator(emus[port.mid(3).toInt() - 1]).chipFlash().mid(0x1000, 2).toHex(), QByteArray("1231"));
        const QJsonObject space = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}).out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 3);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 0);
    }

    // Two stations, each a gang of two Links, burn at once on one PostgreSQL ledger: every chip holds a
    // different serial, and the record of that serial names the station and Link that burned it.
    void twoStationsOnOnePostgresLedger()
    {
        const QString missing = PgServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        PgServer pg;
        QVERIFY2(pg.start(), qPrintable(pg.error()));
        const QString pgUrl = pg.url();
        writeFlashProject(QStringLiteral("f.mprj"));
        QCOMPARE(ledger({QStringLiteral("space"), QStringLiteral("sn"), QStringLiteral("--first"), QStringLiteral("0x1230"),
                         QStringLiteral("--last"), QStringLiteral("0x12FF"), QStringLiteral("--from"), QStringLiteral("f.mprj")}, pgUrl).exitCode, 0);
        const QStringList stations = {QStringLiteral("A"), QStringLiteral("B")};
        QProcess runs[2];
        for (int s = 0; s < 2; ++s) {
            QStringList emus;
            for (int l = 1; l <= 2; ++l) {
                emus << path(QStringLiteral("%1%2").arg(stations[s]).arg(l));
                QCOMPARE(cli({QStringLiteral("emulator"), emus.last()}).exitCode, 0);
            }
            runs[s].setWorkingDirectory(m_dir->path());
            runs[s].start(cliPath(), {QStringLiteral("--ledger"), pgUrl, QStringLiteral("--station"), stations[s],
                                      QStringLiteral("--emulate=") + emus.join(QLatin1Char(',')), QStringLiteral("--link"), QStringLiteral("all"),
                                      QStringLiteral("burn"), QStringLiteral("f.mprj"), QStringLiteral("--serial"), QStringLiteral("sn")});
        }
        for (QProcess &run : runs) {
            QVERIFY(run.waitForFinished(120000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
        }
        QSet<QString> serials;
        for (const QString &station : stations) {
            for (int l = 1; l <= 2; ++l) {
                const QByteArray value = LinkEmulator(path(QStringLiteral("%1%2").arg(station).arg(l))).chipFlash().mid(0x1000, 2);
                const QString serial = QStringLiteral("0x") + QString::fromLatin1(value.toHex());
                serials.insert(serial);
                const QJsonObject found = json(ledger({QStringLiteral("find"), serial, QStringLiteral("--space"), QStringLiteral("sn"),
                                                       QStringLiteral("--json")}, pgUrl).out).object();
                QCOMPARE(found[QStringLiteral("state")].toString(), QStringLiteral("written"));
                const QJsonObject record = found[QStringLiteral("records")].toArray().at(0).toObject();
                QCOMPARE(record[QStringLiteral("station")].toString(), station);
                QCOMPARE(record[QStringLiteral("port")].toString(), QStringLiteral("emu%1").arg(l));
            }
        }
        QCOMPARE(serials.size(), 4);
        const QJsonObject space = json(ledger({QStringLiteral("status"), QStringLiteral("--json")}, pgUrl).out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 4);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 0);
    }

    // The server stops in the middle of a loop: the station burns the values it holds, its records wait on
    // this computer, and with no value left it stops with its own exit status rather than make one up. The
    // next program on the station sends what waited.
    void serverAwayMidLoop()
    {
        const QString missing = PgServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        PgServer pg;
        QVERIFY2(pg.start(), qPrintable(pg.error()));
        const QString pgUrl = pg.url();
        makeSpace(pgUrl);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQ_LEDGER_SPOOL"), path(QStringLiteral("spool.db")));
        const QString emu = path(QStringLiteral("link"));
        QProcess loop;
        loop.setProcessEnvironment(env);
        startLoop(loop, pgUrl, QStringLiteral("S4"), emu);
        QByteArray out;
        QVERIFY2(chipsBurned(loop, out, 1), loop.readAllStandardError().constData());
        QVERIFY(pg.stopServer());
        // The rest of the block of 16, one chip after another.
        for (int chip = 2; chip <= 16; ++chip)
            QVERIFY2(swapUntilBurned(loop, out, emu, chip), out.constData());
        // It stops by itself after the record of the last chip (the end may already have been seen).
        QVERIFY(loop.state() == QProcess::NotRunning || loop.waitForFinished(30000));
        const QString err = QString::fromUtf8(loop.readAllStandardError());
        QCOMPARE(loop.exitCode(), 75);
        QVERIFY2(err.contains(QStringLiteral("postgresql://tq@/tq")) && err.contains(QStringLiteral("15")), qPrintable(err));
        QCOMPARE(LinkEmulator(emu).chipFlash().mid(0x1000, 2).toHex(), QByteArray("123f"));

        QVERIFY2(pg.startServer(), qPrintable(pg.error()));
        const CliRun status = runCli({QStringLiteral("--ledger"), pgUrl, QStringLiteral("--json"), QStringLiteral("ledger"), QStringLiteral("status")},
                                     m_dir->path(), env);
        QVERIFY2(status.exitCode == 0, qPrintable(status.err));
        const QJsonObject space = json(status.out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
        QCOMPARE(space[QStringLiteral("written")].toInt(), 16);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 0);
        QCOMPARE(space[QStringLiteral("void")].toInt(), 0);
        const QJsonObject found = json(ledger({QStringLiteral("find"), QStringLiteral("0x123F"), QStringLiteral("--space"), QStringLiteral("sn"),
                                               QStringLiteral("--json")}, pgUrl).out).object();
        QCOMPARE(found[QStringLiteral("records")].toArray().size(), 1);
        QCOMPARE(found[QStringLiteral("records")].toArray().at(0).toObject()[QStringLiteral("station")].toString(), QStringLiteral("S4"));
    }

    // With the server away at the start there is no serial to burn: the same exit status, no chip touched.
    void serverAwayAtTheStart()
    {
        const QString missing = PgServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        writeFlashProject(QStringLiteral("f.mprj"));
        const QString emu = path(QStringLiteral("link"));
        QCOMPARE(cli({QStringLiteral("emulator"), emu}).exitCode, 0);
        const QByteArray before = LinkEmulator(emu).chipFlash();
        const CliRun run = cli({QStringLiteral("--ledger"), QStringLiteral("postgresql://tq@/tq?host=") + path(QStringLiteral("nothing")),
                                QStringLiteral("--emulate=") + emu, QStringLiteral("burn"), QStringLiteral("f.mprj"),
                                QStringLiteral("--serial"), QStringLiteral("sn")});
        QCOMPARE(run.exitCode, 75);
        QVERIFY2(run.err.contains(QStringLiteral("postgresql://tq@/tq")), qPrintable(run.err));
        QCOMPARE(LinkEmulator(emu).chipFlash(), before);
    }

    void passwordNeverTakenNorShown()
    {
        const CliRun run = runCli({QStringLiteral("--ledger"), QStringLiteral("postgresql://line:hunter2@db/ledger"), QStringLiteral("ledger"),
                                   QStringLiteral("status")}, m_dir->path());
        QCOMPARE(run.exitCode, 64);
        QVERIFY2(run.err.contains(QStringLiteral("PGPASSWORD")), qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("hunter2")));
    }
};

QTEST_GUILESS_MAIN(tst_ledgercli)
#include "tst_ledgercli.moc"
