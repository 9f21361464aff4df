#include "commands.h"

#include "chipchoice.h"
#include "device.h"
#include "exitstatus.h"
#include "filesteps.h"
#include "gangserial.h"
#include "linklease.h"
#include "projectcompare.h"
#include "reports.h"
#include "chip/images.h"
#include "engine/enginetext.h"
#include "engine/resultcodes.h"
#include "files/inputfile.h"
#include "chip/mcuinfo.h"
#include "link/firmwarefile.h"
#include "production/productionsettings.h"

#include <QCoreApplication>

namespace {
bool needProject(const CliContext &ctx, const QString &path)
{
    if (fileKindOf(path) == FileKind::Project)
        return true;
    ctx.error(QCoreApplication::translate("cli", "%1: %2 takes a .mprj project").arg(path, ctx.options.command));
    return false;
}

int loadProjectFor(const CliContext &ctx, const QString &path)
{
    InputFile in;
    FileOutcome loaded = inspectInputFile(path, &in);
    if (loaded.ok())
        loaded = loadProjectFile(in, ctx.chips);
    ctx.errors(loaded.messages);
    return loaded.status;
}

// The upload names the chip by its catalogue model; the window's list (and so a saved project) uses the
// display name cfg.db gives it.
void useDisplayName(const ChipChoice &chips)
{
    if (const McuInfo *chip = chips.find(g_currentMcu.strName))
        g_currentMcu.strName = chip->strName;
}

// The upload's codes share their numbers with the download's (1: the stored configuration could not be
// read), so the shared table would call a failed upload a failed download.
int finishUpload(const CliContext &ctx, int code, const QString &label)
{
    if (code == ResultCode::Success || isNoLink(code))
        return ctx.finish(code, label);
    return ctx.finishWithText(code, QStringLiteral("上传失败"));
}

// Upload into fresh images, so nothing of an earlier state can pass for the Link's data.
int uploadFromLink(const CliContext &ctx, Device &device)
{
    resetImages();
    resetProduction();
    const int code = device.runner().run(workThread::TaskUpload);
    if (code != 0)
        return code;
    useDisplayName(ctx.chips);
    // A project file must carry the sums of its data, or it cannot be loaded again.
    uint16_t stored[6];
    for (Area area : allAreas())
        stored[int(area)] = areaChecksum(area);
    refreshChecksums();
    for (Area area : enabledAreas()) {
        if (areaChecksum(area) != stored[int(area)])
            ctx.error(QCoreApplication::translate("cli",
                                                  "%1: the Link's stored checksum %2 does not match its data (%3)")
                          .arg(areaName(area), hex4(stored[int(area)]), hex4(areaChecksum(area))));
    }
    return 0;
}
}

int runDownload(const CliContext &ctx)
{
    const QString path = ctx.options.operands[0];
    if (!needProject(ctx, path))
        return ExitStatus::Usage;
    if (const int status = loadProjectFor(ctx, path))
        return status;
    if (!ctx.options.gangSerial.isEmpty() && !applyGangSerial(ctx.options.gangSerial)) {
        ctx.error(QCoreApplication::translate("cli", "--gang-serial takes START:STEP"));
        return ExitStatus::Usage;
    }
    // A gang's worker downloads the block its parent leased.
    const bool leasing = !ctx.options.serialSpace.isEmpty() && !ctx.options.gangWorker;
    if (ctx.options.gangWorker && !ctx.options.serialSpace.isEmpty() && ctx.options.gangSerial.isEmpty()) {
        ctx.error(QCoreApplication::translate("cli", "--serial in a gang's worker needs the block its parent leased"));
        return ExitStatus::Usage;
    }
    QVector<Area> areas;
    if (!ctx.areas(enabledAreas(), &areas))
        return ExitStatus::Usage;
    setEnabledAreas(areas);
    refreshChecksums();
    if (areas.isEmpty() && !g_bEnRollCode && !g_bEnEncryption) {
        ctx.error(QCoreApplication::translate("cli", "请勾选下载内容"));
        return ExitStatus::Usage;
    }
    if ((g_bEnBin && g_nBinSize == 0) || (g_bEnBL && g_nNVRBinSize == 0)) {
        ctx.error(QCoreApplication::translate("cli", "%1: the image to download is empty").arg(path));
        return ExitStatus::BadInput;
    }
    LinkLeases leases;
    if (leasing) {
        if (const int status = leases.prepare(ctx, 1))
            return status;
    }
    Device device;
    if (const int status = device.open(ctx))
        return status;
    // Held by this process from here (its lock is taken): the lease names the Link that gets it.
    const QString port = oneLinkPort(ctx);
    if (leasing) {
        if (port.isEmpty()) {
            ctx.error(resultDisplayText(36, resultCodeText(36)));
            return exitStatusForResult(36);
        }
        if (const int status = leases.take(ctx, {port}))
            return status;
        g_rollingSet = leasedRecord(g_rollingSet, *leases.leaseOf(port));
    } else if (ctx.options.serialSpace.isEmpty()) {
        if (const int status = closeHeldLease(ctx, port, SerialLease::Reason::Replaced))
            return status;
    }
    const int code = device.runner().run(workThread::TaskDownload);
    const QString label = device.runner().lastLabel();
    const int settled = leases.settle(ctx, port, code == 0, QStringLiteral("%1 %2").arg(code).arg(resultText(code, label)));
    const int status = ctx.finish(code, label, leases.resultJson(port));
    return status != ExitStatus::Success ? status : settled;
}

int runUpload(const CliContext &ctx)
{
    const QString out = ctx.options.operands[0];
    if (!needProject(ctx, out))
        return ExitStatus::Usage;
    const FileOutcome writable = checkWritable(out);
    if (!writable.ok()) {
        ctx.errors(writable.messages);
        return writable.status;
    }
    Device device;
    if (const int status = device.open(ctx))
        return status;
    const int code = uploadFromLink(ctx, device);
    if (code == 0 && interrupted()) {
        ctx.error(QCoreApplication::translate("cli", "interrupted; %1 not written").arg(out));
        return ExitStatus::Interrupted;
    }
    if (code == 0) {
        const FileOutcome written = writeProject(out);
        if (!written.ok()) {
            ctx.errors(written.messages);
            return written.status;
        }
    }
    return finishUpload(ctx, code, device.runner().lastLabel());
}

int runCompareLink(const CliContext &ctx)
{
    const QString path = ctx.options.operands[0];
    if (!needProject(ctx, path))
        return ExitStatus::Usage;
    if (const int status = loadProjectFor(ctx, path))
        return status;
    const ProjectState file = ProjectState::capture();
    Device device;
    if (const int status = device.open(ctx))
        return status;
    const int code = uploadFromLink(ctx, device);
    if (code != 0)
        return finishUpload(ctx, code, device.runner().lastLabel());
    const ProjectComparison comparison = compareProjects(file, ProjectState::capture());
    if (ctx.options.json) {
        QJsonObject object = comparison.json;
        object.insert(QStringLiteral("result"), comparison.equal ? 0 : 1);
        object.insert(QStringLiteral("text"), comparison.equal ? QStringLiteral("equal") : QStringLiteral("different"));
        printJson(object);
    } else {
        printText(comparison.equal ? QCoreApplication::translate("cli", "equal\n")
                                   : comparison.differenceTexts.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
    return comparison.equal ? ExitStatus::Success : 1;
}

int runFwVersion(const CliContext &ctx)
{
    Device device;
    if (const int status = device.open(ctx))
        return status;
    EngineRunner &runner = device.runner();
    // The query answers 0.0.0 on every failure; the Link could not be reached.
    const int code = runner.run(workThread::TaskFwVersion) == 0 ? 0 : 36;
    const QString version = versionText(runner.versionH(), runner.versionM(), runner.versionL());
    if (code != 0)
        ctx.error(QCoreApplication::translate("cli", "fw-version: %1 (%2)")
                      .arg(engineText(resultCodeText(code))).arg(code));
    if (ctx.options.json)
        printJson(fwVersionJson(code, runner.versionH(), runner.versionM(), runner.versionL()));
    else if (code == 0)
        printText(version + QLatin1Char('\n'));
    return exitStatusForResult(code);
}

int runUpgrade(const CliContext &ctx)
{
    const QString path = ctx.options.operands[0];
    // Checked before the loader opens it: a FIFO would block the upgrade forever. The limit leaves the
    // loader's own message for a file larger than the Link's firmware space.
    const QString problem = inputProblem(path, RAW_FILE_MAX_SIZE);
    if (!problem.isEmpty()) {
        ctx.error(problem);
        return ExitStatus::BadInput;
    }
    bool truncated = false;
    const int loaded = loadFirmwareFile(path, &truncated);
    if (loaded == FirmwareBadName) {
        ctx.error(QCoreApplication::translate("cli", "%1: a firmware file is named <name>-<HH>-<SSSSSS>.bin (hardware "
                                                     "and software version digits)")
                      .arg(path));
        return ExitStatus::BadInput;
    }
    if (loaded != FirmwareRead) {
        ctx.error(QCoreApplication::translate("cli", "%1: cannot read the firmware file").arg(path));
        return ExitStatus::BadInput;
    }
    // Nothing to send: the Link would be left erased, and the failure would read as a write error.
    if (g_nAppBinSize == 0) {
        ctx.error(QCoreApplication::translate("cli", "%1: empty file, no firmware").arg(path));
        g_bAppBinLoaded.store(0);
        return ExitStatus::BadInput;
    }
    if (truncated) {
        ctx.error(QCoreApplication::translate("cli", "%1: larger than the Link's %2 bytes of firmware space")
                      .arg(path).arg(FIRMWARE_MAX_SIZE));
        g_bAppBinLoaded.store(0);
        return ExitStatus::BadInput;
    }
    Device device;
    if (const int status = device.open(ctx))
        return status;
    const int code = device.runner().run(workThread::TaskUpdataWriter);
    return ctx.finish(code, device.runner().lastLabel());
}

int runEraseLink(const CliContext &ctx)
{
    Device device;
    if (const int status = device.open(ctx))
        return status;
    const int code = device.runner().run(workThread::TaskEraseExterFlash);
    const int status = ctx.finish(code, device.runner().lastLabel());
    if (code != 0)
        return status;
    return closeHeldLease(ctx, oneLinkPort(ctx), SerialLease::Reason::Erased);
}
