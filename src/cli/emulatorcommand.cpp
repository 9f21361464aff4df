#include "commands.h"

#include "exitstatus.h"
#include "linksession.h"
#include "reports.h"
#include "chip/mcuinfo.h"
#include "emulator/linkemulator.h"

#include <QDir>
#include <QFileInfo>

int runEmulator(const CliContext &ctx)
{
    const QString dir = ctx.options.operands[0];
    if (QFileInfo(dir).exists() && !QFileInfo(dir).isDir()) {
        ctx.error(QStringLiteral("%1 is not a folder").arg(dir));
        return ExitStatus::CannotWrite;
    }
    const bool fresh = isFreshStateFolder(dir);
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isWritable()) {
        ctx.error(QStringLiteral("cannot write the emulator folder %1").arg(dir));
        return ExitStatus::CannotWrite;
    }
    LinkEmulator emulator(dir);
    if (fresh)
        emulator.setChipId(uint16_t(g_currentMcu.nID));
    const CliOptions &o = ctx.options;
    if (o.hasChipId)
        emulator.setChipId(o.chipId);
    if (o.insert || o.remove)
        emulator.setChipPresent(o.insert);
    if (o.hasFirmware)
        emulator.setFirmwareVersion({uint8_t(o.fwH), uint8_t(o.fwM), uint8_t(o.fwL >> 8), uint8_t(o.fwL & 0xFF)});
    emulator.save();

    const std::array<uint8_t, 4> v = emulator.firmwareVersion();
    const QString firmware = versionText(v[0], v[1], uint16_t(v[2] << 8 | v[3]));
    const QString chip = emulator.chipPresent() ? QStringLiteral("chip %1 in the socket").arg(hex4(emulator.chipId()))
                                                : QStringLiteral("no chip in the socket (id %1)").arg(hex4(emulator.chipId()));
    if (o.json) {
        QJsonObject object = resultJson(0, QString());
        object.insert(QStringLiteral("chipId"), hex4(emulator.chipId()));
        object.insert(QStringLiteral("chipPresent"), emulator.chipPresent());
        object.insert(QStringLiteral("firmware"), firmware);
        printJson(object);
    } else {
        printText(QStringLiteral("%1: %2, Link firmware %3\n").arg(dir, chip, firmware));
    }
    return ExitStatus::Success;
}
