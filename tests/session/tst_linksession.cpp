#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "link/hidapibackend.h"
#include "link/linkcommands.h"
#include "link/timing.h"
#include "session/linksession.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestLinkSession : public QObject
{
    Q_OBJECT

    static QStringList traceLines(const QString &path)
    {
        QFile trace(path);
        if (!trace.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(trace.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase() { setLinkTimeScale(0); }

    void emulatorTracedIntoAFileAndSaved()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath("state");
        {
            LinkSession session;
            QString error;
            QVERIFY(session.useEmulator(state, 0x2611, &error));
            QVERIFY(session.traceInto(dir.filePath("trace.txt"), &error));
            session.install();
            QVERIFY(session.emulator());
            QCOMPARE(session.emulator()->chipId(), uint16_t(0x2611));  // a fresh folder gets the chip asked for
            LinkCommands commands;
            uint16_t id = 0;
            QCOMPARE(commands.CheckID(id), 0);
            QCOMPARE(id, uint16_t(0x2611));
            session.emulator()->setChipId(0x2620);
        }
        QVERIFY(dynamic_cast<HidapiBackend *>(&hidBackend()));
        const QStringList lines = traceLines(dir.filePath("trace.txt"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("# open"));
        QVERIFY(lines[1].startsWith("> 02 FD 1B "));
        QVERIFY(lines[2].startsWith("< 06 11 26 00"));
        QCOMPARE(lines[3], QStringLiteral("# close"));

        // A folder that holds a state keeps its chip whatever the fresh id.
        LinkSession again;
        QString error;
        QVERIFY(again.useEmulator(state, 0x2611, &error));
        QCOMPARE(again.emulator()->chipId(), uint16_t(0x2620));
    }

    void refusals()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("plain"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        LinkSession session;
        QString error;
        QVERIFY(!session.useEmulator(file.fileName(), 0x2610, &error));
        QVERIFY2(error.contains(file.fileName()), qPrintable(error));
        QVERIFY(!session.emulator());

        const QString trace = dir.filePath("no/such/folder/trace.txt");
        QVERIFY(!session.traceInto(trace, &error));
        QCOMPARE(error, QStringLiteral("cannot write the trace file ") + trace);
    }

    void nothingChosenLeavesTheBackendAlone()
    {
        LinkEmulator emulator;
        EmulatorBackend installed(emulator);
        setHidBackend(&installed);
        {
            LinkSession session;
            session.install();
            QVERIFY(!session.emulator());
            QCOMPARE(&hidBackend(), static_cast<HidBackend *>(&installed));
        }
        QCOMPARE(&hidBackend(), static_cast<HidBackend *>(&installed));
        setHidBackend(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestLinkSession)
#include "tst_linksession.moc"
