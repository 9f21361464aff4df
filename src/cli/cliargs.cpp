#include "cliargs.h"

#include "ledgerargs.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace {
struct CommandForm
{
    int operands;
    QStringList options;  // command options it accepts
};

const QHash<QString, CommandForm> &commandForms()
{
    static const QHash<QString, CommandForm> forms = {
        {QStringLiteral("chips"), {0, {}}},
        {QStringLiteral("links"), {0, {}}},
        {QStringLiteral("info"), {1, {}}},
        {QStringLiteral("convert"), {2, {QStringLiteral("--to")}}},
        {QStringLiteral("burn"), {1, {QStringLiteral("--loop"), QStringLiteral("--verify"), QStringLiteral("--log"), QStringLiteral("--serial")}}},
        {QStringLiteral("read"), {1, {}}},
        {QStringLiteral("erase"), {0, {}}},
        {QStringLiteral("blank"), {0, {}}},
        {QStringLiteral("factory"), {0, {}}},
        {QStringLiteral("download"), {1, {QStringLiteral("--serial")}}},
        {QStringLiteral("upload"), {1, {}}},
        {QStringLiteral("fw-version"), {0, {}}},
        {QStringLiteral("upgrade"), {1, {}}},
        {QStringLiteral("erase-link"), {0, {}}},
        {QStringLiteral("compare-link"), {1, {}}},
        {QStringLiteral("emulator"),
         {1, {QStringLiteral("--chip-id"), QStringLiteral("--insert"), QStringLiteral("--remove"),
              QStringLiteral("--fw"), QStringLiteral("--unplug"), QStringLiteral("--plug")}}},
        {QStringLiteral("ledger"), {-1, ledgerOptionNames()}},  // operands checked by the command
    };
    return forms;
}

const QSet<QString> &valueOptions()
{
    static const QSet<QString> names = {QStringLiteral("--chip"), QStringLiteral("--areas"),
                                        QStringLiteral("--trace"), QStringLiteral("--to"),
                                        QStringLiteral("--log"), QStringLiteral("--chip-id"),
                                        QStringLiteral("--fw"), QStringLiteral("--link"),
                                        QStringLiteral("--gang-serial"), QStringLiteral("--expect"), QStringLiteral("--ledger"),
                                        QStringLiteral("--station"), QStringLiteral("--operator"), QStringLiteral("--serial"),
                                        QStringLiteral("--label")};
    return names;
}

const QSet<QString> &flagOptions()
{
    static const QSet<QString> names = {QStringLiteral("--single-wire"), QStringLiteral("--json"),
                                        QStringLiteral("--loop"), QStringLiteral("--verify"),
                                        QStringLiteral("--insert"), QStringLiteral("--remove"),
                                        QStringLiteral("--unplug"), QStringLiteral("--plug"),
                                        QStringLiteral("--gang-worker")};
    return names;
}

bool parseFirmwareVersion(const QString &text, CliOptions &o)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3)
        return false;
    uint16_t values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const uint value = parts[i].toUInt(&ok, 10);
        // GetFwVersion answers three 16-bit numbers.
        if (!ok || value > 0xFFFFu)
            return false;
        values[i] = uint16_t(value);
    }
    o.fwH = values[0];
    o.fwM = values[1];
    o.fwL = values[2];
    o.hasFirmware = true;
    return true;
}

// Options whose empty value would quietly switch something off (an unset variable in a script).
const QSet<QString> &nonEmptyOptions()
{
    static const QSet<QString> names = {QStringLiteral("--trace"), QStringLiteral("--log")};
    return names;
}

QString applyOption(const QString &name, const QString &value, CliOptions &o, QStringList &commandOptions)
{
    if (value.isEmpty() && nonEmptyOptions().contains(name))
        return QCoreApplication::translate("cli", "%1 needs a file name, not an empty value").arg(name);
    if (name == QLatin1String("--chip")) {
        o.chip = value;
    } else if (name == QLatin1String("--areas")) {
        o.areas.clear();
        for (const QString &area : value.split(QLatin1Char(','))) {
            const QString a = area.trimmed().toLower();
            if (!cliAreaNames().contains(a))
                return QCoreApplication::translate("cli", "unknown area \"%1\" in --areas (use %2)").arg(area, cliAreaNames().join(QLatin1Char(',')));
            if (!o.areas.contains(a))
                o.areas << a;
        }
    } else if (name == QLatin1String("--single-wire")) {
        o.singleWire = true;
    } else if (name == QLatin1String("--trace")) {
        o.traceFile = value;
    } else if (name == QLatin1String("--json")) {
        o.json = true;
    } else if (name == QLatin1String("--link")) {
        o.link = value;
    } else if (name == QLatin1String("--expect")) {
        bool ok = false;
        o.expect = value.toInt(&ok, 10);
        if (!ok || o.expect < 1 || o.expect > 999)
            return QCoreApplication::translate("cli", "--expect takes the number of Links a gang needs, 1 to 999");
    } else if (name == QLatin1String("--gang-worker")) {
        o.gangWorker = true;
    } else if (name == QLatin1String("--gang-serial")) {
        o.gangSerial = value;
    } else if (name == QLatin1String("--label")) {
        o.linkLabel = value;
    } else if (name == QLatin1String("--ledger") || name == QLatin1String("--station") || name == QLatin1String("--operator")) {
        (name == QLatin1String("--ledger") ? o.ledger : name == QLatin1String("--station") ? o.station : o.operatorName) = value;
    } else if (ledgerOptionNames().contains(name)) {
        commandOptions << name;
        o.ledgerValues.insert(name, value);
    } else {
        commandOptions << name;
        if (name == QLatin1String("--to")) {
            o.to = value.toLower();
            if (o.to != QLatin1String("rom") && o.to != QLatin1String("bl"))
                return QCoreApplication::translate("cli", "--to takes rom or bl");
        } else if (name == QLatin1String("--loop")) {
            o.loop = true;
        } else if (name == QLatin1String("--verify")) {
            o.verify = true;
        } else if (name == QLatin1String("--log")) {
            o.logFile = value;
        } else if (name == QLatin1String("--serial")) {
            o.serialSpace = value;
        } else if (name == QLatin1String("--chip-id")) {
            QString digits = value;
            if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                digits = digits.mid(2);
            bool ok = false;
            const uint id = digits.toUInt(&ok, 16);
            if (!ok || digits.isEmpty() || id > 0xFFFF)
                return QCoreApplication::translate("cli", "--chip-id takes a 16-bit hexadecimal id, e.g. 2610");
            o.chipId = uint16_t(id);
            o.hasChipId = true;
        } else if (name == QLatin1String("--insert")) {
            o.insert = true;
        } else if (name == QLatin1String("--remove")) {
            o.remove = true;
        } else if (name == QLatin1String("--unplug")) {
            o.unplug = true;
        } else if (name == QLatin1String("--plug")) {
            o.plug = true;
        } else if (name == QLatin1String("--fw")) {
            if (!parseFirmwareVersion(value, o))
                return QCoreApplication::translate("cli", "--fw takes H.M.L, each 0 to 65535");
        }
    }
    return QString();
}
}

const QStringList &cliAreaNames()
{
    static const QStringList names = {QStringLiteral("rom"),  QStringLiteral("bl"),   QStringLiteral("ee"),
                                      QStringLiteral("nvr1"), QStringLiteral("nvr2"), QStringLiteral("nvr3")};
    return names;
}

CliParse parseCliArguments(const QStringList &arguments)
{
    CliParse result;
    CliOptions &o = result.options;
    QStringList words;
    QStringList commandOptions;
    bool optionsEnded = false;

    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            result.status = CliParse::Help;
            return result;
        }
        const int eq = arg.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? arg : arg.left(eq);
        if (name == QLatin1String("--emulate")) {
            o.emulate = true;
            o.emulateDir = eq < 0 ? QString() : arg.mid(eq + 1);
            if (eq >= 0 && o.emulateDir.isEmpty()) {
                result.error = QCoreApplication::translate("cli", "--emulate= needs a folder");
                return result;
            }
            continue;
        }
        QString value;
        if (valueOptions().contains(name) || ledgerOptionNames().contains(name)) {
            if (eq >= 0) {
                value = arg.mid(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            // An empty value (an unset variable in a script) would quietly mean "none".
            if (value.isEmpty()) {
                result.error = QCoreApplication::translate("cli", "%1 needs a value").arg(name);
                return result;
            }
        } else if (flagOptions().contains(name)) {
            if (eq >= 0) {
                result.error = QCoreApplication::translate("cli", "%1 takes no value").arg(name);
                return result;
            }
        } else {
            result.error = QCoreApplication::translate("cli", "unknown option %1").arg(arg);
            return result;
        }
        const QString error = applyOption(name, value, o, commandOptions);
        if (!error.isEmpty()) {
            result.error = error;
            return result;
        }
    }

    if (words.isEmpty()) {
        result.error = QCoreApplication::translate("cli", "no command given");
        return result;
    }
    o.command = words.takeFirst();
    o.operands = words;
    const auto form = commandForms().constFind(o.command);
    if (form == commandForms().constEnd()) {
        result.error = QCoreApplication::translate("cli", "unknown command \"%1\"").arg(o.command);
        return result;
    }
    if (form->operands >= 0 && o.operands.size() != form->operands) {
        result.error = QCoreApplication::translate("cli", "%1 takes %2 operand(s), %3 given")
                           .arg(o.command)
                           .arg(form->operands)
                           .arg(o.operands.size());
        return result;
    }
    for (const QString &option : qAsConst(commandOptions)) {
        if (!form->options.contains(option)) {
            result.error = QCoreApplication::translate("cli", "%1 does not apply to %2").arg(option, o.command);
            return result;
        }
    }
    if (o.insert && o.remove) {
        result.error = QCoreApplication::translate("cli", "--insert and --remove exclude each other");
        return result;
    }
    if (o.unplug && o.plug) {
        result.error = QCoreApplication::translate("cli", "--unplug and --plug exclude each other");
        return result;
    }
    result.status = CliParse::Run;
    return result;
}

QString cliUsage()
{
    return QCoreApplication::translate("cli",
        "usage: tarnquill-cli [--chip NAME] [--areas LIST] [--single-wire] [--emulate[=DIR[,DIR2...]]]\n"
        "                     [--link PORT|P1,P2,...|all [--expect N]] [--trace FILE] [--json] COMMAND ...\n"
        "  chips                         list the selectable chip models\n"
        "  links                         every attached Link: port, path, mode, firmware version\n"
        "  info FILE                     summary of a .hex (.ihx), .bin or .mprj file\n"
        "  convert IN OUT [--to rom|bl]  write IN (.hex/.ihx/.bin/.mprj) as OUT (.bin or .mprj)\n"
        "  burn FILE [--loop] [--verify] [--log FILE.csv]\n"
        "                                burn one chip (Ctrl-C ends the wait); --loop: chip after chip\n"
        "  read OUT                      read the chip's areas into OUT (.bin for one image, .mprj)\n"
        "  erase | blank | factory       erase; blank check with checksums; factory parameters and clock\n"
        "  download FILE.mprj            store a project in the Link for stand-alone burning\n"
        "  upload OUT.mprj               read the Link's stored project back\n"
        "  fw-version | upgrade FILE.bin | erase-link\n"
        "  compare-link FILE.mprj        compare the Link's stored project with FILE (exit 0 equal, 1 not)\n"
        "  emulator DIR [--chip-id HEX] [--insert | --remove] [--fw H.M.L] [--unplug | --plug]\n"
        "                                create or change an emulator state folder (--unplug pulls the\n"
        "                                emulated Link out of the computer, also from a running program)\n"
        "--areas: comma list of rom, bl, ee, nvr1, nvr2, nvr3 (default rom; a project brings its own).\n"
        "--link: the Link at a port (see links); with several ports or all, burn, erase, blank, download,\n"
        "erase-link, fw-version and upgrade run on every one at once (gang). With several Links attached a\n"
        "device command needs --link. --emulate=DIR1,DIR2,... attaches emulated Links at ports emu1, emu2, ...\n"
        "--expect N: a gang with fewer than N attached Links does not start (exit 64, the Links present named).\n"
        "Exit status: 0 success, 1-38 the operation's result code, 39 chip not supported or incomplete\n"
        "transfer, 64 usage error, 65 bad input file (missing, not a regular file, too large, no data),\n"
        "74 output or production record not written (the previous file stays whole), 130 interrupted.\n"
        "--lang zh|en: language of the messages (default: the system's); JSON output and exit status are the\n"
        "same in every language.\n") + ledgerUsage();
}
