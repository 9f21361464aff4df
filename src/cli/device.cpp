#include "device.h"

#include "commands.h"
#include "exitstatus.h"
#include "chip/mcuinfo.h"

int Device::open(const CliContext &ctx)
{
    QString error;
    if (ctx.options.emulate && !m_link.useEmulator(ctx.options.emulateDir, uint16_t(g_currentMcu.nID), &error)) {
        ctx.error(error);
        return ExitStatus::CannotWrite;
    }
    if (!ctx.options.traceFile.isEmpty() && !m_link.traceInto(ctx.options.traceFile, &error)) {
        ctx.error(error);
        return ExitStatus::CannotWrite;
    }
    m_link.install();
    m_runner = std::make_unique<EngineRunner>(ctx.display);
    return ExitStatus::Success;
}
