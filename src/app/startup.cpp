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
#include "lang/languagefile.h"
#include "session/linksession.h"

#include <QCoreApplication>
#include <QApplication>

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
        }
    }
    return options;
}

QString windowUsage()
{
    return QCoreApplication::translate(
        "startup",
        "用法: tarnquill [--lang zh|en] [--emulate[=文件夹]] [--trace 文件]\n"
        "  --lang zh|en        界面语言(默认: 菜单中选择的语言, 否则系统语言)\n"
        "  --emulate[=文件夹]  不用真实的Link, 使用内置的Link模拟器; 给出文件夹时其状态保存在该文件夹中\n"
        "  --trace 文件        把与Link往来的每个报文追加到该文件中\n"
        "  -h, --help          显示本帮助\n"
        "命令行烧录与多Link(量产)请使用 tarnquill-cli。\n");
}

QString linkOptionsError(const LinkOptions &options)
{
    // The command line's several-Link form: one window drives one Link, so the list would be taken as a
    // folder named "A,B" and every burn reported into it.
    if (options.emulate && options.emulateDir.contains(QLatin1Char(',')))
        return QCoreApplication::translate("startup",
                                           "--emulate=%1: 窗口只能使用一个Link; 多个Link请使用 tarnquill-cli 的 --emulate=DIR1,DIR2")
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
    if ((options.emulate && !link.useEmulator(options.emulateDir, LinkEmulator::kDefaultChipId, &error))
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
    if (link.emulator()) {
        window.setHotplugSource(new EmulatorHotplugSource(*link.emulator()));
        window.setEmulator(*link.emulator());
    } else {
        window.setHotplugSource(createSystemHotplugSource());
    }
    window.setFixedSize(1100, 650);
    window.show();
    const int code = app.exec();
    flushRepeatFilter();
    return code;
}
