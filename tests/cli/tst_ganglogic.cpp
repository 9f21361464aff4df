// The parts of a gang run that need no Link: choosing Links, worker arguments, results, display and log.
#include "cli/gangdisplay.h"
#include "cli/ganglog.h"
#include "cli/gangrunner.h"
#include "cli/linkselection.h"

#include <QtTest>

#include <QTemporaryDir>

#include <cstdio>

namespace {
// What a display wrote into a temporary stream.
QString shown(FILE *stream)
{
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[256];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, int(n));
    return QString::fromUtf8(bytes);
}

GangOutcome outcome(const QString &port, int exitStatus, int code, const QString &text, const QString &checksum)
{
    GangOutcome o;
    o.port = port;
    o.exitStatus = exitStatus;
    if (code >= 0) {
        o.hasResult = true;
        o.result = QJsonObject{{QStringLiteral("result"), code}, {QStringLiteral("text"), text}};
    } else {
        o.lastMessage = text;
    }
    o.checksum = checksum;
    return o;
}
}

Q_DECLARE_METATYPE(GangOutcome)

class TestGangLogic : public QObject
{
    Q_OBJECT

private slots:
    void portOrder_data()
    {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("hub ports as numbers") << QStringList{"1-1.10", "1-1.9", "1-1.2"} << QStringList{"1-1.2", "1-1.9", "1-1.10"};
        QTest::newRow("bus before port") << QStringList{"2-1", "1-4", "1-1.3"} << QStringList{"1-1.3", "1-4", "2-1"};
        QTest::newRow("a hub before its ports") << QStringList{"1-1.2", "1-1"} << QStringList{"1-1", "1-1.2"};
        QTest::newRow("emulated") << QStringList{"emu10", "emu2", "emu1"} << QStringList{"emu1", "emu2", "emu10"};
    }
    void portOrder()
    {
        QFETCH(QStringList, ports);
        QFETCH(QStringList, sorted);
        std::sort(ports.begin(), ports.end(), portLess);
        QCOMPARE(ports, sorted);
    }

    void linkOption_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("ports");
        QTest::newRow("one port") << "1-1.2" << true << int(LinkChoice::Port) << QStringList{"1-1.2"};
        QTest::newRow("all") << "all" << true << int(LinkChoice::Gang) << QStringList();
        QTest::newRow("list, repeats dropped") << "1-1.2, 1-1.3,1-1.2" << true << int(LinkChoice::Gang) << QStringList{"1-1.2", "1-1.3"};
        QTest::newRow("a path is no port") << "../x" << false << 0 << QStringList();
        QTest::newRow("empty entry") << "1-1.2," << false << 0 << QStringList();
        QTest::newRow("slash") << "a/b" << false << 0 << QStringList();
    }
    void linkOption()
    {
        QFETCH(QString, value);
        QFETCH(bool, ok);
        QFETCH(int, mode);
        QFETCH(QStringList, ports);
        LinkChoice choice;
        QString error;
        QCOMPARE(parseLinkChoice(value, &choice, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (ok) {
            QCOMPARE(int(choice.mode), mode);
            QCOMPARE(choice.ports, ports);
        }
    }

    // The worker gets its own Link, JSON, log and trace in front (so they stay options after a "--"); the
    // parent's own --link, --json, --log and --trace are dropped in either form.
    void workerArguments()
    {
        const QStringList parent = {"--emulate=a,b", "--link", "all", "--json", "burn", "--log=r.csv", "x.bin",
                                    "--trace", "t.txt", "--verify", "--", "--json"};
        QCOMPARE(GangRunner::workerArguments(parent, "emu2", "/s/link2.csv", "t.txt.emu2", {"--gang-serial=5:3"}),
                 (QStringList{"--link", "emu2", "--gang-worker", "--json", "--log", "/s/link2.csv", "--trace", "t.txt.emu2",
                              "--gang-serial=5:3", "--emulate=a,b", "burn", "x.bin", "--verify", "--", "--json"}));
    }

    void results_data()
    {
        QTest::addColumn<QVector<GangOutcome>>("outcomes");
        QTest::addColumn<bool>("interrupted");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("status");
        const GangOutcome ok1 = outcome("1-1.2", 0, 0, "烧写成功", "49F2");
        const GangOutcome ok3 = outcome("1-1.4", 0, 0, "擦除成功.", "");
        const GangOutcome ng = outcome("1-1.3", 3, 3, "芯片连接失败", "");
        const GangOutcome usage = outcome("1-1.5", 65, -1, "x.bin: cannot be read", "");
        const GangOutcome lost = outcome("1-1.6", -1, -1, "", "");
        QTest::newRow("all good") << QVector<GangOutcome>{ok1, ok3} << false
                                  << QStringList{"1-1.2: OK 49F2", "1-1.4: OK 擦除成功."} << 0;
        QTest::newRow("first failure in port order") << QVector<GangOutcome>{ok1, ng, usage} << false
                                                     << QStringList{"1-1.2: OK 49F2", "1-1.3: NG 3 芯片连接失败",
                                                                    "1-1.5: NG 65 x.bin: cannot be read"} << 3;
        QTest::newRow("a worker that died") << QVector<GangOutcome>{ok1, lost} << false
                                            << QStringList{"1-1.2: OK 49F2", "1-1.6: NG 70 the worker ended abnormally"} << 70;
        QTest::newRow("Ctrl-C") << QVector<GangOutcome>{ok1, ng} << true
                                << QStringList{"1-1.2: OK 49F2", "1-1.3: NG 3 芯片连接失败"} << 130;
        GangOutcome loop = outcome("1-1.7", 130, 130, "interrupted", "49F2");
        loop.result.insert(QStringLiteral("chips"), 5);
        loop.result.insert(QStringLiteral("passed"), 4);
        loop.result.insert(QStringLiteral("failed"), 1);
        QTest::newRow("a loop stopped by Ctrl-C") << QVector<GangOutcome>{ok1, loop} << true
                                                  << QStringList{"1-1.2: OK 49F2", "1-1.7: stopped, 5 chip(s): 4 passed, 1 failed"}
                                                  << 130;
    }
    void results()
    {
        QFETCH(QVector<GangOutcome>, outcomes);
        QFETCH(bool, interrupted);
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        QStringList got;
        for (const GangOutcome &o : outcomes)
            got << gangResultLine(o);
        QCOMPARE(got, lines);
        QCOMPARE(gangExitStatus(outcomes, interrupted), status);
        const QJsonObject first = gangResultJson(outcomes.first());
        QCOMPARE(first[QStringLiteral("checksum")].toString(), QStringLiteral("49F2"));
        QCOMPARE(first.keys(), (QStringList{"checksum", "code", "port", "text"}));
    }

    void displayInAPipePrefixesEveryLine()
    {
        FILE *stream = std::tmpfile();
        QVERIFY(stream);
        {
            GangDisplay display({"emu1", "emu2"}, stream, false);
            display.label(1, "烧写中...");
            for (int percent : {0, 5, 10, 12, 50, 50, 100})
                display.progress(0, percent);
            display.progress(0, 0);  // the next transfer starts its tenths again
            display.progress(0, 10);
            display.note(1, "chip 1: id 2610, 0 烧写成功");
        }
        QCOMPARE(shown(stream), QStringLiteral("emu2: 烧写中...\nemu1: 10%\nemu1: 50%\nemu1: 100%\nemu1: 10%\n"
                                               "emu2: chip 1: id 2610, 0 烧写成功\n"));
        std::fclose(stream);
    }

    // On a terminal the block of one line per Link is drawn again in place; a note goes above it.
    void displayOnATerminalRedrawsOneLinePerLink()
    {
        FILE *stream = std::tmpfile();
        QVERIFY(stream);
        {
            GangDisplay display({"emu1", "emu10"}, stream, true);
            display.progress(0, 50);
            display.progress(0, 52);  // the bar does not grow: not drawn again
            display.label(1, "芯片连接中.");
            display.note(0, "chip 1: id 2610, 0 烧写成功");
        }
        const QString row1 = QStringLiteral("emu1  [##########..........]  50% ");
        const QString row1later = QStringLiteral("emu1  [##########..........]  52% ");
        const QString row2empty = QStringLiteral("emu10 [....................]   0% ");
        const QString block1 = "\r\033[K" + row1 + "\n\r\033[K" + row2empty + "\n";
        const QString block2 = "\033[2A\r\033[K" + row1later + "\n\r\033[K" + row2empty + "芯片连接中.\n";
        const QString note = QStringLiteral("\033[2A\r\033[Jemu1: chip 1: id 2610, 0 烧写成功\n");
        const QString block3 = "\r\033[K" + row1later + "\n\r\033[K" + row2empty + "芯片连接中.\n";
        QCOMPARE(shown(stream), block1 + block2 + note + block3);
        std::fclose(stream);
    }

    // Each worker's records go into the one record behind its port, its own header left out; a record still
    // being written waits for its end. Workers' logs come in either form (with or without a byte-order mark,
    // LF or CRLF); a new gang record is written with a mark and CRLF, an existing one keeps its line ends.
    void logMergesWorkerLines_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("bom");
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray header = "link,time,chip,chip id,areas,checksums,result,text";
        const QByteArray row1 = "emu2,2026-01-01 10:00:00,A,2610,rom,49F2,0,ok";
        const QByteArray row2 = "emu2,2026-01-01 10:00:05,A,2610,rom,49F2,3,\"a, b\nc\"";
        const QByteArray bom = "\xEF\xBB\xBF";
        for (const QByteArray &end : {QByteArray("\n"), QByteArray("\r\n")}) {
            for (const QByteArray &mark : {QByteArray(), bom}) {
                const QByteArray form = (mark.isEmpty() ? "plain" : "marked") + QByteArray(end.size() == 1 ? " LF" : " CRLF");
                QTest::newRow("new record, worker " + form) << QByteArray() << mark << end
                                                            << bom + header + "\r\n" + row1 + "\r\n" + row2 + "\r\n";
                QTest::newRow("LF record, worker " + form) << QByteArray(header + "\nx\n") << mark << end
                                                           << header + "\nx\n" + row1 + "\n" + row2 + "\n";
            }
        }
        QTest::newRow("CRLF record") << QByteArray(bom + header + "\r\n") << bom << QByteArray("\n")
                                     << bom + header + "\r\n" + row1 + "\r\n" + row2 + "\r\n";
        QTest::newRow("last line without its end") << QByteArray(header + "\r\nx") << QByteArray() << QByteArray("\n")
                                                   << header + "\r\nx\r\n" + row1 + "\r\n" + row2 + "\r\n";
    }
    void logMergesWorkerLines()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, bom);
        QFETCH(QByteArray, end);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString worker = dir.filePath("w.csv");
        const QString gang = dir.filePath("gang.csv");
        if (!existing.isEmpty())
            QVERIFY(writeWorkerLog(gang, existing));
        QVERIFY(writeWorkerLog(worker, bom));
        GangLog log;
        QVERIFY(log.open(gang));
        qint64 offset = 0;
        QVERIFY(log.copyNewLines("emu2", worker, &offset));  // the mark alone
        QVERIFY(writeWorkerLog(worker, "time,chip,chip id,areas,checksums,result,text" + end + "2026-01-01 10:00:00,A,2610,rom,49F2,0,ok"
                                           + end + "2026-01-01", true));
        QVERIFY(log.copyNewLines("emu2", worker, &offset));
        QVERIFY(writeWorkerLog(worker, " 10:00:05,A,2610,rom,49F2,3,\"a, b\nc\"" + end, true));
        QVERIFY(log.copyNewLines("emu2", worker, &offset));
        QVERIFY(log.copyNewLines("emu2", worker, &offset));  // nothing new: nothing written
        QCOMPARE(offset, QFileInfo(worker).size());
        QFile merged(gang);
        QVERIFY(merged.open(QIODevice::ReadOnly));
        QCOMPARE(merged.readAll(), expected);
    }

private:
    static bool writeWorkerLog(const QString &path, const QByteArray &bytes, bool append = false)
    {
        QFile f(path);
        return f.open(append ? QIODevice::Append : QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
};

QTEST_APPLESS_MAIN(TestGangLogic)
#include "tst_ganglogic.moc"
