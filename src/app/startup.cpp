#include "startup.h"

#include "appdir/appdir.h"
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

int runTarnquill(QApplication &app, const QStringList &arguments)
{
    const LanguageOption language = takeLanguageOption(arguments);
    if (!language.error.isEmpty())
        std::fprintf(stderr, "tarnquill: %s\n", qPrintable(language.error));
    installLanguage(chooseLanguage(language.language, readStoredLanguage(appDir())));

    const LinkOptions options = linkOptions(arguments);
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
    return app.exec();
}
