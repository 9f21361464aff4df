// Downloads with --serial end to end: the real tarnquill-cli leases emulated Links blocks of a ledger's space,
// on SQLite and on a PostgreSQL server the test starts itself.
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
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

class tst_ledgerlease : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PgServer> m_pg;
    QString m_pgMissing;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }

    // A fresh ledger of the row's back-end.
    QString newLedger(const QString &backend)
    {
        if (backend == QLatin1String("sqlite"))
            return QStringLiteral("sqlite:") + path(QStringLiteral("line.db"));
        return m_pg->newDatabase();
    }

#define NEW_LEDGER(url)                                                                                          \
    QFETCH(QString, backend);                                                                                    \
    if (backend == QLatin1String("postgresql") && !m_pgMissing.isEmpty())                                       \
        QSKIP(qPrintable(m_pgMissing));                                                                          \
    const QString url = newLedger(backend);                                                                      \
    QVERIFY2(!url.isEmpty(), qPrintable(m_pg->error()))

    static void backends()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }

    // A flash image of 2000 bytes and its 16-bit hexadecimal serial, counting up, in the flash; a burn limit of 10
    // unless `serial` says otherwise.
    void writeProject(const QString &name, const FlashSerial &serial = {true, 1, 0x1000, 10})
    {
        writeFlashProject(path(name), serial);
    }

    // Space "sn" from `first` to `last`, as the project p.mprj writes it.
    void makeSpace(const QString &url, const QString &first = QStringLiteral("0x1230"), const QString &last = QStringLiteral("0x12FF"))
    {
        writeProject(QStringLiteral("space.mprj"));
        const CliRun made = cli({QStringLiteral("--ledger"), url, QStringLiteral("ledger"), QStringLiteral("space"), QStringLiteral("sn"),
                                 QStringLiteral("--first"), first, QStringLiteral("--last"), last, QStringLiteral("--from"), QStringLiteral("space.mprj")});
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    }

    QString emulate(int links = 3) const
    {
        QStringList folders;
        for (int i = 1; i <= links; ++i)
            folders << path(QStringLiteral("l%1").arg(i));
        return QStringLiteral("--emulate=") + folders.join(QLatin1Char(','));
    }

    // tarnquill-cli on the ledger as station G with three emulated Links.
    CliRun station(const QString &url, const QStringList &arguments) const
    {
        return cli(QStringList{QStringLiteral("--ledger"), url, QStringLiteral("--station"), QStringLiteral("G"), emulate()} + arguments);
    }

    QJsonObject spaceStatus(const QString &url) const
    {
        const CliRun run = cli({QStringLiteral("--ledger"), url, QStringLiteral("--json"), QStringLiteral("ledger"), QStringLiteral("status")});
        return json(run.out).object()[QStringLiteral("spaces")].toArray().at(0).toObject();
    }

    // The rolling record the Link at `port` keeps, read back with its upload.
    QJsonObject storedRolling(const QString &port) const
    {
        const QString back = path(QStringLiteral("back-%1.mprj").arg(port));
        const CliRun up = cli({emulate(), QStringLiteral("--link"), port, QStringLiteral("upload"), back});
        if (up.exitCode != 0)
            qWarning() << "upload" << port << up.exitCode << up.err;
        return json(cli({QStringLiteral("--json"), QStringLiteral("info"), back}).out).object()[QStringLiteral("rolling")].toObject();
    }

    static qint64 startOf(const QJsonObject &rolling) { return rolling[QStringLiteral("startVal")].toVariant().toLongLong(); }

    // The held leases of the status, by port.
    static QMap<QString, QJsonObject> heldLeases(const QJsonObject &space)
    {
        QMap<QString, QJsonObject> held;
        for (const QJsonValue &v : space[QStringLiteral("leases")].toArray())
            held.insert(v.toObject()[QStringLiteral("port")].toString(), v.toObject());
        return held;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath()));
        m_pgMissing = PgServer::unavailable();
        if (!m_pgMissing.isEmpty())
            return;
        m_pg = std::make_unique<PgServer>();
        QVERIFY2(m_pg->start(), qPrintable(m_pg->error()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // A PostgreSQL ledger's records would wait here while its server is away.
        qputenv("TQ_LEDGER_SPOOL", QFile::encodeName(path(QStringLiteral("spool.db"))));
    }

    void cleanupTestCase() { m_pg.reset(); }

    // Three Links each get their own block of burn-limit values, in their stored project; the blocks follow one
    // another on the space's counter; the next download to a Link, an erase of its store, or a download without
    // --serial closes what it held.
    void downloadLeasesEveryLinkABlock_data() { backends(); }
    void downloadLeasesEveryLinkABlock()
    {
        NEW_LEDGER(url);
        makeSpace(url);
        {
            // A station burning online took two values first.
            QString error;
            auto store = openProductionStore(url, &error);
            QVERIFY2(store, qPrintable(error));
            QVector<int64_t> taken;
            QVERIFY(store->reserve(QStringLiteral("sn"), QStringLiteral("online"), 2, &taken));
        }
        writeProject(QStringLiteral("p.mprj"));
        const CliRun run = station(url, {QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("download"), QStringLiteral("p.mprj"),
                                         QStringLiteral("--serial"), QStringLiteral("sn")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("emu2：序列号 0x123C 到 0x1245（10 个")), qPrintable(run.err));
        for (int i = 0; i < 3; ++i) {
            const QJsonObject rolling = storedRolling(QStringLiteral("emu%1").arg(i + 1));
            QCOMPARE(startOf(rolling), qint64(0x1232 + 10 * i));
            QCOMPARE(rolling[QStringLiteral("step")].toInt(), 1);
        }
        QJsonObject space = spaceStatus(url);
        QCOMPARE(space[QStringLiteral("leased")].toInt(), 30);
        QCOMPARE(space[QStringLiteral("reserved")].toInt(), 2);
        QCOMPARE(space[QStringLiteral("nextFree")].toInt(), 0x1232 + 30);
        QMap<QString, QJsonObject> held = heldLeases(space);
        QCOMPARE(held.keys(), (QStringList{QStringLiteral("emu1"), QStringLiteral("emu2"), QStringLiteral("emu3")}));
        qint64 expectedFirst = 0x1232;
        for (const QJsonObject &l : held) {
            QCOMPARE(l[QStringLiteral("station")].toString(), QStringLiteral("G"));
            QCOMPARE(l[QStringLiteral("state")].toString(), QStringLiteral("open"));
            QCOMPARE(l[QStringLiteral("first")].toVariant().toLongLong(), expectedFirst);
            QCOMPARE(l[QStringLiteral("last")].toVariant().toLongLong(), expectedFirst + 9);
            QCOMPARE(l[QStringLiteral("count")].toInt(), 10);
            QVERIFY(QDateTime::fromString(l[QStringLiteral("time")].toString(), Qt::ISODateWithMs).isValid());
            expectedFirst += 10;
        }
        const CliRun text = cli({QStringLiteral("--ledger"), url, QStringLiteral("ledger"), QStringLiteral("status")});
        QVERIFY2(QString::fromUtf8(text.out).contains(QStringLiteral("工位 G 端口 emu3：0x1246 到 0x124F（10 个）")), text.out.constData());
        const QJsonObject found = json(cli({QStringLiteral("--ledger"), url, QStringLiteral("ledger"), QStringLiteral("find"), QStringLiteral("0x1240"),
                                            QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")}).out).object();
        QCOMPARE(found[QStringLiteral("state")].toString(), QStringLiteral("leased"));
        QCOMPARE(found[QStringLiteral("lease")].toObject()[QStringLiteral("port")].toString(), QStringLiteral("emu2"));

        // One Link again: a new block, the old one closed (its values stay taken).
        const CliRun again = station(url, {QStringLiteral("--link"), QStringLiteral("emu2"), QStringLiteral("download"), QStringLiteral("p.mprj"),
                                           QStringLiteral("--serial"), QStringLiteral("sn")});
        QVERIFY2(again.exitCode == 0 && again.err.contains(QStringLiteral("emu2：工位 G 在这个 Link 上的序列号租约已关闭")), qPrintable(again.err));
        QCOMPARE(startOf(storedRolling(QStringLiteral("emu2"))), qint64(0x1250));
        // An erased store, a download without --serial: their leases closed.
        QVERIFY2(station(url, {QStringLiteral("--link"), QStringLiteral("emu3"), QStringLiteral("erase-link")}).exitCode == 0, "erase-link");
        const CliRun plain = station(url, {QStringLiteral("--link"), QStringLiteral("emu1"), QStringLiteral("download"), QStringLiteral("p.mprj")});
        QVERIFY2(plain.exitCode == 0 && plain.err.contains(QStringLiteral("租约已关闭")), qPrintable(plain.err));
        space = spaceStatus(url);
        QCOMPARE(space[QStringLiteral("leased")].toInt(), 40);
        held = heldLeases(space);
        QCOMPARE(held.keys(), QStringList{QStringLiteral("emu2")});
        QCOMPARE(held[QStringLiteral("emu2")][QStringLiteral("first")].toInt(), 0x1250);
        const QJsonObject erased = json(cli({QStringLiteral("--ledger"), url, QStringLiteral("ledger"), QStringLiteral("find"), QStringLiteral("0x1246"),
                                             QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")}).out).object()[QStringLiteral("lease")].toObject();
        QCOMPARE(erased[QStringLiteral("state")].toString(), QStringLiteral("closed"));
        QCOMPARE(erased[QStringLiteral("reason")].toString(), QStringLiteral("erased"));
    }

    // Refused before anything is leased or downloaded: no Link touched, the ledger as it was.
    void refusals_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("ledger");   // "sqlite", "csv" or "none"
        QTest::addColumn<bool>("serialOn");
        QTest::addColumn<int>("step");
        QTest::addColumn<uint>("limit");
        QTest::addColumn<QString>("last");     // of the space
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString all = QStringLiteral("all"), one = QStringLiteral("emu2"), sqlite = QStringLiteral("sqlite");
        QTest::newRow("burn limit off") << all << sqlite << true << 1 << 0u << "0x12FF" << 65 << "烧录次数限制";
        QTest::newRow("burn limit off, one Link") << one << sqlite << true << 1 << 0u << "0x12FF" << 65 << "烧录次数限制";
        QTest::newRow("project without a serial") << all << sqlite << false << 1 << 10u << "0x12FF" << 65 << "没有启用序列号";
        QTest::newRow("record's step differs") << all << sqlite << true << 2 << 10u << "0x12FF" << 65 << "步长 2，空间 1";
        QTest::newRow("space too small") << all << sqlite << true << 1 << 10u << "0x1249" << 65 << "只剩 26 个值，不够 3 个 Link 各租 10 个";
        QTest::newRow("space too small, one Link") << one << sqlite << true << 1 << 40u << "0x1249" << 65 << "只剩 26 个值";
        QTest::newRow("csv ledger") << all << "csv" << true << 1 << 10u << "0x12FF" << 64 << "CSV";
        QTest::newRow("no ledger") << one << "none" << true << 1 << 10u << "0x12FF" << 64 << "TQ_LEDGER";
    }
    void refusals()
    {
        QFETCH(QString, link);
        QFETCH(QString, ledger);
        QFETCH(bool, serialOn);
        QFETCH(int, step);
        QFETCH(uint, limit);
        QFETCH(QString, last);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString url = QStringLiteral("sqlite:") + path(QStringLiteral("line.db"));
        makeSpace(url, QStringLiteral("0x1230"), last);
        writeProject(QStringLiteral("p.mprj"), {serialOn, uint8_t(step), 0x1000, limit});
        QStringList arguments{emulate(), QStringLiteral("--link"), link, QStringLiteral("download"), QStringLiteral("p.mprj"),
                              QStringLiteral("--serial"), QStringLiteral("sn")};
        if (ledger != QLatin1String("none"))
            arguments = QStringList{QStringLiteral("--ledger"), ledger == QLatin1String("csv") ? QStringLiteral("csv:") + path(QStringLiteral("log.csv")) : url}
                        + arguments;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("TQ_LEDGER"));
        const CliRun run = runCli(arguments, m_dir->path(), env);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        for (int i = 1; i <= 3; ++i)
            QVERIFY2(!QFileInfo::exists(path(QStringLiteral("l%1").arg(i))), "a Link was touched");
        const QJsonObject space = spaceStatus(url);
        QCOMPARE(space[QStringLiteral("nextFree")].toInt(), 0x1230);
        QCOMPARE(space[QStringLiteral("leased")].toInt(), 0);
    }

    // A Link whose download fails does not keep its lease: void, with the result, its values never given again;
    // the others hold theirs.
    void failedDownloadVoidsThatLinksLease_data() { backends(); }
    void failedDownloadVoidsThatLinksLease()
    {
        NEW_LEDGER(url);
        makeSpace(url);
        writeProject(QStringLiteral("p.mprj"));
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("l%1").arg(i))}).exitCode, 0);
        LinkEmulator second(path(QStringLiteral("l2")));
        LinkEmulator::LinkLock held(second);
        QVERIFY(held.tryLock());
        const CliRun gang = station(url, {QStringLiteral("--json"), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("download"),
                                          QStringLiteral("p.mprj"), QStringLiteral("--serial"), QStringLiteral("sn")});
        QCOMPARE(gang.exitCode, 37);
        // Each Link's result names its lease as it ended.
        const QJsonArray results = json(gang.out).array();
        QCOMPARE(results.size(), 3);
        QCOMPARE(results[0].toObject()[QStringLiteral("lease")].toObject()[QStringLiteral("state")].toString(), QStringLiteral("open"));
        QCOMPARE(results[1].toObject()[QStringLiteral("lease")].toObject()[QStringLiteral("state")].toString(), QStringLiteral("void"));
        QCOMPARE(results[1].toObject()[QStringLiteral("lease")].toObject()[QStringLiteral("first")].toInt(), 0x123A);
        QJsonObject space = spaceStatus(url);
        QMap<QString, QJsonObject> leases = heldLeases(space);
        QCOMPARE(leases.keys(), (QStringList{QStringLiteral("emu1"), QStringLiteral("emu3")}));
        QCOMPARE(space[QStringLiteral("leased")].toInt(), 20);
        QCOMPARE(space[QStringLiteral("void")].toInt(), 10);
        const QJsonObject found = json(cli({QStringLiteral("--ledger"), url, QStringLiteral("ledger"), QStringLiteral("find"), QStringLiteral("0x1240"),
                                            QStringLiteral("--space"), QStringLiteral("sn"), QStringLiteral("--json")}).out).object();
        QCOMPARE(found[QStringLiteral("state")].toString(), QStringLiteral("void"));
        const QJsonObject lease = found[QStringLiteral("lease")].toObject();
        QCOMPARE(lease[QStringLiteral("port")].toString(), QStringLiteral("emu2"));
        QCOMPARE(lease[QStringLiteral("reason")].toString(), QStringLiteral("download failed"));
        QVERIFY2(lease[QStringLiteral("detail")].toString().contains(QStringLiteral("37")), qPrintable(lease[QStringLiteral("detail")].toString()));

        // The same on one Link: its lease void, the one it held before closed.
        const CliRun one = station(url, {QStringLiteral("--json"), QStringLiteral("--link"), QStringLiteral("emu2"), QStringLiteral("download"),
                                         QStringLiteral("p.mprj"), QStringLiteral("--serial"), QStringLiteral("sn")});
        QCOMPARE(one.exitCode, 37);
        const QJsonObject result = json(one.out).object();
        QCOMPARE(result[QStringLiteral("result")].toInt(), 37);
        QCOMPARE(result[QStringLiteral("lease")].toObject()[QStringLiteral("state")].toString(), QStringLiteral("void"));
        space = spaceStatus(url);
        QCOMPARE(heldLeases(space).keys(), (QStringList{QStringLiteral("emu1"), QStringLiteral("emu3")}));
        QCOMPARE(space[QStringLiteral("void")].toInt(), 20);
        QCOMPARE(space[QStringLiteral("nextFree")].toInt(), 0x1230 + 40);
        // Free again, the Link takes a new block.
        held.unlock();
        QCOMPARE(station(url, {QStringLiteral("--link"), QStringLiteral("emu2"), QStringLiteral("download"), QStringLiteral("p.mprj"),
                               QStringLiteral("--serial"), QStringLiteral("sn")}).exitCode, 0);
        QCOMPARE(startOf(storedRolling(QStringLiteral("emu2"))), qint64(0x1230 + 40));
    }
};

QTEST_GUILESS_MAIN(tst_ledgerlease)
#include "tst_ledgerlease.moc"
