#include "filetestutil.h"
#include "files/binfile.h"
#include "files/cfgdb.h"
#include "files/hexfile.h"
#include "files/inputfile.h"
#include "files/projectfile.h"
#include "files/savefile.h"
#include "files/tablefiles.h"
#include "production/productionsettings.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(FileKind)

// Inputs are classified and checked once, before reading; outputs replace whole files or nothing; HEX loads
// say what they found.
class TestInputFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString pathFor(const QString &name) const { return m_dir.filePath(name); }

    // A file of `size` bytes without writing them (sparse where the filesystem allows).
    bool makeFileOfSize(const QString &path, qint64 size)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.resize(size);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2610")));
    }

    void classification_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<FileKind>("kind");
        QTest::addColumn<QString>("problem");  // part of the text; empty: the file is fine
        QTest::newRow("hex") << "a.hex" << qint64(100) << FileKind::Hex << QString();
        QTest::newRow("SDCC's ihx") << "a.ihx" << qint64(100) << FileKind::Hex << QString();
        QTest::newRow("IHX in capitals") << "b.IHX" << qint64(100) << FileKind::Hex << QString();
        QTest::newRow("bin") << "a.bin" << qint64(100) << FileKind::Bin << QString();
        QTest::newRow("project") << "a.mprj" << qint64(100) << FileKind::Project << QString();
        QTest::newRow("largest hex") << "big.hex" << HEX_FILE_MAX_SIZE << FileKind::Hex << QString();
        QTest::newRow("hex too large") << "huge.hex" << HEX_FILE_MAX_SIZE + 1 << FileKind::Hex << "超过此类文件最多的";
        QTest::newRow("bin too large") << "huge.bin" << RAW_FILE_MAX_SIZE + 1 << FileKind::Bin << "超过此类文件最多的";
        QTest::newRow("largest project") << "big.mprj" << projectFileMaxSize() << FileKind::Project << QString();
        QTest::newRow("project too large") << "huge.mprj" << projectFileMaxSize() + 1 << FileKind::Project
                                           << "超过此类文件最多的";
        QTest::newRow("missing") << "none.hex" << qint64(-1) << FileKind::Hex << "文件不存在";
        QTest::newRow("a folder") << "folder.hex" << qint64(-2) << FileKind::Hex << "是文件夹，不是普通文件";
        QTest::newRow("other suffix, not checked") << "a.txt" << qint64(-1) << FileKind::Other << QString();
    }

    void classification()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(FileKind, kind);
        QFETCH(QString, problem);
        const QString path = pathFor(name);
        if (size == -2)
            QVERIFY(QDir().mkpath(path));
        else if (size >= 0)
            QVERIFY(makeFileOfSize(path, size));
        const InputFile in = inspectInput(path);
        QCOMPARE(in.kind, kind);
        QCOMPARE(in.path, path);
        if (problem.isEmpty()) {
            QVERIFY2(in.ok(), qPrintable(in.problem));
            QCOMPARE(in.size, qMax<qint64>(size, 0));
        } else {
            QVERIFY2(in.problem.contains(problem), qPrintable(in.problem));
            QVERIFY(in.problem.startsWith(path));
        }
    }

    // A project holds at most every area at its largest; anything longer is no project.
    void projectLimitHoldsTheLargestProject()
    {
        g_bEnBin = g_bEnEE = g_bEnNVR2 = g_bEnNVR3 = g_bEnBL = g_bEnEncryption = g_bCaliClock = true;
        g_nBinSize = BIN_BUF_SIZE;
        g_strPsw = QStringLiteral("password");
        g_ucPswLen = 8;
        QVERIFY(projectBytes().size() <= projectFileMaxSize());
        resetImages();
        resetProduction();
    }

    // Every loader refuses a folder before reading, and says why in its log.
    void loadersRefuseAFolder()
    {
        const QString folder = pathFor(QStringLiteral("dir.hex"));
        QVERIFY(QDir().mkpath(folder));
        RecordedMessages hex, bin, project, cfg;
        QCOMPARE(readHexFile(folder, ImageTarget::Flash, hex.sink()), -3);
        QCOMPARE(readBinFile(folder, ImageTarget::Flash, bin.sink()), -3);
        QCOMPARE(loadProject(folder, catalogue(), nullptr, project.sink()), -3);
        QCOMPARE(readEepFile(folder), -3);
        for (const RecordedMessages *m : {&hex, &bin, &project}) {
            QCOMPARE(m->logs.size(), 1);
            QVERIFY(m->logs[0].contains(QStringLiteral("是文件夹")));
        }
        const QString appDir = pathFor(QStringLiteral("app"));
        QVERIFY(QDir().mkpath(cfgDbPath(appDir)));
        QCOMPARE(readCfgFile(appDir, cfg.sink()), -1);
        QVERIFY(cfg.logs.value(0).contains(QStringLiteral("是文件夹")));
    }

    void cfgDbLongerThanAnyConfiguration()
    {
        const QString appDir = pathFor(QStringLiteral("bigcfg"));
        QVERIFY(QDir().mkpath(appDir));
        QVERIFY(makeFileOfSize(cfgDbPath(appDir), cfgFileMaxSize() + 1));
        RecordedMessages msgs;
        QCOMPARE(readCfgFile(appDir, msgs.sink()), -1);
        QVERIFY(msgs.logs.value(0).contains(QStringLiteral("超过此类文件最多的")));
        QVERIFY(msgs.boxes.isEmpty());
    }

    void hexScan_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<uint32_t>("size");
        const QByteArray two = ":0400000001020304F2\r\n:0400040005060708DE\r\n";
        const QByteArray end = ":00000001FF\r\n";
        QTest::newRow("records and end") << two + end << 2 << 0 << 8u;
        QTest::newRow("empty") << QByteArray() << 0 << 0 << 0u;
        QTest::newRow("end record only") << QByteArray(":00000001FF\n") << 0 << 0 << 0u;
        QTest::newRow("garbage") << QByteArray("hello\nworld\n\n") << 0 << 2 << 0u;
        QTest::newRow("address extension is a record") << ":020000040000FA\n" + two + end << 2 << 0 << 8u;
        QTest::newRow("blank lines are not skipped lines") << "\r\n  \n" + two + end << 2 << 0 << 8u;
        QTest::newRow("comment lines") << "# made by hand\n" + two + end + "end\n" << 2 << 2 << 8u;
    }

    // The loader keeps its rules; the scan reports what they passed over.
    void hexScan()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, records);
        QFETCH(int, skipped);
        QFETCH(uint32_t, size);
        const QString path = pathFor(QStringLiteral("scan.hex"));
        QVERIFY(writeFile(path, text));
        HexScan scan;
        QCOMPARE(readHexFile(path, ImageTarget::Flash, FileMessages(), &scan), 0);
        QCOMPARE(scan.dataRecords, records);
        QCOMPARE(scan.skippedLines, skipped);
        QCOMPARE(g_nBinSize, size);
    }

    // Whole-file writes refuse what is not a regular file, and leave the old file when they fail.
    void replaceFileKeepsOrRefuses()
    {
        const QString path = pathFor(QStringLiteral("out.bin"));
        QString error;
        QVERIFY(replaceFile(path, "first", &error));
        QCOMPARE(readFile(path), QByteArray("first"));
        QVERIFY(replaceFile(path, "second", nullptr));
        QCOMPARE(readFile(path), QByteArray("second"));
        const QString folder = pathFor(QStringLiteral("folder.bin"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(!replaceFile(folder, "x", &error));
        QVERIFY2(error.contains(QStringLiteral("是文件夹")), qPrintable(error));
        error.clear();
        QCOMPARE(saveProject(pathFor(QStringLiteral("no/dir/x.mprj")), &error), -3);
        QVERIFY(!error.isEmpty());
        error.clear();
        g_strCompany = QStringLiteral("X");
        g_nCfgCount = 0;
        QCOMPARE(writeCfgFile(pathFor(QStringLiteral("no/dir")), &error), -1);
        QVERIFY(!error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestInputFile)
#include "tst_inputfile.moc"
