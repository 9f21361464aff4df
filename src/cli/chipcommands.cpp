#include "commands.h"

#include "burnobserver.h"
#include "chipchoice.h"
#include "device.h"
#include "exitstatus.h"
#include "filesteps.h"
#include "productionlog.h"
#include "progressdisplay.h"
#include "reports.h"
#include "chip/images.h"
#include "engine/engineflags.h"
#include "link/linkstate.h"

#include <QDateTime>

#include <cstring>

namespace {
const QString kSingleWireRefused = QStringLiteral("单线模式暂不支持此功能");

// Read-back, erase, blank check and the factory read need the I2C interface.
bool refuseSingleWire(const CliContext &ctx)
{
    if (!ctx.options.singleWire)
        return false;
    ctx.error(kSingleWireRefused);
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
    const FileKind kind = fileKindOf(path);
    if (kind == FileKind::Other) {
        ctx.error(QStringLiteral("%1: not a .hex, .bin or .mprj file").arg(path));
        return ExitStatus::Usage;
    }
    FileOutcome loaded;
    QVector<Area> areas;
    if (kind == FileKind::Project) {
        loaded = loadProjectFile(path, ctx.chips);
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
            ctx.error(rom ? QStringLiteral("a .hex or .bin file fills one image: burn rom and bl together from a project")
                          : QStringLiteral("a .hex or .bin file needs rom or bl in --areas"));
            return ExitStatus::Usage;
        }
        loaded = loadImageFile(path, bl ? ImageTarget::BootLoader : ImageTarget::Flash);
        ctx.errors(loaded.messages);
        if (!loaded.ok())
            return loaded.status;
    }
    setEnabledAreas(areas);
    if (areas.isEmpty()) {
        ctx.error(QStringLiteral("请选择烧录区域"));
        return ExitStatus::Usage;
    }
    // The window opens a file first rather than burn an empty image.
    if ((g_bEnBin && g_nBinSize == 0) || (g_bEnBL && g_nNVRBinSize == 0)) {
        ctx.error(QStringLiteral("%1: the image to burn is empty").arg(path));
        return ExitStatus::BadInput;
    }
    refreshChecksums();
    return ExitStatus::Success;
}

ProductionRecord recordFor(const PassResult &pass, const QString &text)
{
    ProductionRecord r;
    r.time = QDateTime::currentDateTime();
    r.chipModel = g_currentMcu.strName;
    r.chipId = pass.chipId;
    for (Area area : enabledAreas()) {
        r.areas << areaName(area);
        r.checksums << hex4(areaChecksum(area));
    }
    r.result = pass.code;
    r.text = text;
    return r;
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
                ctx.error(QStringLiteral("verify: %1 differs at 0x%2: burned %3, read %4")
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

int burnOnce(const CliContext &ctx, Device &device, ProductionLog *log)
{
    EngineRunner &runner = device.runner();
    BurnObserver observer(runner.worker());
    int lastFailure = 0;
    QObject::connect(&observer, &BurnObserver::passFinished, [&](PassResult pass) {
        if (pass.code == 0 || pass.code == 4)
            return;  // these end the burn; logged with its result
        lastFailure = pass.code;
        const QString text = resultText(pass.code, QString());
        ctx.error(QStringLiteral("chip %1 failed: %2 (%3); waiting for the next chip, Ctrl-C ends")
                      .arg(hex4(pass.chipId), text)
                      .arg(pass.code));
        if (log)
            log->append(recordFor(pass, text));
    });

    g_bBurnChipHandled.store(0);
    g_bBurnRunning.store(1);
    int code = runner.run(workThread::TaskBurn);
    QString label = runner.lastLabel();
    const uint16_t chipId = g_wChipId;
    if (code == EngineRunner::kNoResult) {
        ctx.error(QStringLiteral("interrupted"));
        return lastFailure ? exitStatusForResult(lastFailure) : ExitStatus::Interrupted;
    }
    if (code == 0 && ctx.options.verify) {
        code = verifyBurn(ctx, runner);
        label = code == 0 ? QStringLiteral("烧写成功") : label;
    }
    // 36 and 37 end the burn before any chip answered.
    if (log && code != 36 && code != 37)
        log->append(recordFor({code, chipId}, resultText(code, label)));
    return ctx.finish(code, label);
}

int burnLoop(const CliContext &ctx, Device &device, ProductionLog *log)
{
    EngineRunner &runner = device.runner();
    BurnObserver observer(runner.worker());
    int chips = 0;
    QObject::connect(&observer, &BurnObserver::passFinished, [&](PassResult pass) {
        ++chips;
        const QString text = resultText(pass.code, pass.code == 0 ? QStringLiteral("烧写成功") : QString());
        if (ctx.options.json) {
            QJsonObject line = resultJson(pass.code, text);
            line.insert(QStringLiteral("chip"), chips);
            line.insert(QStringLiteral("chipId"), hex4(pass.chipId));
            printJson(line);
        } else {
            printText(QStringLiteral("chip %1: id %2, %3 %4\n").arg(chips).arg(hex4(pass.chipId)).arg(pass.code).arg(text));
        }
        if (log)
            log->append(recordFor(pass, text));
    });

    g_bAutoBurnChipHandled.store(0);
    g_bAutoBurnRunning.store(1);
    const int code = runner.run(workThread::TaskAutoBurn);
    if (code == EngineRunner::kNoResult)
        return ctx.finish(0, QStringLiteral("%1 chip(s)").arg(chips));
    return ctx.finish(code, runner.lastLabel());
}
}

int runBurn(const CliContext &ctx)
{
    if (ctx.options.verify && ctx.options.loop) {
        ctx.error(QStringLiteral("--verify needs the Link between chips; it cannot follow --loop"));
        return ExitStatus::Usage;
    }
    if (ctx.options.verify && refuseSingleWire(ctx))
        return ExitStatus::Usage;
    const int prepared = prepareBurnImage(ctx);
    if (prepared != 0)
        return prepared;
    ProductionLog log;
    if (!ctx.options.logFile.isEmpty() && !log.open(ctx.options.logFile)) {
        ctx.error(QStringLiteral("%1: cannot write: %2").arg(ctx.options.logFile, log.errorString()));
        return ExitStatus::CannotWrite;
    }
    Device device;
    if (const int status = device.open(ctx))
        return status;
    ProductionLog *record = ctx.options.logFile.isEmpty() ? nullptr : &log;
    return ctx.options.loop ? burnLoop(ctx, device, record) : burnOnce(ctx, device, record);
}

int runRead(const CliContext &ctx)
{
    const QString out = ctx.options.operands[0];
    const FileKind kind = fileKindOf(out);
    if (kind != FileKind::Bin && kind != FileKind::Project) {
        ctx.error(QStringLiteral("%1: write .bin (one area) or .mprj").arg(out));
        return ExitStatus::Usage;
    }
    if (refuseSingleWire(ctx))
        return ExitStatus::Usage;
    QVector<Area> areas;
    if (!ctx.areas({Area::Rom}, &areas))
        return ExitStatus::Usage;
    if (kind == FileKind::Bin && areas.size() != 1) {
        ctx.error(QStringLiteral("a .bin file holds one area; read several into a .mprj"));
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
        ctx.error(QStringLiteral("interrupted; %1 not written").arg(out));
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
        ctx.error(QStringLiteral("blank: %1 (%2)").arg(text).arg(code));
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
        ctx.error(QStringLiteral("factory: %1 (%2)").arg(text).arg(code));
    if (ctx.options.json)
        printJson(factoryJson(code, text));
    else if (code == 0)
        printText(factoryText());
    return exitStatusForResult(code);
}
