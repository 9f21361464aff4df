#include "startup.h"

#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "emulatorhotplug.h"
#include "hotplugsource.h"
#include "mcu_writer.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "files/cfgdb.h"
#include "lang/languagefile.h"
#include "link/hidbackend.h"

#include <QApplication>

#include <cstdio>
#include <memory>

QString emulateOption(const QStringList &arguments)
{
    for (const QString &arg : arguments) {
        if (arg == QLatin1String("--emulate"))
            return QStringLiteral("");
        if (arg.startsWith(QLatin1String("--emulate=")))
            return arg.mid(int(qstrlen("--emulate=")));
    }
    return QString();
}

int runTarnquill(QApplication &app, const QStringList &arguments)
{
    const LanguageOption language = takeLanguageOption(arguments);
    if (!language.error.isEmpty())
        std::fprintf(stderr, "tarnquill: %s\n", qPrintable(language.error));
    installLanguage(chooseLanguage(language.language, readStoredLanguage(appDir())));

    const QString emulateDir = emulateOption(arguments);
    std::unique_ptr<LinkEmulator> emulator;
    std::unique_ptr<EmulatorBackend> backend;
    if (!emulateDir.isNull()) {
        emulator = std::make_unique<LinkEmulator>(emulateDir);
        backend = std::make_unique<EmulatorBackend>(*emulator);
        setHidBackend(backend.get());
    }

    int exitCode = 0;
    {
        mcu_writer window;
        FileMessages msgs;
        msgs.box = [&window](const QString &title, const QString &text) { boxes::inform(&window, title, text); };
        if (readCfgFile(appDir(), msgs) == -1 || !window.isConstructed()) {
            boxes::inform(&window, QStringLiteral("错误"), QStringLiteral("配置文件读取错误,请重新安装软件！"));
            window.close();
        } else {
            if (emulator) {
                window.setHotplugSource(new EmulatorHotplugSource(*emulator));
                window.setEmulated(true);
            } else {
                window.setHotplugSource(createSystemHotplugSource());
            }
            window.setFixedSize(1100, 650);
            window.show();
            exitCode = app.exec();
        }
    }
    if (emulator) {
        emulator->save();
        setHidBackend(nullptr);
    }
    return exitCode;
}
