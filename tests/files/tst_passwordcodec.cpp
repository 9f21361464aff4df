#include "files/passwordcodec.h"
#include "production/productionsettings.h"

#include "support/debugcapture.h"

#include <QLoggingCategory>
#include <QtTest>

#include <cstdlib>
#include <memory>

Q_DECLARE_METATYPE(PasswordEntry)

namespace {

// Random values whose top bytes are `first` and `second`, then a fixed sequence.
RandomSource scripted(uint8_t first, uint8_t second)
{
    auto n = std::make_shared<int>(0);
    return [n, first, second]() -> uint32_t {
        const int i = (*n)++;
        if (i == 0)
            return uint32_t(first) << 24;
        if (i == 1)
            return uint32_t(second) << 24;
        return uint32_t((i * 97 + 13) & 0xFF) << 24 | 0x00ABCDEFu;
    };
}

} // namespace

class TestPasswordCodec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    // Every pair of nibble distances and rotations is reached by some B[0] and B[1].
    void encodeThenDecode_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("8 letters") << "abcdefgh";
        QTest::newRow("16 characters") << "A1b2C3d4E5f6G7h8";
        QTest::newRow("symbols") << "!\"#$%&'()*+,-./:;<=>?@[]^_`{|}~";
        QTest::newRow("control and DEL") << QString::fromLatin1("\x01\x7f\x1b\x09 ~~~~", 9);
        QTest::newRow("NUL inside") << QString::fromLatin1("abc\0defgh", 9);
    }

    void encodeThenDecode()
    {
        QFETCH(QString, password);
        const QString accepted = password.left(PASSWORD_MAX_LENGTH);
        const uint8_t length = static_cast<uint8_t>(accepted.size());
        for (int b0 = 0; b0 < 256; ++b0) {
            for (int b1 : {0x00, 0x01, 0x13, 0x27, 0x3A, 0x4F, 0x70, 0xF8, 0x0E}) {
                const PasswordBlock block = encodePassword(accepted, length, scripted(b0, b1));
                QCOMPARE(int(block[0]), b0);
                QCOMPARE(block[63], passwordBlockSum(block));
                QString text;
                uint8_t decoded = 0;
                QVERIFY(decodePassword(block, &text, &decoded));
                if (text != accepted || decoded != length)
                    QFAIL(qPrintable(QStringLiteral("B[0]=%1 B[1]=%2").arg(b0).arg(b1)));
            }
        }
    }

    // The scrambled bytes, worked out from the block layout for a few parameter choices.
    void blockFollowsTheLayout_data()
    {
        QTest::addColumn<int>("b0");
        QTest::addColumn<int>("b1");
        QTest::newRow("d0 even, r 3") << 0x31 << 0x52;
        QTest::newRow("d0 odd, r 0") << 0x70 << 0x88;
        QTest::newRow("d0 15, r 7") << 0xF0 << 0x07;
    }

    void blockFollowsTheLayout()
    {
        QFETCH(int, b0);
        QFETCH(int, b1);
        const QByteArray pw("Key#2024");
        const PasswordBlock b = encodePassword(QString::fromLatin1(pw), 8, scripted(b0, b1));
        const int d0 = std::abs((b0 & 15) - (b0 >> 4));
        const int r = std::abs((b1 & 15) - (b1 >> 4)) % 8;
        // Rotate right by doubling the byte into 16 bits.
        auto ror = [](int v, int n) { return ((v | (v << 8)) >> n) & 0xFF; };
        QCOMPARE(int(b[32]), (~ror(8, r) & 0xFF) ^ b[d0]);
        for (int i = 0; i < 8; ++i) {
            const int e = (~ror(static_cast<uint8_t>(pw[i]), r) & 0xFF) ^ b[d0 + 1 + i];
            QCOMPARE(int(b[33 + i]), d0 % 2 ? e : ror(e, 1));
        }
        int sum = 0;
        for (int i = 0; i < 63; ++i)
            sum += b[i];
        QCOMPARE(int(b[63]), sum & 0xFF);
    }

    void processRandomBlocksDiffer()
    {
        const PasswordBlock a = encodePassword(QStringLiteral("password"), 8);
        const PasswordBlock b = encodePassword(QStringLiteral("password"), 8);
        QVERIFY(a != b);
        QCOMPARE(a[63], passwordBlockSum(a));
        QCOMPARE(b[63], passwordBlockSum(b));
        QString text;
        uint8_t length = 0;
        QVERIFY(decodePassword(b, &text, &length));
        QCOMPARE(text, QStringLiteral("password"));
    }

    void lengthIsCappedAtSixteen()
    {
        const PasswordBlock block = encodePassword(QStringLiteral("0123456789abcdefXYZ"), 19, scripted(0x5A, 0x33));
        QString text;
        uint8_t length = 0;
        QVERIFY(decodePassword(block, &text, &length));
        QCOMPARE(int(length), 16);
        QCOMPARE(text, QStringLiteral("0123456789abcdef"));
    }

    void decodedLengthSeventeenFails()
    {
        PasswordBlock block{};
        block[32] = static_cast<uint8_t>(~17);  // B[0] = B[1] = 0: key B[0], no rotation
        QString text = QStringLiteral("untouched");
        uint8_t length = 3;
        bool ok = true;
        {
            QLoggingCategory::setFilterRules(QStringLiteral("default.debug=true"));
            DebugCapture debug;
            ok = decodePassword(block, &text, &length);
            QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        }
        QVERIFY(!ok);
        QVERIFY(DebugCapture::lines().contains(QStringLiteral("password decode error.")));
        QCOMPARE(text, QStringLiteral("untouched"));
        QCOMPARE(int(length), 3);

        block[32] = static_cast<uint8_t>(~16);
        QVERIFY(decodePassword(block, &text, &length));
        QCOMPARE(int(length), 16);
    }

    void entryRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PasswordEntry>("result");
        QTest::addColumn<QString>("message");
        const QString ascii = QStringLiteral("请输入a-z,A-Z,0-9,!\"#$%&'()*+,-./:;<=>?@[]^_`{|}~范围内字符！");
        QTest::newRow("8 characters") << "abcd1234" << PasswordEntry::Accepted << QString();
        QTest::newRow("16 characters") << "abcd1234ABCD!@#$" << PasswordEntry::Accepted << QString();
        QTest::newRow("7 characters") << "abcd123" << PasswordEntry::TooShort << QStringLiteral("密码最少8个字符！");
        QTest::newRow("empty") << "" << PasswordEntry::NotAscii << ascii;
        QTest::newRow("non-ASCII") << "abcd1234é" << PasswordEntry::NotAscii << ascii;
        QTest::newRow("Chinese") << "密码密码密码密码" << PasswordEntry::NotAscii << ascii;
        QTest::newRow("short and non-ASCII") << "é" << PasswordEntry::NotAscii << ascii;
        QTest::newRow("17 characters") << "abcd1234abcd1234x" << PasswordEntry::TooLong
                                       << QStringLiteral("密码最多16个字符！");
    }

    void entryRules()
    {
        QFETCH(QString, text);
        QFETCH(PasswordEntry, result);
        QFETCH(QString, message);
        QCOMPARE(checkPasswordEntry(text), result);
        QCOMPARE(passwordEntryMessage(result), message);
        QCOMPARE(passwordBoxTitle(), QStringLiteral("提示"));
    }

    void commit_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("length");
        QTest::newRow("plain") << true << "abcdefgh" << "abcdefgh" << 8;
        QTest::newRow("cut at NUL") << true << QString::fromLatin1("abcd\0efgh", 9) << "abcd" << 9;
        QTest::newRow("disabled still stored") << false << "zzzzzzzz" << "zzzzzzzz" << 8;
    }

    void commit()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, field);
        QFETCH(QString, stored);
        QFETCH(int, length);
        g_bEnEncryption = !enabled;
        commitPassword(enabled, field);
        QCOMPARE(g_bEnEncryption, enabled);
        QCOMPARE(g_strPsw, stored);
        QCOMPARE(int(g_ucPswLen), length);
    }
};

QTEST_APPLESS_MAIN(TestPasswordCodec)
#include "tst_passwordcodec.moc"
