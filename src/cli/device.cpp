#include "device.h"

#include "commands.h"
#include "exitstatus.h"
#include "chip/mcuinfo.h"
#include "emulator/linkemulator.h"
#include "link/linkstate.h"
#include "link/timing.h"

int Device::open(const CliContext &ctx)
{
    QString error;
    if (ctx.options.emulate) {
        if (!m_link.useEmulator(ctx.options.emulateDir, uint16_t(g_currentMcu.nID), &error)) {
            ctx.error(error);
            return ExitStatus::CannotWrite;
        }
        // The firmware upgrade waits for the Link to come back in IAP mode; the window learns it from
        // hot-plug, the CLI from this listener. An emulated Link needs none of the real one's waits, except
        // in the gang benchmark, which measures them (TQ_EMULATOR_WAITS=real).
        m_link.emulator()->setHotPlugListener([](bool arrived, const QString &name) {
            if (name == QLatin1String(LINK_IAP_INTERFACE_NAME))
                g_bIapArrived.store(arrived ? 1 : 0);
        });
        setLinkTimeScale(qEnvironmentVariable("TQ_EMULATOR_WAITS") == QLatin1String("real") ? 1 : 0);
    }
    if (!ctx.options.traceFile.isEmpty() && !m_link.traceInto(ctx.options.traceFile, &error)) {
        ctx.error(error);
        return ExitStatus::CannotWrite;
    }
    m_link.install();
    if (const int status = m_guard.take(ctx))
        return status;
    m_runner = std::make_unique<EngineRunner>(ctx.display);
    return ExitStatus::Success;
}
