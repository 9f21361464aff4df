// Gang burn loops and Ctrl-C. POSIX only: the test sends SIGINT, as a terminal's Ctrl-C does.
#include "clitestutil.h"

#include <QtTest>

#include <QTemporaryDir>

#include <csignal>
#include <sys/types.h>

class TestGangPosix : public QObject
{
    Q_OBJECT

private slots:
    void ctrlCEndsEveryLinkWithTheLogComplete();
};

void TestGangPosix::ctrlCEndsEveryLinkWithTheLogComplete()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("in.bin")), patternBytes(3000, 5)));
    const QString emulate = QStringLiteral("--emulate=%1,%2,%3")
                                .arg(dir.filePath(QStringLiteral("l1")), dir.filePath(QStringLiteral("l2")), dir.filePath(QStringLiteral("l3")));
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(cliPath(), {emulate, QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("burn"), QStringLiteral("in.bin"),
                        QStringLiteral("--loop"), QStringLiteral("--log"), QStringLiteral("record.csv")});
    QVERIFY(p.waitForStarted());
    // Every Link burns the chip in its socket, then waits for the next one.
    QString err;
    auto allBurned = [&err] {
        return err.contains(QStringLiteral("emu1: chip 1:")) && err.contains(QStringLiteral("emu2: chip 1:"))
               && err.contains(QStringLiteral("emu3: chip 1:"));
    };
    while (!allBurned() && p.state() == QProcess::Running) {
        p.waitForReadyRead(1000);
        err += QString::fromUtf8(p.readAllStandardError());
    }
    QVERIFY2(allBurned(), qPrintable(err));
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 130);
    const QStringList results = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(results.size(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(QRegularExpression(QStringLiteral("^emu%1: stopped, [1-9]\\d* chip\\(s\\): [1-9]\\d* passed, 0 failed$").arg(i + 1))
                     .match(results[i]).hasMatch(),
                 qPrintable(results[i]));

    // One record per chip, each under its Link, behind the one header; a new record is UTF-8 with a mark, CRLF.
    const QByteArray bytes = readFile(dir.filePath(QStringLiteral("record.csv")));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
    const QList<QByteArray> log = bytes.mid(3).chopped(2).split('\n');
    QCOMPARE(log.size(), 4);
    QCOMPARE(log[0], QByteArray("link,time,chip,chip id,areas,checksums,result,text\r"));
    QStringList links;
    for (int i = 1; i < log.size(); ++i) {
        const QList<QByteArray> fields = log[i].chopped(i + 1 < log.size() ? 1 : 0).split(',');
        QCOMPARE(fields.size(), 8);
        QCOMPARE(fields[6], QByteArray("0"));
        links << QString::fromUtf8(fields[0]);
    }
    links.sort();
    QCOMPARE(links, (QStringList{"emu1", "emu2", "emu3"}));
}

QTEST_GUILESS_MAIN(TestGangPosix)
#include "tst_gang_posix.moc"
