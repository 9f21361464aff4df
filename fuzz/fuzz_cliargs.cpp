// The command line's argument parser: the input is the argument list, arguments separated by NUL bytes.
#include "fuzzsupport.h"
#include "cli/cliargs.h"
#include "lang/language.h"

#include <QStringList>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(fuzzsupport::dropMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<int>(size));
    QStringList arguments;
    if (!input.isEmpty()) {
        for (const QByteArray &word : input.split('\0'))
            arguments << QString::fromUtf8(word);
    }
    const LanguageOption language = takeLanguageOption(arguments);
    fuzzsupport::check(!language.error.isEmpty() || language.rest.size() <= arguments.size(), "--lang only removes");
    const CliParse parsed = parseCliArguments(language.rest);
    const CliOptions &o = parsed.options;
    switch (parsed.status) {
    case CliParse::UsageError:
        fuzzsupport::check(!parsed.error.isEmpty(), "a usage error says why");
        break;
    case CliParse::Help:
        break;
    case CliParse::Run: {
        fuzzsupport::check(!o.command.isEmpty(), "a run has a command");
        fuzzsupport::check(!(o.insert && o.remove), "--insert and --remove exclude each other");
        fuzzsupport::check(o.to.isEmpty() || o.to == QLatin1String("rom") || o.to == QLatin1String("bl"),
                           "--to is rom or bl");
        for (const QString &area : o.areas)
            fuzzsupport::check(cliAreaNames().contains(area) && o.areas.count(area) == 1, "known areas, once each");
        fuzzsupport::check(o.emulate || o.emulateDir.isEmpty(), "a state folder only with --emulate");
        // A parsed command line parses again to the same command.
        const CliParse again = parseCliArguments(language.rest);
        fuzzsupport::check(again.status == CliParse::Run && again.options.command == o.command
                               && again.options.operands == o.operands,
                           "parsing is repeatable");
        break;
    }
    }
    return 0;
}
