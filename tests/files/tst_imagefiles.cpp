#include "filetestutil.h"
#include "files/binfile.h"
#include "files/filekind.h"
#include "files/hexfile.h"
#include "files/imagetarget.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(ImageTarget)
Q_DECLARE_METATYPE(FileKind)

namespace {

// One Intel HEX record line with a correct checksum.
QByteArray record(int type, int address, const QByteArray &data)
{
    QByteArray raw;
    raw.append(static_cast<char>(data.size()));
    raw.append(static_cast<char>(address >> 8));
    raw.append(static_cast<char>(address & 0xFF));
    raw.append(static_cast<char>(type));
    raw.append(data);
    uint8_t sum = 0;
    for (char c : raw)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    raw.append(static_cast<char>(0x100 - sum));
    return ':' + raw.toHex().toUpper() + "\r\n";
}

QByteArray dataRecord(int address, const QByteArray &data)
{
    return record(0, address, data);
}

const QByteArray kEof = ":00000001FF\r\n";

QByteArray bytesFrom(int first, int count)
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(static_cast<char>(first + i));
    return b;
}

McuInfo chipWithFlashKB(uint32_t kb)
{
    McuInfo m = catalogue().first();
    m.strName = QStringLiteral("BIG");
    m.nFlashSizeKB = kb;
    return m;
}

} // namespace

class TestImageFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString pathFor(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2610")));
    }

    void hexLoad_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<ImageTarget>("target");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<uint32_t>("size");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("address");   // where `data` must be found
        QTest::addColumn<QByteArray>("data");

        const ImageTarget flash = ImageTarget::Flash;
        const ImageTarget bl = ImageTarget::BootLoader;
        const QByteArray abcd = QByteArray::fromHex("A1B2C3D4");

        QTest::newRow("only EOF") << "VR5K2610" << flash << kEof << 0u << QString() << 0 << QByteArray();
        QTest::newRow("out of order")
            << "VR5K2610" << flash << dataRecord(0x0010, abcd) + dataRecord(0x0000, bytesFrom(1, 2)) + kEof
            << 0x14u << QString() << 0x10 << abcd;
        QTest::newRow("size is highest end, not byte count")
            << "VR5K2610" << flash << dataRecord(0x7000, abcd) + kEof << 0x7004u << QString() << 0x7000 << abcd;
        QTest::newRow("ends exactly at flash size")
            << "VR5K2630" << flash << dataRecord(0x1FF0, bytesFrom(0x40, 16)) + kEof << 0x2000u << QString()
            << 0x1FF0 << bytesFrom(0x40, 16);
        QTest::newRow("one byte beyond flash")
            << "VR5K2630" << flash << dataRecord(0x0000, abcd) + dataRecord(0x1FF1, bytesFrom(0x40, 16)) + kEof
            << 0u << QStringLiteral("芯片VR5K2630flash最大为8192") << 0 << QByteArray();
        QTest::newRow("extended linear address ignored")
            << "VR5K2610" << flash << record(4, 0, QByteArray::fromHex("0001")) + dataRecord(0x0100, abcd) + kEof
            << 0x104u << QString() << 0x100 << abcd;
        QTest::newRow("types 0A and 10 skipped")
            << "VR5K2610" << flash
            << record(0x0A, 0x0000, abcd) + record(0x10, 0x0020, abcd) + dataRecord(0x0008, abcd) + kEof << 0x0Cu
            << QString() << 0x08 << abcd;
        QTest::newRow("lower-case digits")
            << "VR5K2610" << flash << dataRecord(0x0040, abcd).toLower() + kEof << 0x44u << QString() << 0x40
            << abcd;
        // As SDCC writes an .ihx: LF line ends, records of up to 16 bytes, the end record last.
        QTest::newRow("SDCC .ihx")
            << "VR5K2610" << flash
            << QByteArray(":03000000020006F5\n:03005F0002000399\n:0300030002006296\n:00000001FF\n") << 0x62u
            << QString() << 0x5F << QByteArray::fromHex("020003");
        QTest::newRow("blanks after records, text after the end record")
            << "VR5K2610" << flash << dataRecord(0, abcd).replace("\r\n", " \t\r\n") + kEof + "\x1A" << 4u
            << QString() << 0 << abcd;
        QTest::newRow("records after an end record, then another")
            << "VR5K2610" << flash << dataRecord(0, abcd) + kEof + dataRecord(0x20, abcd) + kEof << 0x24u
            << QString() << 0x20 << abcd;
        // 32 KiB in records of 255 bytes and a last line without its line end: lines cross every piece the
        // loader reads.
        QByteArray whole;
        for (int at = 0; at < 0x8000; at += 255)
            whole += dataRecord(at, bytesFrom(at, std::min(255, 0x8000 - at)));
        QTest::newRow("32 KiB, the end record without a line end")
            << "VR5K2610" << flash << whole + kEof.trimmed() << 0x8000u << QString() << 0x7F00
            << bytesFrom(0, 0x100);
        QTest::newRow("BootLoader ends at its area")
            << "VR5K2610" << bl << dataRecord(6656 - 4, abcd) + kEof << 6656u << QString() << 6652 << abcd;
        QTest::newRow("BootLoader one byte beyond")
            << "VR5K2610" << bl << dataRecord(6656 - 3, abcd) + kEof << 0u
            << QStringLiteral("芯片VR5K2610BootLoader最大为6656") << 0 << QByteArray();
        QTest::newRow("small BootLoader beyond")
            << "VR5K2710" << bl << dataRecord(0x3FE, abcd) + kEof << 0u
            << QStringLiteral("芯片VR5K2710BootLoader最大为1024") << 0 << QByteArray();
        QTest::newRow("record near 0xFFFF into a BootLoader")
            << "VR5K2610" << bl << dataRecord(0xFFF8, bytesFrom(0, 255)) + kEof << 0u
            << QStringLiteral("芯片VR5K2610BootLoader最大为6656") << 0 << QByteArray();
    }

    void hexLoad()
    {
        QFETCH(QString, chip);
        QFETCH(ImageTarget, target);
        QFETCH(QByteArray, hex);
        QFETCH(uint32_t, size);
        QFETCH(QString, warning);
        QFETCH(int, address);
        QFETCH(QByteArray, data);

        QVERIFY(selectCatalogueChip(chip));
        // Old contents of both images, to see the target refilled and the other image left alone.
        std::memset(g_ucBinBuf, 0x5A, BIN_BUF_SIZE);
        std::memset(g_ucNVRBinBuf, 0x5A, NVR_BIN_BUF_SIZE);
        g_nBinSize = g_nNVRBinSize = 77;

        const QString path = pathFor(QStringLiteral("image.hex"));
        QVERIFY(writeFile(path, hex));
        RecordedMessages msgs;
        QCOMPARE(readHexFile(path, target, msgs.sink()), 0);

        QCOMPARE(targetDataSize(target), size);
        uint8_t *image = targetBuffer(target);
        if (warning.isEmpty()) {
            QVERIFY(msgs.boxes.isEmpty());
            QVERIFY(msgs.logs.isEmpty());
        } else {
            QCOMPARE(msgs.boxes, QStringList{QStringLiteral("警告|") + warning});
            QCOMPARE(msgs.logs, QStringList{warning});
        }
        QVERIFY(std::memcmp(image + address, data.constData(), data.size()) == 0);
        // Every byte no record wrote is erased.
        QByteArray expected(targetCapacity(target), '\xFF');
        if (size > 0) {
            const QByteArray all = hex;
            for (const QByteArray &line : all.split('\n')) {
                if (line.size() > 8 && line.startsWith(':') && line.mid(7, 2) == "00") {
                    const int len = line.mid(1, 2).toInt(nullptr, 16);
                    const int at = line.mid(3, 4).toInt(nullptr, 16);
                    for (int i = 0; i < len; ++i)
                        expected[at + i] = static_cast<char>(image[at + i]);
                }
            }
        }
        QVERIFY(std::memcmp(image, expected.constData(), expected.size()) == 0);

        const bool otherIsBL = target == ImageTarget::Flash;
        QCOMPARE(otherIsBL ? g_nNVRBinSize : g_nBinSize, 77u);
        QVERIFY(allBytesAre(otherIsBL ? g_ucNVRBinBuf : g_ucBinBuf, otherIsBL ? NVR_BIN_BUF_SIZE : BIN_BUF_SIZE,
                            0x5A));
    }

    // A damaged or incomplete file is refused by name and line, and both images keep what they held.
    void hexRefused_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<int>("line");  // 0: the whole file
        QTest::addColumn<QString>("reason");
        const QByteArray abcd = QByteArray::fromHex("A1B2C3D4");
        const QByteArray good = dataRecord(0, abcd);
        QByteArray flipped = dataRecord(0x10, abcd);
        flipped[12] = 'E';
        QByteArray badSum = dataRecord(0x10, abcd);
        badSum[badSum.size() - 3] = '0';
        QByteArray crOnly = good + good + kEof;
        crOnly.replace("\r\n", "\r");
        QTest::newRow("checksum wrong") << good + badSum + kEof << 2 << QStringLiteral("校验和错误");
        QTest::newRow("a data digit flipped") << good + flipped + kEof << 2 << QStringLiteral("校验和错误");
        QTest::newRow("not a hexadecimal digit")
            << QByteArray(":04000000A1ZZC3D4FF\n") + kEof << 1 << QStringLiteral("非十六进制");
        QTest::newRow("signed address text")
            << QByteArray(":04-00100A1B2C3D4FF\n") + kEof << 1 << QStringLiteral("非十六进制");
        QTest::newRow("record cut short") << good.left(13) + "\n" + kEof << 1 << QStringLiteral("不完整");
        QTest::newRow("length larger than the data")
            << QByteArray(":05000000A1B2C3D4") + "\n" + kEof << 1 << QStringLiteral("不完整");
        QTest::newRow("odd number of digits") << good.left(19) + "0\r\n" + kEof << 1 << QStringLiteral("不完整");
        QTest::newRow("colon alone") << QByteArray(":\n") + kEof << 1 << QStringLiteral("不完整");
        QTest::newRow("a line longer than any record")
            << good + ":" + QByteArray(100000, '0') + "\r\n" + kEof << 2 << QStringLiteral("不完整");
        QTest::newRow("a long line, a stray digit at its end")
            << good + ":" + QByteArray(100000, '0') + "G\r\n" + kEof << 2 << QStringLiteral("非十六进制");
        QTest::newRow("other record type, checksum wrong")
            << QByteArray(":020000040000FB\n") + good + kEof << 1 << QStringLiteral("校验和错误");
        QTest::newRow("end record damaged") << good + ":00000001FE\n" << 2 << QStringLiteral("校验和错误");
        QTest::newRow("lone CR line ends") << crOnly << 1 << QStringLiteral("多条记录");
        QTest::newRow("no end record: still being written") << good + good << 0 << QStringLiteral("没有结束记录");
        QTest::newRow("cut after the last record's line end")
            << good + dataRecord(0x40, abcd) << 0 << QStringLiteral("没有结束记录");
        QTest::newRow("data after the end record") << good + kEof + good << 0 << QStringLiteral("没有结束记录");
        const QString utf16 = QString::fromLatin1(good + kEof);
        QTest::newRow("UTF-16") << QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2) << 1
                                << QStringLiteral("非十六进制");
    }

    void hexRefused()
    {
        QFETCH(QByteArray, hex);
        QFETCH(int, line);
        QFETCH(QString, reason);
        std::memset(g_ucBinBuf, 0x5A, BIN_BUF_SIZE);
        std::memset(g_ucNVRBinBuf, 0x5A, NVR_BIN_BUF_SIZE);
        g_nBinSize = g_nNVRBinSize = 77;
        const QString path = pathFor(QStringLiteral("固件.hex"));
        QVERIFY(writeFile(path, hex));
        for (const ImageTarget target : {ImageTarget::Flash, ImageTarget::BootLoader}) {
            RecordedMessages msgs;
            HexScan scan;
            QCOMPARE(readHexFile(path, target, msgs.sink(), &scan), -4);
            QCOMPARE(scan.problemLine, line);
            QCOMPARE(msgs.boxes.size(), 1);
            const QString box = msgs.boxes.first();
            QVERIFY2(box.contains(reason) && box.contains(QDir::toNativeSeparators(path)), qPrintable(box));
            QCOMPARE(box.contains(QStringLiteral("第 %1 行").arg(line)), line > 0);
            QCOMPARE(msgs.logs, QStringList{box.section(QLatin1Char('|'), 1)});
            QCOMPARE(g_nBinSize, 77u);
            QCOMPARE(g_nNVRBinSize, 77u);
            QVERIFY(allBytesAre(g_ucBinBuf, BIN_BUF_SIZE, 0x5A));
            QVERIFY(allBytesAre(g_ucNVRBinBuf, NVR_BIN_BUF_SIZE, 0x5A));
        }
    }

    void hexRecordNearTopOfImage_data()
    {
        QTest::addColumn<uint32_t>("flashKB");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<uint32_t>("size");
        QTest::newRow("64 KiB chip, last byte") << 64u << 0xFFFF << 1 << 0x10000u;
        QTest::newRow("64 KiB chip, past 0xFFFF") << 64u << 0xFFF8 << 255 << 0u;
        QTest::newRow("chip larger than the image") << 128u << 0xFFF0 << 32 << 0u;
    }

    void hexRecordNearTopOfImage()
    {
        QFETCH(uint32_t, flashKB);
        QFETCH(int, address);
        QFETCH(int, length);
        QFETCH(uint32_t, size);
        g_currentMcu = chipWithFlashKB(flashKB);
        const QString path = pathFor(QStringLiteral("top.hex"));
        QVERIFY(writeFile(path, dataRecord(address, QByteArray(length, '\x11')) + kEof));
        RecordedMessages msgs;
        QCOMPARE(readHexFile(path, ImageTarget::Flash, msgs.sink()), 0);
        QCOMPARE(g_nBinSize, size);
        QCOMPARE(msgs.boxes.size(), size ? 0 : 1);
        if (!size)
            QCOMPARE(msgs.logs, QStringList{QStringLiteral("芯片BIGflash最大为65536")});
    }

    void hexResults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::newRow("empty path") << QString() << -1;
        QTest::newRow("missing") << "missing.hex" << -2;
        QTest::newRow("directory") << "dir.hex" << -3;
    }

    void hexResults()
    {
        QFETCH(QString, name);
        QFETCH(int, result);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("dir.hex")));
        const QString path = name.isEmpty() ? QString() : pathFor(name);
        g_nBinSize = 5;
        QCOMPARE(readHexFile(path, ImageTarget::Flash, FileMessages()), result);
        QCOMPARE(readBinFile(path, ImageTarget::Flash, FileMessages()), result);
        QCOMPARE(g_nBinSize, 5u);
    }

    void reloadTargets()
    {
        g_bEnBL = false;  // the reload variants ignore the tab rule
        const QString path = pathFor(QStringLiteral("r.hex"));
        QVERIFY(writeFile(path, dataRecord(0, QByteArray::fromHex("0102")) + kEof));
        QCOMPARE(reloadBLHex(path, FileMessages()), 0);
        QCOMPARE(g_nNVRBinSize, 2u);
        QCOMPARE(g_ucNVRBinBuf[1], uint8_t(0x02));
        QCOMPARE(g_nBinSize, 0u);
        QCOMPARE(reloadBinHex(path, FileMessages()), 0);
        QCOMPARE(g_nBinSize, 2u);
        QCOMPARE(g_ucBinBuf[0], uint8_t(0x01));
    }

    void targetRule_data()
    {
        QTest::addColumn<bool>("blTab");
        QTest::addColumn<bool>("enBL");
        QTest::addColumn<ImageTarget>("target");
        QTest::newRow("BootLoader tab, enabled") << true << true << ImageTarget::BootLoader;
        QTest::newRow("BootLoader tab, disabled") << true << false << ImageTarget::Flash;
        QTest::newRow("other tab, enabled") << false << true << ImageTarget::Flash;
        QTest::newRow("other tab, disabled") << false << false << ImageTarget::Flash;
    }

    void targetRule()
    {
        QFETCH(bool, blTab);
        QFETCH(bool, enBL);
        QFETCH(ImageTarget, target);
        g_bEnBL = enBL;
        QCOMPARE(imageTargetFor(blTab), target);
    }

    void suffixes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<FileKind>("kind");
        QTest::newRow("hex") << "/a/b.hex" << FileKind::Hex;
        QTest::newRow("HEX") << "/a/b.HEX" << FileKind::Hex;
        QTest::newRow("BIN") << "b.BIN" << FileKind::Bin;
        QTest::newRow("MPRJ") << "x.y.MPRJ" << FileKind::Project;
        QTest::newRow("Mprj") << "x.Mprj" << FileKind::Project;
        QTest::newRow("other") << "x.txt" << FileKind::Other;
        QTest::newRow("none") << "hex" << FileKind::Other;
    }

    void suffixes()
    {
        QFETCH(QString, path);
        QFETCH(FileKind, kind);
        QCOMPARE(fileKindOf(path), kind);
    }

    void binLoad_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<ImageTarget>("target");
        QTest::addColumn<int>("length");
        QTest::addColumn<uint32_t>("size");
        QTest::addColumn<QString>("warning");
        QTest::newRow("exactly the flash size") << "VR5K2620" << ImageTarget::Flash << 16384 << 16384u << QString();
        QTest::newRow("one byte beyond the flash")
            << "VR5K2620" << ImageTarget::Flash << 16385 << 0u << QStringLiteral("芯片VR5K2620flash最大为16384");
        QTest::newRow("empty file") << "VR5K2620" << ImageTarget::Flash << 0 << 0u << QString();
        QTest::newRow("exactly the BootLoader") << "VR5K2710" << ImageTarget::BootLoader << 1024 << 1024u
                                                << QString();
        QTest::newRow("beyond the BootLoader")
            << "VR5K2710" << ImageTarget::BootLoader << 1025 << 0u << QStringLiteral("芯片VR5K2710BL 最大为1024");
        QTest::newRow("beyond both images") << "VR5K2610" << ImageTarget::BootLoader << 70000 << 0u
                                            << QStringLiteral("芯片VR5K2610BL 最大为6656");
    }

    void binLoad()
    {
        QFETCH(QString, chip);
        QFETCH(ImageTarget, target);
        QFETCH(int, length);
        QFETCH(uint32_t, size);
        QFETCH(QString, warning);
        QVERIFY(selectCatalogueChip(chip));
        std::memset(targetBuffer(target), 0x5A, targetCapacity(target));

        QByteArray data;
        for (int i = 0; i < length; ++i)
            data.append(static_cast<char>(i * 7 + 3));
        const QString path = pathFor(QStringLiteral("image.BIN"));
        QVERIFY(writeFile(path, data));
        RecordedMessages msgs;
        QCOMPARE(readBinFile(path, target, msgs.sink()), 0);
        QCOMPARE(targetDataSize(target), size);
        if (warning.isEmpty()) {
            QVERIFY(msgs.boxes.isEmpty());
            QVERIFY(std::memcmp(targetBuffer(target), data.constData(), data.size()) == 0);
            QVERIFY(allBytesAre(targetBuffer(target) + size, targetCapacity(target) - size, 0x5A));
        } else {
            QCOMPARE(msgs.boxes, QStringList{QStringLiteral("警告|") + warning});
            QCOMPARE(msgs.logs, QStringList{warning});
            QVERIFY(allBytesAre(targetBuffer(target), targetCapacity(target), 0x5A));
        }
    }

    void saveBinWritesTheEnabledImage_data()
    {
        QTest::addColumn<bool>("enBin");
        QTest::addColumn<bool>("enBL");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("flash") << true << false << 0 << QByteArray::fromHex("0102030405");
        QTest::newRow("BootLoader") << false << true << 0 << QByteArray::fromHex("F1F2F3");
        QTest::newRow("neither") << false << false << 0 << QByteArray();
        QTest::newRow("both refused") << true << true << -1 << QByteArray("previous");
    }

    void saveBinWritesTheEnabledImage()
    {
        QFETCH(bool, enBin);
        QFETCH(bool, enBL);
        QFETCH(int, result);
        QFETCH(QByteArray, content);
        std::memcpy(g_ucBinBuf, "\x01\x02\x03\x04\x05\x06", 6);
        std::memcpy(g_ucNVRBinBuf, "\xF1\xF2\xF3\xF4", 4);
        g_nBinSize = 5;
        g_nNVRBinSize = 3;
        g_bEnBin = enBin;
        g_bEnBL = enBL;
        const QString path = pathFor(QStringLiteral("out.bin"));
        QVERIFY(writeFile(path, "previous"));
        RecordedMessages msgs;
        QCOMPARE(saveBin(path, msgs.sink()), result);
        QCOMPARE(readFile(path), content);
        QCOMPARE(msgs.boxes.size(), result ? 1 : 0);
        if (result)
            QCOMPARE(msgs.boxes.first(), QStringLiteral("警告|不能同时保存bin/bl"));
    }

    void saveBinFailureKeepsNothingHalfWritten()
    {
        g_bEnBin = true;
        g_nBinSize = 4;
        QCOMPARE(saveBin(pathFor(QStringLiteral("no/such/dir/out.bin")), FileMessages()), -3);
        QCOMPARE(saveBin(QString(), FileMessages()), -1);
    }
};

QTEST_APPLESS_MAIN(TestImageFiles)
#include "tst_imagefiles.moc"
