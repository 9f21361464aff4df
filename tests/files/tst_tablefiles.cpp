#include "filetestutil.h"
#include "files/tablefiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

McuInfo chipWithEeprom(uint32_t eepromSize)
{
    McuInfo m = catalogue().first();
    m.strName = QStringLiteral("EECHIP");
    m.nEepromSize = eepromSize;
    return m;
}

QByteArray pattern(int length, int seed)
{
    QByteArray b;
    for (int i = 0; i < length; ++i)
        b.append(static_cast<char>(seed + i * 5));
    return b;
}

} // namespace

class TestTableFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2610")));
        std::memset(g_ucNVRBuf1, 0x5A, NVR_BUF_SIZE);
        std::memset(g_ucEEBuf, 0x5A, NVR_BUF_SIZE);
    }

    void readKeepsWhatTheFileDoesNotCover_data()
    {
        QTest::addColumn<bool>("eeprom");
        QTest::addColumn<uint32_t>("eepromSize");
        QTest::addColumn<int>("fileLength");
        QTest::addColumn<int>("replaced");
        QTest::newRow("100-byte nvr") << false << 0u << 100 << 100;
        QTest::newRow("whole-sector nvr") << false << 0u << 512 << 512;
        QTest::newRow("nvr longer than a sector") << false << 0u << 3000 << 512;
        QTest::newRow("eep with no EEPROM") << true << 0u << 300 << 0;
        QTest::newRow("eep shorter than the EEPROM") << true << 256u << 100 << 100;
        QTest::newRow("eep longer than the EEPROM") << true << 256u << 1000 << 256;
        QTest::newRow("EEPROM larger than the image") << true << 4096u << 4096 << 2048;
    }

    void readKeepsWhatTheFileDoesNotCover()
    {
        QFETCH(bool, eeprom);
        QFETCH(uint32_t, eepromSize);
        QFETCH(int, fileLength);
        QFETCH(int, replaced);
        g_currentMcu = chipWithEeprom(eepromSize);
        const QByteArray data = pattern(fileLength, 9);
        const QString path = m_dir.filePath(eeprom ? QStringLiteral("t.eep") : QStringLiteral("t.nvr"));
        QVERIFY(writeFile(path, data));
        g_bEnNVR1 = g_bEnEE = false;
        g_nEECheckSum = g_nNVRCheckSum1 = 0x1234;
        QCOMPARE(eeprom ? readEepFile(path) : readNvrFile(path), 0);
        const uint8_t *image = eeprom ? g_ucEEBuf : g_ucNVRBuf1;
        QVERIFY(std::memcmp(image, data.constData(), replaced) == 0);
        QVERIFY(allBytesAre(image + replaced, NVR_BUF_SIZE - replaced, 0x5A));
        QVERIFY(!g_bEnNVR1 && !g_bEnEE);
        QCOMPARE(g_nEECheckSum, uint16_t(0x1234));
        QCOMPARE(g_nNVRCheckSum1, uint16_t(0x1234));
    }

    void readResults()
    {
        QCOMPARE(readNvrFile(QString()), -1);
        QCOMPARE(readEepFile(m_dir.filePath(QStringLiteral("none.eep"))), -2);
        QCOMPARE(readNvrFile(m_dir.path()), -3);
        QVERIFY(allBytesAre(g_ucNVRBuf1, NVR_BUF_SIZE, 0x5A));
    }

    void saveWritesExactlyTheArea_data()
    {
        QTest::addColumn<bool>("eeprom");
        QTest::addColumn<uint32_t>("eepromSize");
        QTest::addColumn<int>("length");
        QTest::newRow("nvr") << false << 0u << 512;
        QTest::newRow("eep") << true << 256u << 256;
        QTest::newRow("eep with no EEPROM") << true << 0u << 0;
    }

    void saveWritesExactlyTheArea()
    {
        QFETCH(bool, eeprom);
        QFETCH(uint32_t, eepromSize);
        QFETCH(int, length);
        g_currentMcu = chipWithEeprom(eepromSize);
        uint8_t *image = eeprom ? g_ucEEBuf : g_ucNVRBuf1;
        const QByteArray data = pattern(NVR_BUF_SIZE, 3);
        std::memcpy(image, data.constData(), NVR_BUF_SIZE);
        const QString path = m_dir.filePath(QStringLiteral("out.tbl"));
        QVERIFY(writeFile(path, QByteArray(5000, 'x')));
        QCOMPARE(eeprom ? saveEepFile(path) : saveNvrFile(path), 0);
        QCOMPARE(readFile(path), data.left(length));
    }

    void saveFailures()
    {
        QCOMPARE(saveNvrFile(QString()), -1);
        QCOMPARE(saveEepFile(m_dir.filePath(QStringLiteral("no/dir/x.eep"))), -3);
    }
};

QTEST_APPLESS_MAIN(TestTableFiles)
#include "tst_tablefiles.moc"
