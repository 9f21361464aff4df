#include "chipchoice.h"
#include "cliargs.h"
#include "commands.h"
#include "debugmessages.h"
#include "enginerunner.h"
#include "exitstatus.h"
#include "gangcommands.h"
#include "gangworker.h"
#include "linkselection.h"
#include "processinfo.h"
#include "progressdisplay.h"
#include "reports.h"
#include "appdir/appdir.h"
#include "appdir/arguments.h"
#include "files/cfgdb.h"
#include "lang/language.h"
#include "link/linkstate.h"
#include "session/linksession.h"

#include <QCoreApplication>
#include <QHash>

#include <functional>
#include <memory>

namespace {
// Commands that never read or write the memory images (a gang's parent loads its input, so it blanks them).
bool usesImages(const CliOptions &options, const LinkChoice &links)
{
    static const QStringList none = {QStringLiteral("chips"), QStringLiteral("links"), QStringLiteral("emulator"),
                                     QStringLiteral("fw-version")};
    return links.isGang() || !none.contains(options.command);
}

const QHash<QString, std::function<int(const CliContext &)>> &handlers()
{
    static const QHash<QString, std::function<int(const CliContext &)>> table = {
        {QStringLiteral("chips"), runChips},         {QStringLiteral("info"), runInfo},
        {QStringLiteral("convert"), runConvert},     {QStringLiteral("burn"), runBurn},
        {QStringLiteral("read"), runRead},           {QStringLiteral("erase"), runErase},
        {QStringLiteral("blank"), runBlank},         {QStringLiteral("factory"), runFactory},
        {QStringLiteral("download"), runDownload},   {QStringLiteral("upload"), runUpload},
        {QStringLiteral("compare-link"), runCompareLink}, {QStringLiteral("fw-version"), runFwVersion},
        {QStringLiteral("upgrade"), runUpgrade},     {QStringLiteral("erase-link"), runEraseLink},
        {QStringLiteral("emulator"), runEmulator},   {QStringLiteral("links"), runLinks},
        {QStringLiteral("ledger"), runLedger},
    };
    return table;
}
}

namespace {
int run(int &argc, char *argv[], ProgressDisplay &display, std::unique_ptr<QCoreApplication> &app)
{
    // The language changes the texts for people only: JSON output and exit codes stay the same in every language.
    const QByteArray undecodable = undecodableArgument(argc, argv);  // before the application object takes argv
    const QStringList arguments = programArguments(argc, argv);
    const LanguageOption language = takeLanguageOption(arguments);
    // The application object brings the event machinery the engine's worker thread reports through, and holds
    // the translators: some texts of the command line are English in the source, so both languages need one.
    // It comes before any text is made, so that every text is in the chosen language.
    app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnquill-cli"));
    installLanguage(chooseLanguage(language.language, std::nullopt));
    if (!language.error.isEmpty()) {
        // Taken again, now that the language is installed, for the error's text.
        display.message(QCoreApplication::translate("cli", "tarnquill-cli: %1").arg(takeLanguageOption(arguments).error));
        return ExitStatus::Usage;
    }
    if (!undecodable.isEmpty()) {
        display.message(QCoreApplication::translate("cli", "tarnquill-cli: %1").arg(undecodableArgumentText(undecodable)));
        return ExitStatus::Usage;
    }
    const CliParse parsed = parseCliArguments(language.rest);
    if (parsed.status == CliParse::Help) {
        printText(cliUsage());
        return ExitStatus::Success;
    }
    if (parsed.status == CliParse::UsageError) {
        display.message(QCoreApplication::translate("cli", "tarnquill-cli: %1").arg(parsed.error));
        display.message(QCoreApplication::translate("cli", "try tarnquill-cli --help"));
        return ExitStatus::Usage;
    }
    CliOptions options = parsed.options;
    const QString workerRefusal = workerOptionsRefusal(options);
    if (!workerRefusal.isEmpty()) {
        display.message(QCoreApplication::translate("cli", "tarnquill-cli: %1").arg(workerRefusal));
        return ExitStatus::Usage;
    }
    LinkChoice links;
    QString linkError;
    if (!resolveLinkChoice(options, &links, &linkError)) {
        display.message(QCoreApplication::translate("cli", "tarnquill-cli: %1").arg(linkError));
        return ExitStatus::Usage;
    }

    FileMessages cfgMessages;
    cfgMessages.box = [&display](const QString &, const QString &text) { display.message(text); };
    cfgMessages.log = [&display](const QString &text) { display.message(text); };
    cfgMessages.debug = debugLineIfSeen;
    if (readCfgFile(appDir(programFolder(argv[0])), cfgMessages) != 0) {
        display.message(QCoreApplication::translate("cli", "配置文件读取错误,请重新安装软件！"));
        return ExitStatus::BadInput;
    }
    const ChipChoice chips;
    const QVector<McuInfo> selectable = chips.selectable();
    const McuInfo *chip = options.chip.isEmpty() ? (selectable.isEmpty() ? nullptr : chips.find(selectable[0].strName))
                                                 : chips.find(options.chip);
    if (!chip) {
        display.message(options.chip.isEmpty()
                            ? QCoreApplication::translate("cli", "no selectable chip in cfg.db")
                            : QCoreApplication::translate("cli", "unknown chip \"%1\" (see tarnquill-cli chips)")
                                  .arg(options.chip));
        return ExitStatus::Usage;
    }
    selectChip(*chip, usesImages(options, links));
    g_bI2CMode.store(options.singleWire ? 0 : 1);
    installInterruptHandler();

    if (options.gangWorker)
        startGangWorker(display);

    const CliContext ctx{options, display, chips};
    if (links.isGang())
        return runGang(ctx, links);
    int status = handlers().value(options.command)(ctx);
    const QString lost = LinkSession::runFailure();
    if (!lost.isEmpty()) {
        display.message(lost);
        status = ExitStatus::CannotWrite;
    }
    if (options.gangWorker)
        finishGangWorker(ctx, status);
    return status;
}
}

int main(int argc, char *argv[])
{
    installCliMessageHandler();
    ProgressDisplay display;
    std::unique_ptr<QCoreApplication> app;
    int status = run(argc, argv, display, app);
    // What went to stdout is the command's result: a result nobody could read is no success.
    const QString lost = closeOutput();
    if (!lost.isEmpty()) {
        display.message(QCoreApplication::translate("cli", "tarnquill-cli: cannot write the output: %1").arg(lost));
        if (status == ExitStatus::Success)
            status = ExitStatus::CannotWrite;
    }
    return status;
}
