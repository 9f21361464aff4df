// tarnquill-cli in Chinese and in English: the texts for people follow the language, the JSON output and the
// exit status never do.

#include "clitestutil.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestCliLanguage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("app.hex")), hexText(patternBytes(512, 3))));
    }

    // Each command twice: the JSON and the exit status are the same bytes, stderr speaks the language.
    void sameJsonBothLanguages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("erase") << QStringList{"--emulate", "--json", "erase"} << "擦除成功." << "Erase succeeded.";
        QTest::newRow("blank") << QStringList{"--emulate", "--json", "blank"} << "读取成功." << "Read succeeded.";
        QTest::newRow("burn") << QStringList{"--emulate", "--json", "burn", "app.hex"} << "烧写成功"
                              << "Programming succeeded";
        QTest::newRow("download without areas")
            << QStringList{"--emulate", "--json", "--areas", "ee", "download", "missing.mprj"} << QString()
            << QString();
        QTest::newRow("single wire refused") << QStringList{"--emulate", "--single-wire", "--json", "factory"}
                                             << "单线模式暂不支持此功能"
                                             << "single-wire mode does not support this command yet";
        QTest::newRow("missing file") << QStringList{"--json", "info", "missing.hex"} << "missing.hex：文件不存在"
                                      << "missing.hex: no such file";
        QTest::newRow("usage error") << QStringList{"--json", "burn"} << "burn 需要 1 个参数，给了 0 个"
                                     << "burn takes 1 operand(s), 0 given";
    }

    void sameJsonBothLanguages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        const CliRun zh = runCli(QStringList{"--lang", "zh"} + arguments, m_dir.path());
        const CliRun en = runCli(QStringList{"--lang=en"} + arguments, m_dir.path());
        QVERIFY2(zh.exitCode >= 0 && en.exitCode >= 0, "tarnquill-cli did not finish");
        QCOMPARE(en.exitCode, zh.exitCode);
        QCOMPARE(en.out, zh.out);
        QVERIFY2(zh.err.contains(chinese), qPrintable(zh.err));
        QVERIFY2(en.err.contains(english), qPrintable(en.err));
        if (chinese != english)
            QVERIFY2(!en.err.contains(chinese), qPrintable(en.err));
    }

    // The command line's own texts, English in the source or Chinese, read in the running language: a Chinese
    // run holds no English sentence, an English run no Chinese character.
    void textsInBothLanguages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "用法: tarnquill-cli" << "usage: tarnquill-cli";
        QTest::newRow("help's exit statuses") << QStringList{"--help"} << 0 << "退出码：0 成功，1-38 操作的结果码"
                                              << "Exit status: 0 success, 1-38 the operation's result code";
        QTest::newRow("emulator status") << QStringList{"emulator", "state", "--insert"} << 0
                                         << "state：插座中有芯片 2610，Link 固件 1.1.0\n"
                                         << "state: chip 2610 in the socket, Link firmware 1.1.0\n";
        QTest::newRow("emulator pulled out") << QStringList{"emulator", "state", "--remove", "--unplug"} << 0
                                             << "state：插座中没有芯片（ID 2610），Link 固件 1.1.0，Link 已拔出\n"
                                             << "state: no chip in the socket (id 2610), Link firmware 1.1.0, Link pulled out\n";
        QTest::newRow("blank check") << QStringList{"--emulate", "blank"} << 0 << "rom：校验和 8000，空片\n"
                                     << "rom: checksum 8000, blank\n";
        QTest::newRow("info") << QStringList{"info", "app.hex"} << 0 << "芯片：VR5K2610\nrom：512 字节，校验和"
                              << "chip: VR5K2610\nrom: 512 bytes, checksum";
        QTest::newRow("info's settings") << QStringList{"info", "app.hex"} << 0 << "\n上传保护：否\n自动烧录：否\n"
                                         << "\nupload protection: no\nautomatic burning: no\n";
        QTest::newRow("unknown chip") << QStringList{"--chip", "NOPE", "chips"} << 64 << "未知的芯片 \"NOPE\""
                                      << "unknown chip \"NOPE\"";
        QTest::newRow("cannot write") << QStringList{"convert", "app.hex", "no/such/out.bin"} << 74
                                      << "no/such/out.bin：无法写入：文件夹不存在"
                                      << "no/such/out.bin: cannot write: no such folder";
        QTest::newRow("gang's Links") << QStringList{"--emulate=g1,g2", "--link", "all", "erase"} << 0
                                      << "参与的 Link（2 个）：emu1, emu2" << "Links taking part (2): emu1, emu2";
        QTest::newRow("links table") << QStringList{"--emulate", "links"} << 0 << "emu1\t\t正常\t1.1.0\n"
                                     << "emu1\t\tnormal\t1.1.0\n";
        QTest::newRow("bad option") << QStringList{"--nope", "chips"} << 64 << "tarnquill-cli：未知的选项 --nope"
                                    << "tarnquill-cli: unknown option --nope";
    }

    void textsInBothLanguages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        const CliRun zh = runCli(QStringList{"--lang", "zh"} + arguments, m_dir.path());
        const CliRun en = runCli(QStringList{"--lang", "en"} + arguments, m_dir.path());
        // Line ends as a POSIX terminal shows them; a Windows console writes CR LF.
        const QString zhText = QString(QString::fromUtf8(zh.out) + zh.err).remove(QLatin1Char('\r'));
        const QString enText = QString(QString::fromUtf8(en.out) + en.err).remove(QLatin1Char('\r'));
        QCOMPARE(zh.exitCode, status);
        QCOMPARE(en.exitCode, status);
        QVERIFY2(zhText.contains(chinese), qPrintable(zhText));
        QVERIFY2(enText.contains(english), qPrintable(enText));
        // Three English words in a row are a sentence left untranslated.
        const QRegularExpression sentence(QStringLiteral("\\b[a-z]{2,} [a-z]{2,} [a-z]{2,}\\b"));
        QVERIFY2(!zhText.contains(sentence), qPrintable(sentence.match(zhText).captured()));
        QVERIFY2(!enText.contains(QRegularExpression(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"))),
                 qPrintable(enText));
    }

    // compare-link's differences: the JSON's list keeps the same words, the lines for people follow the language.
    void compareLinkDifferences()
    {
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("other.hex")), hexText(patternBytes(512, 4))));
        for (const QString &name : {QStringLiteral("app"), QStringLiteral("other")})
            QCOMPARE(runCli({"convert", name + ".hex", name + ".mprj"}, m_dir.path()).exitCode, 0);
        QCOMPARE(runCli({"--emulate=stored", "download", "app.mprj"}, m_dir.path()).exitCode, 0);
        const QStringList compare{"--emulate=stored", "compare-link", "other.mprj"};
        const CliRun zh = runCli(QStringList{"--lang", "zh"} + compare, m_dir.path());
        const CliRun en = runCli(QStringList{"--lang", "en"} + compare, m_dir.path());
        QCOMPARE(zh.exitCode, 1);
        QCOMPARE(en.exitCode, 1);
        QVERIFY2(zh.out.startsWith("rom：第一处不同在 0x0000，校验和 文件 "), zh.out.constData());
        QVERIFY2(en.out.startsWith("rom: first difference at 0x0000, checksum file "), en.out.constData());
        const CliRun zhJson = runCli(QStringList{"--lang", "zh", "--json"} + compare, m_dir.path());
        const CliRun enJson = runCli(QStringList{"--lang", "en", "--json"} + compare, m_dir.path());
        QCOMPARE(zhJson.out, enJson.out);
        QVERIFY2(zhJson.out.contains("\"differences\":[\"rom: first difference at 0x0000"), zhJson.out.constData());
    }

    void unknownLanguageIsAUsageError()
    {
        const CliRun run = runCli({"--lang", "fr", "chips"}, m_dir.path());
        QCOMPARE(run.exitCode, 64);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(QStringLiteral("\"fr\"")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliLanguage)
#include "tst_clilanguage.moc"
