#include "filetestutil.h"
#include "files/binfile.h"
#include "files/cfgdb.h"
#include "files/hexfile.h"
#include "files/inputfile.h"
#include "files/projectfile.h"
#include "files/savefile.h"
#include "files/tablefiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// FIFOs, devices and a disk that fills up: the cases that hung the readers or left truncated files.
class TestFilesPosix : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString pathFor(const QString &name) const { return m_dir.filePath(name); }

    // Files of this process end at `bytes`: a write past it is cut short, as on a full disk. SIGXFSZ is
    // ignored so the write returns its short count instead of ending the process.
    struct FileSizeLimit
    {
        rlimit previous{};
        explicit FileSizeLimit(rlim_t bytes)
        {
            getrlimit(RLIMIT_FSIZE, &previous);
            const rlimit limit{bytes, previous.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
    };

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2610")));
    }

    // Every reader answers at once instead of waiting for a writer that never comes.
    void fifoIsRefusedBeforeItIsOpened()
    {
        for (const QString &name : {QStringLiteral("in.hex"), QStringLiteral("in.bin"), QStringLiteral("in.mprj"),
                                   QStringLiteral("cfg.db"), QStringLiteral("in.eep")}) {
            QVERIFY(::mkfifo(QFile::encodeName(pathFor(name)).constData(), 0600) == 0);
        }
        QVERIFY(inspectInput(pathFor(QStringLiteral("in.hex"))).problem.contains(QStringLiteral("管道、套接字或设备文件")));
        RecordedMessages msgs;
        QCOMPARE(readHexFile(pathFor(QStringLiteral("in.hex")), ImageTarget::Flash, msgs.sink()), -3);
        QCOMPARE(readBinFile(pathFor(QStringLiteral("in.bin")), ImageTarget::Flash, msgs.sink()), -3);
        QCOMPARE(loadProject(pathFor(QStringLiteral("in.mprj")), catalogue(), nullptr, msgs.sink()), -3);
        QCOMPARE(readCfgFile(m_dir.path(), msgs.sink()), -1);
        QCOMPARE(readEepFile(pathFor(QStringLiteral("in.eep"))), -3);
        QCOMPARE(msgs.logs.size(), 4);
        QVERIFY(msgs.boxes.isEmpty());
        QVERIFY(!outputProblem(pathFor(QStringLiteral("in.hex"))).isEmpty());
    }

    // /dev/zero never ends; through a link with a loader's suffix it is still refused before a read.
    void deviceBehindALinkIsRefused()
    {
        const QString hex = pathFor(QStringLiteral("zero.hex"));
        const QString cfgDir = pathFor(QStringLiteral("zerocfg"));
        QVERIFY(QDir().mkpath(cfgDir));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), hex));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), cfgDbPath(cfgDir)));
        RecordedMessages msgs;
        QCOMPARE(readHexFile(hex, ImageTarget::Flash, msgs.sink()), -3);
        QCOMPARE(readCfgFile(cfgDir, msgs.sink()), -1);
        QVERIFY(msgs.logs.value(0).contains(QStringLiteral("设备文件")));
        QVERIFY(!outputProblem(QStringLiteral("/dev/full")).isEmpty());
        QString error;
        QVERIFY(!replaceFile(QStringLiteral("/dev/full"), "x", &error));
    }

    void shortWriteFailsAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("bin") << "bin";
        QTest::newRow("project") << "project";
        QTest::newRow("table") << "table";
        QTest::newRow("cfg.db") << "cfg";
    }

    void shortWriteFailsAndKeepsTheOldFile()
    {
        QFETCH(QString, kind);
        const QString dir = pathFor(QStringLiteral("full-") + kind);
        QVERIFY(QDir().mkpath(dir));
        const QString path = kind == QLatin1String("cfg") ? cfgDbPath(dir) : dir + QStringLiteral("/out");
        const QByteArray previous(100, 'p');
        QVERIFY(writeFile(path, previous));

        g_bEnBin = true;
        g_bEnBL = false;
        g_nBinSize = 30000;
        fillBinAndSum(g_ucBinBuf, g_nBinSize);
        g_nCfgCount = 0;
        g_strCompany = QStringLiteral("a company");
        QString error;
        int result = 0;
        {
            const FileSizeLimit limit(kind == QLatin1String("table") ? 200 : 4000);
            if (kind == QLatin1String("bin"))
                result = saveBin(path, FileMessages(), &error);
            else if (kind == QLatin1String("project"))
                result = saveProject(path, &error);
            else if (kind == QLatin1String("table"))
                result = saveNvrFile(path, &error);
            else
                result = writeCfgFile(dir, &error);
        }
        QCOMPARE(result, kind == QLatin1String("cfg") ? -1 : -3);
        QVERIFY2(error.contains(QStringLiteral("字节")) && error.contains(QStringLiteral("磁盘已满？")), qPrintable(error));
        QCOMPARE(readFile(path), previous);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no temporary file left
    }

    void appendDurablyFailsOnAFullDisk()
    {
        QFile file(QStringLiteral("/dev/full"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY(!appendDurably(file, "a record\n", &error));
        QVERIFY(!error.isEmpty());

        QFile log(pathFor(QStringLiteral("log.csv")));
        QVERIFY(log.open(QIODevice::WriteOnly | QIODevice::Append));
        QVERIFY(appendDurably(log, "line\n", &error));
        const FileSizeLimit limit(8);
        QVERIFY(!appendDurably(log, "a longer line\n", &error));
        QVERIFY2(error.contains(QStringLiteral("字节")), qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestFilesPosix)
#include "tst_filesposix.moc"
