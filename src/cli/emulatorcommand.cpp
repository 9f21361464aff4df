#include "commands.h"

#include "exitstatus.h"
#include "reports.h"
#include "chip/mcuinfo.h"
#include "emulator/linkemulator.h"

#include <QCoreApplication>


int runEmulator(const CliContext &ctx)
{
    const QString dir = ctx.options.operands[0];
    LinkEmulator emulator(dir);
    if (!emulator.stateError().isEmpty()) {
        ctx.error(emulator.stateError());
        return ExitStatus::CannotWrite;
    }
    if (emulator.startedFresh())
        emulator.setChipId(uint16_t(g_currentMcu.nID));
    const CliOptions &o = ctx.options;
    if (o.hasChipId)
        emulator.setChipId(o.chipId);
    if (o.insert || o.remove)
        emulator.setChipPresent(o.insert);
    if (o.hasFirmware)
        emulator.setFirmwareVersion({o.fwH, o.fwM, o.fwL});
    if (o.unplug || o.plug)
        emulator.setConnected(o.plug);
    if (!emulator.save()) {
        ctx.error(emulator.stateError());
        return ExitStatus::CannotWrite;
    }

    const LinkFirmwareVersion v = emulator.firmwareVersion();
    const QString firmware = versionText(v.h, v.m, v.l);
    const QString chip = emulator.chipPresent()
                             ? QCoreApplication::translate("cli", "chip %1 in the socket").arg(hex4(emulator.chipId()))
                             : QCoreApplication::translate("cli", "no chip in the socket (id %1)")
                                   .arg(hex4(emulator.chipId()));
    if (o.json) {
        QJsonObject object = resultJson(0, QString());
        object.insert(QStringLiteral("chipId"), hex4(emulator.chipId()));
        object.insert(QStringLiteral("chipPresent"), emulator.chipPresent());
        object.insert(QStringLiteral("firmware"), firmware);
        object.insert(QStringLiteral("connected"), emulator.connected());
        printJson(object);
    } else {
        const QString link = emulator.connected() ? QString()
                                                  : QCoreApplication::translate("cli", ", Link pulled out");
        printText(QCoreApplication::translate("cli", "%1: %2, Link firmware %3%4\n").arg(dir, chip, firmware, link));
    }
    return ExitStatus::Success;
}
