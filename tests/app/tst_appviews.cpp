// The window's plain logic: view text, cell parsing, hot-plug names, result texts, summary, chip names,
// the remembered directory.

#include "boxes/boxes.h"
#include "files/chipname.h"
#include "app/debugstream.h"
#include "app/hexview.h"
#include "app/systemreason.h"
#include "app/linknames.h"
#include "app/openpath.h"
#include "app/savetarget.h"
#include "engine/resultcodes.h"
#include "app/startup.h"
#include "app/summary.h"

#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <QtTest>

class TestAppViews : public QObject
{
    Q_OBJECT

private slots:
    void romTextTwoLines()
    {
        uint8_t data[32];
        for (int i = 0; i < 32; ++i)
            data[i] = static_cast<uint8_t>(i);
        QCOMPARE(romViewText(data, 32),
                 QStringLiteral("00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F\n"
                                "10 11 12 13 14 15 16 17  18 19 1A 1B 1C 1D 1E 1F\n"));
    }

    void romTextUpperCaseAndPartialLine()
    {
        const uint8_t data[3] = {0xAB, 0xcd, 0xFF};
        QCOMPARE(romViewText(data, 3), QStringLiteral("AB CD FF\n"));
    }

    void gutter_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("first line") << 0 << 0 << QStringLiteral("0000  ");
        QTest::newRow("second line") << 0 << 1 << QStringLiteral("0010  ");
        QTest::newRow("scrolled") << 16 << 2 << QStringLiteral("0120  ");
        QTest::newRow("last of 64 KiB") << 4095 << 0 << QStringLiteral("FFF0  ");
    }
    void gutter()
    {
        QFETCH(int, first);
        QFETCH(int, line);
        QFETCH(QString, text);
        QCOMPARE(gutterText(first, line), text);
    }

    void gutterWidth_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("width");
        QTest::newRow("empty") << 0 << 30 + 7;
        QTest::newRow("9 lines") << 9 << 30 + 7;
        QTest::newRow("10 lines") << 10 << 30 + 14;
        QTest::newRow("4096 lines") << 4096 << 30 + 28;
    }
    void gutterWidth()
    {
        QFETCH(int, blocks);
        QFETCH(int, width);
        QCOMPARE(::gutterWidth(blocks, 7), width);
    }

    void parseCell_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<uint>("value");
        QTest::newRow("ff") << "ff" << false << true << 0xFFu;
        QTest::newRow("A5") << "A5" << false << true << 0xA5u;
        QTest::newRow("100 in a byte") << "100" << false << false << 0u;
        QTest::newRow("not hex") << "xz" << false << false << 0u;
        QTest::newRow("empty") << "" << false << false << 0u;
        QTest::newRow("ffff in a word") << "ffff" << true << true << 0xFFFFu;
        QTest::newRow("10000 in a word") << "10000" << true << false << 0u;
    }
    void parseCell()
    {
        QFETCH(QString, text);
        QFETCH(bool, wide);
        QFETCH(bool, ok);
        QFETCH(uint, value);
        uint32_t got = 0;
        QCOMPARE(::parseCell(text, wide, &got), ok);
        if (ok)
            QCOMPARE(got, value);
    }

    void fillValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("A5") << "A5" << 0xA5;
        QTest::newRow("1FF clamps") << "1FF" << 0xFF;
        QTest::newRow("not hex") << "zz" << 0;
        QTest::newRow("00") << "00" << 0;
    }
    void fillValue()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(int(fillValueFromText(text)), value);
    }

    void arrival_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("normal") << "USB#VID_1122&PID_3344#KVO_LINK0000" << int(LinkArrival::Normal);
        QTest::newRow("iap") << "USB#VID_1122&PID_3344#KVO_LINK_IAP" << int(LinkArrival::Iap);
        QTest::newRow("lower case") << "usb#vid_1122&pid_3344#kvo_link0000" << int(LinkArrival::Normal);
        QTest::newRow("both: iap wins")
            << "USB#VID_1122&PID_3344#KVO_LINK0000 USB#VID_1122&PID_3344#KVO_LINK_IAP" << int(LinkArrival::Iap);
        QTest::newRow("inside a longer name")
            << "\\\\?\\USB#VID_1122&PID_3344#KVO_LINK0000#{a5dcbf10}" << int(LinkArrival::Normal);
        QTest::newRow("other device") << "USB#VID_1122&PID_3345#KVO_LINK0000" << int(LinkArrival::None);
    }
    void arrival()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QCOMPARE(int(classifyArrival(name)), kind);
    }

    void removal()
    {
        const LinkRemoval normal = classifyRemoval(QStringLiteral("usb#vid_1122&pid_3344#kvo_link0000"));
        QVERIFY(normal.normal);
        QVERIFY(!normal.iap);
        const LinkRemoval iap = classifyRemoval(QStringLiteral("USB#VID_1122&PID_3344#KVO_LINK_IAP"));
        QVERIFY(!iap.normal);
        QVERIFY(iap.iap);
    }

    void interfaceName()
    {
        QCOMPARE(linkInterfaceName(0x1122, 0x3344, QStringLiteral("KVO_LINK0000")),
                 QStringLiteral("USB#VID_1122&PID_3344#KVO_LINK0000"));
    }

    void resultTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("4") << 4 << QString();
        QTest::newRow("1") << 1 << QStringLiteral("下载失败");
        QTest::newRow("34") << 34 << QStringLiteral("下载失败");
        QTest::newRow("2") << 2 << QStringLiteral("上传失败");
        QTest::newRow("33") << 33 << QStringLiteral("上传失败");
        QTest::newRow("3") << 3 << QStringLiteral("芯片连接失败");
        QTest::newRow("27") << 27 << QStringLiteral("芯片连接失败");
        QTest::newRow("35") << 35 << QStringLiteral("清空存储失败");
        QTest::newRow("36") << 36 << QStringLiteral("打开USB失败");
        QTest::newRow("37") << 37 << QStringLiteral("usb被其他app占用了");
        QTest::newRow("38") << 38 << QStringLiteral("未知错误");
        QTest::newRow("-1") << -1 << QStringLiteral("未知错误");
    }
    void resultTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(resultCodeText(code), text);
    }

    void linkErrorLog_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << QStringLiteral("芯片连接失败");
        QTest::newRow("3") << 3 << QStringLiteral("下载BootLoader失败");
        QTest::newRow("6") << 6 << QStringLiteral("下载NVR失败");
        QTest::newRow("10") << 10 << QStringLiteral("烧录次数达到最大值");
        QTest::newRow("0") << 0 << QStringLiteral("未知错误");
        QTest::newRow("11") << 11 << QStringLiteral("未知错误");
    }
    void linkErrorLog()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(linkErrorLogText(code), text);
    }

    void summary()
    {
        SummaryFlags f;
        QCOMPARE(settingsSummaryText(f), QStringLiteral("烧录项: "));
        f.rom = f.bootLoader = f.rollCode = true;
        QCOMPARE(settingsSummaryText(f), QStringLiteral("烧录项: ROM-BL-序列号"));
        SummaryFlags all;
        all.rom = all.bootLoader = all.eeprom = all.nvr1 = all.userCfg = all.nvr3 = true;
        all.nvr3Page = 15;
        all.rollCode = all.encryption = all.limit = all.autoBurner = all.uartMode = true;
        all.uploadProtect = all.autoWrite = true;
        QCOMPARE(settingsSummaryText(all),
                 QStringLiteral("烧录项: ROM-BL-EE-NVR1-用户配置-NVR15-序列号-加密-烧录次数-机台烧录-单线烧录-上传保护-自动烧录"));
    }

    void chipNames()
    {
        McuList list;
        list.load();
        const QVector<McuInfo> &catalogue = list.list();
        QString chips[2] = {QStringLiteral("VR5K2610"), QStringLiteral("NOPE")};
        QString names[2] = {QStringLiteral("MY2610"), QStringLiteral("X")};
        QCOMPARE(chipNameForId(0x00AB, catalogue, 0, chips, names), QStringLiteral("ICID：00AB"));
        QCOMPARE(chipNameForId(0x2610, catalogue, 0, chips, names), QStringLiteral("VR5K2610"));
        QCOMPARE(chipNameForId(0x2610, catalogue, 2, chips, names), QStringLiteral("MY2610"));
        // In the catalogue but not listed by a non-empty cfg.db: the fallback text.
        QCOMPARE(chipNameForId(0x2611, catalogue, 2, chips, names), QStringLiteral("ICID：2611"));
    }

    void openPath_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty first line") << QByteArray("\n/home/x\n") << QStringLiteral("FALLBACK");
        QTest::newRow("directory") << QByteArray("/home/user/fw") << QStringLiteral("/home/user/fw");
        QTest::newRow("up to NUL") << QByteArray("/a/b\0junk", 9) << QStringLiteral("/a/b");
        QTest::newRow("NUL first") << QByteArray("\0/a", 3) << QStringLiteral("FALLBACK");
    }
    void openPath()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile f(dir.path() + QStringLiteral("/openpath.pth"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QCOMPARE(readOpenPath(dir.path(), QStringLiteral("FALLBACK")), expected);
    }

    void openPathRoundTrip()
    {
        QTemporaryDir dir;
        QCOMPARE(readOpenPath(dir.path(), QStringLiteral("FALLBACK")), QStringLiteral("FALLBACK"));
        writeOpenPath(dir.path(), QStringLiteral("/tmp/固件"));
        QCOMPARE(readOpenPath(dir.path(), QStringLiteral("FALLBACK")), QStringLiteral("/tmp/固件"));
    }

    void saveTarget_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("project");
        QTest::newRow("bare name, project filter") << "/d/proj1" << "mprj(*.mprj)" << "/d/proj1.mprj" << true;
        QTest::newRow("bare name, bin filter") << "/d/a" << "bin(*.bin)" << "/d/a.bin" << false;
        QTest::newRow("typed .mprj wins") << "/d/trap.mprj" << "bin(*.bin)" << "/d/trap.mprj" << true;
        QTest::newRow("typed .Bin wins") << "/d/x.Bin" << "mprj(*.mprj)" << "/d/x.Bin" << false;
        QTest::newRow("other suffix keeps the filter's") << "/d/v1.2" << "mprj(*.mprj)" << "/d/v1.2.mprj" << true;
    }
    void saveTarget()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, filter);
        const SaveTarget t = saveTargetFor(chosen, filter);
        QTEST(t.path, "path");
        QTEST(t.format == SaveFormat::Project, "project");
    }

    void linkOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("emulate");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("trace");
        QTest::newRow("none") << QStringList{"tarnquill"} << false << QString() << QString();
        QTest::newRow("bare") << QStringList{"tarnquill", "--emulate"} << true << QString() << QString();
        QTest::newRow("folder") << QStringList{"tarnquill", "--emulate=/tmp/e"} << true << "/tmp/e" << QString();
        QTest::newRow("trace") << QStringList{"tarnquill", "--trace", "/tmp/t.txt"} << false << QString() << "/tmp/t.txt";
        QTest::newRow("trace=") << QStringList{"tarnquill", "--trace=/tmp/t.txt", "--emulate"} << true << QString()
                                << "/tmp/t.txt";
        QTest::newRow("trace without file") << QStringList{"tarnquill", "--trace"} << false << QString() << QString();
        QTest::newRow("Qt's own") << QStringList{"tarnquill", "-style", "fusion"} << false << QString() << QString();
    }
    void linkOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, emulate);
        QFETCH(QString, dir);
        QFETCH(QString, trace);
        const LinkOptions got = ::linkOptions(args);
        QCOMPARE(got.emulate, emulate);
        QCOMPARE(got.emulateDir, dir);
        QCOMPARE(got.traceFile, trace);
    }

    void recorderAnswersInOrder()
    {
        boxes::Recorder rec;
        boxes::Answer no;
        no.button = QMessageBox::No;
        rec.answers.enqueue(no);
        rec.fallback.button = QMessageBox::Yes;
        QVERIFY(!boxes::ask(nullptr, QStringLiteral("警告"), QStringLiteral("q1")));
        QVERIFY(boxes::ask(nullptr, QStringLiteral("警告"), QStringLiteral("q2")));
        QCOMPARE(rec.calls.size(), 2);
        QCOMPARE(rec.calls[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(rec.calls[1].text, QStringLiteral("q2"));
    }

    // The system's words for common file failures, in the user's language; anything else as it came.
    void systemReasons_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("shown");
        QTest::newRow("EPERM") << QString::fromLocal8Bit(std::strerror(EPERM)) << "不允许此操作";
        QTest::newRow("ENOSPC") << QString::fromLocal8Bit(std::strerror(ENOSPC)) << "磁盘已满";
        QTest::newRow("EACCES") << QString::fromLocal8Bit(std::strerror(EACCES)) << "没有权限";
        QTest::newRow("ours") << "数据未能写入磁盘（同步失败）" << "数据未能写入磁盘（同步失败）";
        QTest::newRow("quoted in ours") << QStringLiteral("12 字节未能全部写入文件（%1）").arg(QString::fromLocal8Bit(std::strerror(ENOSPC)))
                                        << "12 字节未能全部写入文件（磁盘已满）";
        QTest::newRow("unknown") << "Something else" << "Something else";
    }
    void systemReasons()
    {
        QFETCH(QString, system);
        QFETCH(QString, shown);
        QCOMPARE(systemReasonText(system), shown);
    }

    // The Link's state in words: each state its own text, an emulated Link never passing for a real one.
    void linkStateTexts()
    {
        QStringList texts;
        for (bool emulated : {false, true})
            for (LinkState s : {LinkState::None, LinkState::Connected, LinkState::Busy, LinkState::Searching})
                texts << linkStateText(s, emulated);
        QCOMPARE(texts.at(0), QStringLiteral("没有Link：请插上Link"));
        QCOMPARE(texts.at(1), QStringLiteral("Link已连接"));
        QCOMPARE(texts.at(2), QStringLiteral("Link忙：正被其他程序使用"));
        QCOMPARE(texts.at(5), QStringLiteral("Link: 模拟器"));
        QVERIFY(texts.at(4) != texts.at(0));
        QVERIFY(!linkStateHint(LinkState::None, false).isEmpty());
        QVERIFY(!linkStateHint(LinkState::Busy, false).isEmpty());
    }

    // The debug stream of a wait loop: a repeating group is written once and then counted.
    void repeatFilter_data()
    {
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QStringList>("out");
        const QString open = QStringLiteral("MI1 open ok");
        const QString fail = QStringLiteral("InitProgrammer failed!");
        QStringList wait;
        for (int i = 0; i < 1000; ++i)
            wait << open << fail;
        QTest::newRow("distinct lines pass") << QStringList{"a", "b", "c"} << QStringList{"a", "b", "c"};
        QTest::newRow("one line, many times") << QStringList{"x", "x", "x", "x", "y"}
                                              << QStringList{"x", "... the last 1 line(s) repeated 3 more time(s)", "y"};
        QTest::newRow("a wait loop's pair")
            << (QStringList{"start"} + wait + QStringList{"burn"})
            << QStringList{"start", open, fail, "... the last 2 line(s) repeated 999 more time(s)", "burn"};
        QTest::newRow("a group cut short keeps its lines")
            << QStringList{"a", "b", "a", "b", "a", "c"}
            << QStringList{"a", "b", "... the last 2 line(s) repeated 1 more time(s)", "a", "c"};
        QTest::newRow("pending run written at flush") << QStringList{"z", "z"}
                                                      << QStringList{"z", "... the last 1 line(s) repeated 1 more time(s)"};
    }
    void repeatFilter()
    {
        QFETCH(QStringList, in);
        QFETCH(QStringList, out);
        QStringList written;
        RepeatFilter filter([&written](const QString &line) { written << line; });
        for (const QString &line : in)
            filter.add(line);
        filter.flush();
        QCOMPARE(written, out);
    }
};

QTEST_APPLESS_MAIN(TestAppViews)
#include "tst_appviews.moc"
