#include "commands.h"

#include "burnobserver.h"
#include "chipchoice.h"
#include "device.h"
#include "exitstatus.h"
#include "filesteps.h"
#include "gangworker.h"
#include "linkselection.h"
#include "records/ledgerburn.h"
#include "records/productionlog.h"
#include "ledgerargs.h"
#include "progressdisplay.h"
#include "reports.h"
#include "chip/images.h"
#include "engine/engineflags.h"
#include "engine/resultcodes.h"
#include "link/linkstate.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstring>

namespace {
// The engine's success label: a source text like every label (see engine/enginetext.h).
const QString kBurnOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "烧写成功"));
QString singleWireRefusedText()
{
    return QCoreApplication::translate("cli", "单线模式暂不支持此功能");
}

// Read-back, erase, blank check and the factory read need the I2C interface.
bool refuseSingleWire(const CliContext &ctx)
{
    if (!ctx.options.singleWire)
        return false;
    ctx.error(singleWireRefusedText());
    return true;
}

// Erase and blank check: I2C only, the --areas choice (rom by default) enabled, the Link opened.
int openForChipAreas(const CliContext &ctx, Device &device)
{
    if (refuseSingleWire(ctx))
        return ExitStatus::Usage;
    QVector<Area> areas;
    if (!ctx.areas({Area::Rom}, &areas))
        return ExitStatus::Usage;
    setEnabledAreas(areas);
    return device.open(ctx);
}

// The burn's image: a project with its areas, or a HEX/BIN file in the flash image (the BootLoader image
// when bl is burned without rom).
int prepareBurnImage(const CliContext &ctx)
{
    const QString path = ctx.options.operands[0];
    InputFile in;
    FileOutcome loaded = inspectInputFile(path, &in);
    if (!loaded.ok()) {
        ctx.errors(loaded.messages);
        return loaded.status;
    }
    QVector<Area> areas;
    if (in.kind == FileKind::Project) {
        loaded = loadProjectFile(in, ctx.chips);
        ctx.errors(loaded.messages);
        if (!loaded.ok())
            return loaded.status;
        if (!ctx.areas(enabledAreas(), &areas))
            return ExitStatus::Usage;
    } else {
        if (!ctx.areas({Area::Rom}, &areas))
            return ExitStatus::Usage;
        const bool rom = areas.contains(Area::Rom), bl = areas.contains(Area::Bl);
        if (rom == bl) {
            ctx.error(rom ? QCoreApplication::translate(
                                "cli", "a .hex or .bin file fills one image: burn rom and bl together from a project")
                          : QCoreApplication::translate("cli", "a .hex or .bin file needs rom or bl in --areas"));
            return ExitStatus::Usage;
        }
        loaded = loadImageFile(in, bl ? ImageTarget::BootLoader : ImageTarget::Flash);
        ctx.errors(loaded.messages);
        if (!loaded.ok())
            return loaded.status;
    }
    setEnabledAreas(areas);
    if (areas.isEmpty()) {
        ctx.error(QCoreApplication::translate("cli", "请选择烧录区域"));
        return ExitStatus::Usage;
    }
    // The window opens a file first rather than burn an empty image.
    if ((g_bEnBin && g_nBinSize == 0) || (g_bEnBL && g_nNVRBinSize == 0)) {
        ctx.error(QCoreApplication::translate("cli", "%1: the image to burn is empty").arg(path));
        return ExitStatus::BadInput;
    }
    refreshChecksums();
    return ExitStatus::Success;
}

// The result code a verify difference in `area` stands for: the write of that area failed.
int verifyFailureCode(Area area)
{
    switch (area) {
    case Area::Bl: return 11;
    case Area::Nvr1: return 21;
    case Area::Nvr2: return 22;
    case Area::Nvr3: return 23;
    default: return 6;
    }
}

// Reads every burned area back and compares it byte by byte with the image. The images are put back
// afterwards. The EEPROM is not burned, so it is not read.
int verifyBurn(const CliContext &ctx, EngineRunner &runner)
{
    struct Expected {
        Area area;
        QByteArray bytes;
    };
    QVector<Expected> expected;
    for (Area area : enabledAreas()) {
        if (area != Area::Ee)
            expected.push_back({area, QByteArray(reinterpret_cast<const char *>(areaImage(area)), int(areaLength(area)))});
    }
    const QVector<Area> burned = enabledAreas();
    const uint32_t binSize = g_nBinSize, blSize = g_nNVRBinSize;
    QVector<Area> readAreas = burned;
    readAreas.removeAll(Area::Ee);
    setEnabledAreas(readAreas);

    int code = runner.run(workThread::TaskUpChip);
    if (code == 0) {
        for (const Expected &e : qAsConst(expected)) {
            const uint8_t *read = areaImage(e.area);
            for (int i = 0; i < e.bytes.size(); ++i) {
                if (uint8_t(e.bytes[i]) == read[i])
                    continue;
                ctx.error(QCoreApplication::translate("cli", "verify: %1 differs at 0x%2: burned %3, read %4")
                              .arg(areaName(e.area), QString::number(areaChipAddress(e.area) + uint32_t(i), 16).toUpper())
                              .arg(uint8_t(e.bytes[i]), 2, 16, QLatin1Char('0'))
                              .arg(read[i], 2, 16, QLatin1Char('0')));
                code = verifyFailureCode(e.area);
                break;
            }
            if (code != 0)
                break;
        }
    }
    for (const Expected &e : qAsConst(expected))
        std::memcpy(areaImage(e.area), e.bytes.constData(), size_t(e.bytes.size()));
    g_nBinSize = binSize;
    g_nNVRBinSize = blSize;
    setEnabledAreas(burned);
    refreshChecksums();
    return code;
}

// The production record of a burn (the CSV log, the ledger with the chip's serial). Passes are recorded on
// the worker as they end, so a record is kept before the engine looks for the next chip; one that cannot be
// written switches the burn off there.
class RecordKeeper
{
public:
    RecordKeeper(ProductionLog *log, LedgerBurn &serial, std::atomic<uint8_t> &running)
        : m_log(log), m_serial(serial), m_running(running) {}

    // Worker thread while the burn runs, then the main thread once it has ended.
    void keep(const PassResult &pass, const QString &text, bool nextChipFollows = true)
    {
        if (failed())
            return;
        if (m_log && !m_log->append(currentPassRecord(pass.code, pass.chipId, text))) {
            m_error = m_log->errorString();
            m_running.store(0);
        } else if (m_log && !confirmGangRecord(&m_error)) {
            m_running.store(0);  // a gang's record could not keep it: no chip past a lost record there either
        } else if (!m_serial.chipDone(pass.code, pass.chipId, text, nextChipFollows)) {
            m_error = m_serial.errorString();
            m_where = m_serial.location();
            m_running.store(0);
        }
    }
    // Called once the burn has ended.
    bool failed() const { return !m_error.isEmpty(); }
    // Reports the failure; the exit status of a run whose record is incomplete.
    int fail(const CliContext &ctx) const
    {
        if (m_serial.serverAway()) {
            ctx.error(m_error);
            return ExitStatus::LedgerAway;
        }
        ctx.error(QCoreApplication::translate("cli", "%1: cannot write the production record: %2%3")
                      .arg(m_where.isEmpty() ? ctx.options.logFile : m_where, m_error,
                           ctx.options.loop ? QCoreApplication::translate("cli", "; stopped before the next chip")
                                            : QString()));
        return ExitStatus::CannotWrite;
    }

private:
    ProductionLog *m_log;
    LedgerBurn &m_serial;
    std::atomic<uint8_t> &m_running;
    QString m_error;
    QString m_where;  // the ledger, when it was the ledger that failed
};

QString passText(const PassResult &pass)
{
    return resultText(pass.code, pass.code == 0 ? kBurnOk : QString());
}

// The port a one-Link command drives, for its result line; empty when no one port can be named.
QString oneLinkPort(const CliContext &ctx)
{
    if (!ctx.options.link.isEmpty())
        return ctx.options.link;
    const QVector<AttachedLink> attached = attachedLinks(ctx.options.emulate, ctx.options.emulateDir);
    return attached.size() == 1 ? attached.first().port : QString();
}

// The line a gang prints for each of its Links, for the one Link: "emu1: OK 64BC", "emu1: NG 6 ...".
void printResultLine(const CliContext &ctx, int code, const QString &text)
{
    if (ctx.options.json || ctx.options.gangWorker)
        return;
    const QString port = oneLinkPort(ctx);
    const QString prefix = port.isEmpty() ? QString() : port + QStringLiteral(": ");
    const QVector<Area> areas = enabledAreas();
    if (code == 0)
        printText(QStringLiteral("%1OK %2\n").arg(prefix, areas.isEmpty() ? text : hex4(areaChecksum(areas.first()))));
    else
        printText(QStringLiteral("%1NG %2 %3\n").arg(prefix).arg(code).arg(resultDisplayText(code, text)));
}

// The serial the ledger gave the chip recorded last, for its JSON line; nothing when it had none.
QJsonObject serialJson(const LedgerBurn &serial)
{
    const std::optional<int64_t> value = serial.lastSerial();
    return value ? QJsonObject{{QStringLiteral("serial"), qint64(*value)}} : QJsonObject();
}

// Switches a burn run's flag on. A stop that came before the run (Ctrl-C or the parent's "stop" during
// start-up) cleared the flag before it was set, so it ends the run at once: either order leaves it clear.
void switchOn(std::atomic<uint8_t> &running)
{
    running.store(1);
    if (interrupted())
        running.store(0);
}

// Opens the ledger of a burn (--ledger or TQ_LEDGER; --serial NAME: a value of that space for every chip).
// 0, or the exit status after the error.
int beginLedgerBurn(const CliContext &ctx, LedgerBurn &ledger)
{
    LedgerBurnSetup setup;
    setup.url = ledgerUrlOf(ctx.options);
    setup.serialSpace = ctx.options.serialSpace;
    if (!setup.url.isEmpty()) {
        setup.station = stationOf(ctx.options);
        setup.operatorName = ctx.options.operatorName;
        setup.label = ctx.options.linkLabel;
        setup.port = !ctx.options.link.isEmpty() ? ctx.options.link : ctx.options.emulate ? QStringLiteral("emu") : QString();
        setup.blockSize = ctx.options.loop ? kLedgerLoopBlock : 1;
    }
    const LedgerBurn::Failure failure = ledger.begin(setup);
    if (!ledger.notice().isEmpty())
        ctx.error(ledger.notice());
    switch (failure) {
    case LedgerBurn::Failure::None: return 0;
    case LedgerBurn::Failure::Usage: ctx.error(ledger.errorString()); return ExitStatus::Usage;
    case LedgerBurn::Failure::ServerAway: ctx.error(ledger.errorString()); return ExitStatus::LedgerAway;
    case LedgerBurn::Failure::Store: break;
    }
    ctx.error(ledger.errorString());
    return ExitStatus::CannotWrite;
}

int burnOnce(const CliContext &ctx, Device &device, ProductionLog *log, LedgerBurn &serial)
{
    EngineRunner &runner = device.runner();
    BurnObserver observer(runner.worker());
    RecordKeeper records(log, serial, g_bBurnRunning);
    // What ends the burn is recorded with its result.
    observer.setPassHook([&records](const PassResult &pass) {
        if (!endsBurn(pass.code))
            records.keep(pass, passText(pass));
    });
    int lastFailure = 0;
    QObject::connect(&observer, &BurnObserver::passFinished, [&](PassResult pass) {
        if (endsBurn(pass.code))
            return;
        lastFailure = pass.code;
        ctx.error(QCoreApplication::translate("cli", "chip %1 failed: %2 (%3); waiting for the next chip, Ctrl-C ends")
                      .arg(hex4(pass.chipId), resultDisplayText(pass.code, passText(pass)))
                      .arg(pass.code));
    });

    g_bBurnChipHandled.store(0);
    switchOn(g_bBurnRunning);
    int code = runner.run(workThread::TaskBurn);
    QString label = runner.lastLabel();
    const uint16_t chipId = g_wChipId;
    if (records.failed())
        return records.fail(ctx);
    if (code == EngineRunner::kNoResult) {
        ctx.error(QCoreApplication::translate("cli", "interrupted"));
        return lastFailure ? exitStatusForResult(lastFailure) : ExitStatus::Interrupted;
    }
    if (code == 0 && ctx.options.verify) {
        code = verifyBurn(ctx, runner);
        label = code == 0 ? kBurnOk : label;
    }
    // 36 and 37 end the burn before any chip answered.
    if (code != 36 && code != 37) {
        records.keep({code, chipId, burnedChecksum()}, resultText(code, label), false);
        if (records.failed()) {
            ctx.finish(code, label);
            return records.fail(ctx);
        }
    }
    printResultLine(ctx, code, resultText(code, label));
    return ctx.finish(code, label, serialJson(serial));
}

int burnLoop(const CliContext &ctx, Device &device, ProductionLog *log, LedgerBurn &serial)
{
    EngineRunner &runner = device.runner();
    BurnObserver observer(runner.worker());
    RecordKeeper records(log, serial, g_bAutoBurnRunning);
    observer.setPassHook([&records](const PassResult &pass) { records.keep(pass, passText(pass)); });
    int passed = 0, failed = 0;
    QObject::connect(&observer, &BurnObserver::passFinished, [&](PassResult pass) {
        pass.code == 0 ? ++passed : ++failed;
        const int chips = passed + failed;
        const QString text = passText(pass);
        if (ctx.options.json) {
            QJsonObject line = resultJson(pass.code, text);
            line.insert(QStringLiteral("chip"), chips);
            line.insert(QStringLiteral("chipId"), hex4(pass.chipId));
            if (!pass.checksum.isEmpty())
                line.insert(QStringLiteral("checksum"), pass.checksum);
            printJson(joinedJson(line, serialJson(serial)));
        } else {
            printText(QCoreApplication::translate("cli", "chip %1: id %2, %3 %4\n")
                          .arg(chips)
                          .arg(hex4(pass.chipId))
                          .arg(pass.code)
                          .arg(resultDisplayText(pass.code, text)));
        }
    });

    g_bAutoBurnChipHandled.store(0);
    switchOn(g_bAutoBurnRunning);
    const int code = runner.run(workThread::TaskAutoBurn);
    // However the loop ended, it closes with how many chips passed and failed.
    const QJsonObject counts{{QStringLiteral("chips"), passed + failed},
                             {QStringLiteral("passed"), passed},
                             {QStringLiteral("failed"), failed}};
    if (!ctx.options.json)
        printText(QCoreApplication::translate("cli", "%1 chip(s): %2 passed, %3 failed\n")
                      .arg(passed + failed)
                      .arg(passed)
                      .arg(failed));
    if (records.failed() || code == EngineRunner::kNoResult) {
        const int status = records.failed() ? records.fail(ctx) : ExitStatus::Interrupted;
        const QString text = records.failed() ? QStringLiteral("production record not written") : QStringLiteral("interrupted");
        if (!records.failed())
            ctx.error(QCoreApplication::translate("cli", "interrupted"));
        if (ctx.options.json)
            printJson(joinedJson(resultJson(status, text), counts));
        return status;
    }
    return ctx.finish(code, runner.lastLabel(), counts);
}
}

int runBurn(const CliContext &ctx)
{
    if (ctx.options.verify && ctx.options.loop) {
        ctx.error(QCoreApplication::translate("cli", "--verify needs the Link between chips; it cannot follow --loop"));
        return ExitStatus::Usage;
    }
    if (ctx.options.verify && refuseSingleWire(ctx))
        return ExitStatus::Usage;
    const int prepared = prepareBurnImage(ctx);
    if (prepared != 0)
        return prepared;
    ProductionLog log;
    if (!ctx.options.logFile.isEmpty() && !log.open(ctx.options.logFile)) {
        ctx.error(QCoreApplication::translate("cli", "%1: cannot write: %2")
                      .arg(ctx.options.logFile, log.errorString()));
        return ExitStatus::CannotWrite;
    }
    LedgerBurn serial;
    if (const int status = beginLedgerBurn(ctx, serial))
        return status;
    Device device;
    const auto finish = [&ctx, &serial](int status) {
        const QString waiting = serial.finish();
        if (!waiting.isEmpty())
            ctx.error(waiting);
        return status;
    };
    if (const int status = device.open(ctx))
        return finish(status);
    // A ledger's records name the Link's firmware: asked once, before the first chip (a Link that does not
    // answer fails the burn itself).
    if (serial.active() && device.runner().run(workThread::TaskFwVersion) == 0)
        serial.setFirmware(versionText(device.runner().versionH(), device.runner().versionM(), device.runner().versionL()));
    ProductionLog *record = ctx.options.logFile.isEmpty() ? nullptr : &log;
    return finish(ctx.options.loop ? burnLoop(ctx, device, record, serial) : burnOnce(ctx, device, record, serial));
}

int runRead(const CliContext &ctx)
{
    const QString out = ctx.options.operands[0];
    const FileKind kind = fileKindOf(out);
    if (kind != FileKind::Bin && kind != FileKind::Project) {
        ctx.error(QCoreApplication::translate("cli", "%1: write .bin (one area) or .mprj").arg(out));
        return ExitStatus::Usage;
    }
    if (refuseSingleWire(ctx))
        return ExitStatus::Usage;
    QVector<Area> areas;
    if (!ctx.areas({Area::Rom}, &areas))
        return ExitStatus::Usage;
    if (kind == FileKind::Bin && areas.size() != 1) {
        ctx.error(QCoreApplication::translate("cli", "a .bin file holds one area; read several into a .mprj"));
        return ExitStatus::Usage;
    }
    const FileOutcome writable = checkWritable(out);
    if (!writable.ok()) {
        ctx.errors(writable.messages);
        return writable.status;
    }
    setEnabledAreas(areas);
    Device device;
    if (const int status = device.open(ctx))
        return status;
    const int code = device.runner().run(workThread::TaskUpChip);
    if (code == 0 && interrupted()) {
        ctx.error(QCoreApplication::translate("cli", "interrupted; %1 not written").arg(out));
        return ExitStatus::Interrupted;
    }
    if (code == 0) {
        refreshChecksums();
        const FileOutcome written = kind == FileKind::Bin ? writeAreaBin(out, int(areas[0])) : writeProject(out);
        if (!written.ok()) {
            ctx.errors(written.messages);
            return written.status;
        }
    }
    return ctx.finish(code, device.runner().lastLabel());
}

int runErase(const CliContext &ctx)
{
    Device device;
    if (const int status = openForChipAreas(ctx, device))
        return status;
    const int code = device.runner().run(workThread::TaskEraseChip);
    return ctx.finish(code, device.runner().lastLabel());
}

int runBlank(const CliContext &ctx)
{
    Device device;
    if (const int status = openForChipAreas(ctx, device))
        return status;
    const int code = device.runner().run(workThread::TaskCheckBlank);
    const QString text = resultText(code, device.runner().lastLabel());
    if (code != 0)
        ctx.error(QCoreApplication::translate("cli", "blank: %1 (%2)")
                      .arg(resultDisplayText(code, text))
                      .arg(code));
    if (ctx.options.json)
        printJson(blankJson(code, text));
    else if (code == 0)
        printText(blankText());
    return exitStatusForResult(code);
}

int runFactory(const CliContext &ctx)
{
    if (refuseSingleWire(ctx))
        return ExitStatus::Usage;
    Device device;
    if (const int status = device.open(ctx))
        return status;
    const int code = device.runner().run(workThread::TaskReadFacParam);
    const QString text = resultText(code, device.runner().lastLabel());
    if (code != 0)
        ctx.error(QCoreApplication::translate("cli", "factory: %1 (%2)")
                      .arg(resultDisplayText(code, text))
                      .arg(code));
    if (ctx.options.json)
        printJson(factoryJson(code, text));
    else if (code == 0)
        printText(factoryText());
    return exitStatusForResult(code);
}
