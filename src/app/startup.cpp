#include "startup.h"

#include "appdir/appdir.h"
#include "appdir/arguments.h"
#include "debugstream.h"
#include "boxes/boxes.h"
#include "emulatorhotplug.h"
#include "hotplugsource.h"
#include "mcu_writer.h"
#include "emulator/linkemulator.h"
#include "files/cfgdb.h"
#include "lang/language.h"
#include "lang/languagefile.h"
#include "records/ledgerurl.h"
#include "session/linksession.h"
#include "ledgerhost.h"
#include "stationhost.h"

#include <QCoreApplication>
#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

LinkOptions linkOptions(const QStringList &arguments)
{
    LinkOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--emulate")) {
            options.emulate = true;
        } else if (arg.startsWith(QLatin1String("--emulate="))) {
            options.emulate = true;
            options.emulateDir = arg.mid(int(qstrlen("--emulate=")));
        } else if (arg == QLatin1String("--trace") && i + 1 < arguments.size()) {
            options.traceFile = arguments[++i];
        } else if (arg.startsWith(QLatin1String("--trace="))) {
            options.traceFile = arg.mid(int(qstrlen("--trace=")));
        } else if (arg == QLatin1String("--station-view")) {
            options.stationView = true;
        } else if (arg == QLatin1String("--station") && i + 1 < arguments.size()) {
            options.stationName = arguments[++i];
            options.stationNamed = true;
        } else if (arg.startsWith(QLatin1String("--station="))) {
            options.stationName = arg.mid(int(qstrlen("--station=")));
            options.stationNamed = true;
        } else if (arg == QLatin1String("--ledger") && i + 1 < arguments.size()) {
            options.ledgerUrl = arguments[++i];
        } else if (arg.startsWith(QLatin1String("--ledger="))) {
            options.ledgerUrl = arg.mid(int(qstrlen("--ledger=")));
        } else if (arg == QLatin1String("--operator") && i + 1 < arguments.size()) {
            options.operatorName = arguments[++i];
        } else if (arg.startsWith(QLatin1String("--operator="))) {
            options.operatorName = arg.mid(int(qstrlen("--operator=")));
        }
    }
    return options;
}

QString windowUsage()
{
    return QCoreApplication::translate(
        "startup",
        "用法: tarnquill [--lang zh|en] [--emulate[=文件夹]] [--trace 文件] [--station-view] [--station 名称] [--line-view]\n"
        "                [--ledger URL] [--operator 名称]\n"
        "  --lang zh|en        界面语言(默认: 菜单中选择的语言, 否则系统语言)\n"
        "  --emulate[=文件夹]  不用真实的Link, 使用内置的Link模拟器; 给出文件夹时其状态保存在该文件夹中\n"
        "                      (工位视图可用 --emulate=文件夹1,文件夹2,... 模拟多个Link)\n"
        "  --trace 文件        把与Link往来的每个报文追加到该文件中\n"
        "  --station-view      启动时打开工位视图: 每个连接的Link一个面板\n"
        "  --station 名称      工位名称(默认: 计算机名)\n"
        "  --line-view         启动时打开产线视图: 账本中各工位今天的数量和良率, 各序列号空间的余量\n"
        "  --ledger URL        烧录、工位视图与产线视图的账本(sqlite:文件 或 postgresql://...;\n"
        "                      默认: 环境变量 TQ_LEDGER, 否则\"账本设置\"中保存的账本)\n"
        "  --operator 名称     操作员名称, 写入账本的每条记录\n"
        "  -h, --help          显示本帮助\n"
        "命令行烧录与多Link(量产)请使用 tarnquill-cli。\n");
}

QString linkOptionsError(const LinkOptions &options)
{
    // The command line's several-Link form: one window drives one Link, so the list would be taken as a
    // folder named "A,B" and every burn reported into it.
    if (options.stationNamed && options.stationName.trimmed().isEmpty())
        return QCoreApplication::translate("startup", "--station 需要一个名称");
    if (!options.ledgerUrl.isEmpty()) {
        LedgerLocation location;
        QString error;
        if (!parseLedgerUrl(options.ledgerUrl, &location, &error))
            return QStringLiteral("--ledger: ") + error;
    }
    if (options.emulate && options.emulateDir.contains(QLatin1Char(',')) && !options.stationView)
        return QCoreApplication::translate("startup",
                                           "--emulate=%1: 窗口只能使用一个Link; 多个Link请使用工位视图(--station-view)或 tarnquill-cli 的 --emulate=DIR1,DIR2")
            .arg(options.emulateDir);
    return QString();
}

int runTarnquill(QApplication &app, const QStringList &arguments, const QByteArray &undecodable)
{
    const LanguageOption language = takeLanguageOption(arguments);
    installLanguage(chooseLanguage(language.language, readStoredLanguage(appDir())));
    // Taken again for the error's text, now in the language the window runs in.
    if (!language.error.isEmpty())
        std::fprintf(stderr, "tarnquill: %s\n", qPrintable(takeLanguageOption(arguments).error));
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        std::fputs(windowUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }

    if (!undecodable.isEmpty()) {
        std::fprintf(stderr, "tarnquill: %s\n", undecodableArgumentText(undecodable).toLocal8Bit().constData());
        return 2;
    }
    const LinkOptions options = linkOptions(arguments);
    if (const QString error = linkOptionsError(options); !error.isEmpty()) {
        std::fprintf(stderr, "tarnquill: %s\n", qPrintable(error));
        return 2;
    }
    installRepeatFilteringMessageHandler();
    LinkSession link;  // outlives the window, whose worker talks through it
    QString error;
    // With the station, the emulated Links are the station's: the window's own emulated Link keeps its state
    // in memory, so it never takes the device lock of a Link a panel burns.
    const QString windowEmulatorDir = options.stationView ? QString() : options.emulateDir;
    if ((options.emulate && !link.useEmulator(windowEmulatorDir, LinkEmulator::kDefaultChipId, &error))
        || (!options.traceFile.isEmpty() && !link.traceInto(options.traceFile, &error))) {
        std::fprintf(stderr, "tarnquill: %s\n", qPrintable(error));
        return 1;
    }
    link.install();

    mcu_writer window;
    FileMessages msgs;
    msgs.box = [&window](const QString &title, const QString &text) { boxes::inform(&window, title, text); };
    if (readCfgFile(appDir(), msgs) == -1 || !window.isConstructed()) {
        boxes::inform(&window, QCoreApplication::translate("mcu_writer", "错误"),
                      QCoreApplication::translate("mcu_writer", "配置文件读取错误,请重新安装软件！"));
        window.close();
        return 1;
    }
    StationSetup setup;
    setup.program = QStandardPaths::findExecutable(QStringLiteral("tarnquill-cli"), {QCoreApplication::applicationDirPath()});
    setup.emulate = options.emulate;
    setup.emulateDir = options.emulateDir;
    setup.labelsFolder = appDir();
    setup.language = languageCode(currentLanguage());
    // The ledger in effect: the command line's, else TQ_LEDGER, else the one saved in the settings; the
    // station view and the line view use the same one.
    LedgerChoice given;
    given.url = options.ledgerUrl;
    given.station = options.stationNamed ? options.stationName.trimmed() : QString();
    given.operatorName = options.operatorName;
    LedgerHost ledger(window, appDir(), given);
    const LedgerChoice inEffect = ledger.choice();
    setup.stationName = inEffect.station;
    setup.ledgerUrl = inEffect.url;
    setup.operatorName = inEffect.operatorName.trimmed();
    StationHost station(window, setup);
    window.setLedgerChoice(inEffect);
    QObject::connect(&ledger, &LedgerHost::choiceChanged, &window, [&] { window.setLedgerChoice(ledger.choice()); });
    // A choice saved while panels run reaches the station once they have all stopped.
    const auto useLedgerChoice = [&](bool tell) {
        const LedgerChoice choice = ledger.choice();
        const StationSetup &current = station.controller().setup();
        if (choice.url == current.ledgerUrl && choice.station == current.stationName
            && choice.operatorName.trimmed() == current.operatorName)
            return;
        QString error;
        if (!station.controller().setLedger(choice.url, choice.station, choice.operatorName, &error) && tell)
            boxes::inform(&window, QCoreApplication::translate("mcu_writer", "错误"), error);
    };
    QObject::connect(&ledger, &LedgerHost::choiceChanged, &station, [&] { useLedgerChoice(true); });
    QObject::connect(&station.controller(), &StationController::lockChanged, &station, [&](bool locked) {
        if (!locked)
            useLedgerChoice(false);
    });
    QObject::connect(&window, &mcu_writer::stationViewRequested, &station, &StationHost::show);
    HotplugSource *source = link.emulator() ? new EmulatorHotplugSource(*link.emulator()) : createSystemHotplugSource();
    QObject::connect(source, &HotplugSource::deviceArrived, &station, &StationHost::refreshLinks, Qt::QueuedConnection);
    QObject::connect(source, &HotplugSource::deviceRemoved, &station, &StationHost::refreshLinks, Qt::QueuedConnection);
    window.setHotplugSource(source);
    QObject::connect(&window, &mcu_writer::ledgerSettingsRequested, &ledger, &LedgerHost::showSettings);
    QObject::connect(&window, &mcu_writer::lineViewRequested, &ledger, &LedgerHost::showLineView);
    if (link.emulator())
        window.setEmulator(*link.emulator());
    window.setFixedSize(1100, 650);
    window.show();
    if (options.stationView)
        station.show();
    if (arguments.contains(QLatin1String("--line-view")))
        ledger.showLineView();
    const int code = app.exec();
    flushRepeatFilter();
    return code;
}
