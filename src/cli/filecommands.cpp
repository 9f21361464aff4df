#include "commands.h"

#include "chipchoice.h"
#include "exitstatus.h"
#include "filesteps.h"
#include "reports.h"
#include "chip/images.h"

#include <QCoreApplication>

namespace {
QVector<Area> imageAreas(ImageTarget target)
{
    return {target == ImageTarget::BootLoader ? Area::Bl : Area::Rom};
}

// Loads IN for info and convert: an image into `target`, a project as a whole.
int loadInput(const CliContext &ctx, const QString &path, ImageTarget target)
{
    InputFile in;
    FileOutcome loaded = inspectInputFile(path, &in);
    if (loaded.ok() && in.kind == FileKind::Project) {
        loaded = loadProjectFile(in, ctx.chips);
    } else if (loaded.ok()) {
        if (target == ImageTarget::BootLoader && !areaUnavailableReason(Area::Bl).isEmpty()) {
            ctx.error(areaUnavailableReason(Area::Bl));
            return ExitStatus::Usage;
        }
        loaded = loadImageFile(in, target);
        if (loaded.ok())
            setEnabledAreas(imageAreas(target));
    }
    ctx.errors(loaded.messages);
    if (loaded.ok())
        refreshChecksums();
    return loaded.status;
}
}

int runChips(const CliContext &ctx)
{
    const QVector<McuInfo> chips = ctx.chips.selectable();
    if (ctx.options.json)
        printJson(chipsJson(chips));
    else
        printText(chipsText(chips));
    return ExitStatus::Success;
}

int runInfo(const CliContext &ctx)
{
    const bool bootLoader = ctx.options.areas == QStringList{QStringLiteral("bl")};
    const int status = loadInput(ctx, ctx.options.operands[0],
                                 bootLoader ? ImageTarget::BootLoader : ImageTarget::Flash);
    if (status != 0)
        return status;
    if (ctx.options.json)
        printJson(infoJson());
    else
        printText(infoText());
    return ExitStatus::Success;
}

int runConvert(const CliContext &ctx)
{
    const QString in = ctx.options.operands[0];
    const QString out = ctx.options.operands[1];
    const FileKind outKind = fileKindOf(out);
    if (outKind != FileKind::Bin && outKind != FileKind::Project) {
        ctx.error(QCoreApplication::translate("cli", "%1: write .bin or .mprj").arg(out));
        return ExitStatus::Usage;
    }
    const bool toBootLoader = ctx.options.to == QLatin1String("bl");
    const int status = loadInput(ctx, in, toBootLoader ? ImageTarget::BootLoader : ImageTarget::Flash);
    if (status != 0)
        return status;

    FileOutcome written;
    if (outKind == FileKind::Bin) {
        Area area = toBootLoader ? Area::Bl : Area::Rom;
        // A project with only its BootLoader enabled converts to that image without --to.
        if (ctx.options.to.isEmpty() && !g_bEnBin && g_bEnBL)
            area = Area::Bl;
        if (!areaEnabled(area) || areaDataSize(area) == 0) {
            ctx.error(QCoreApplication::translate("cli", "%1 holds no %2 image").arg(in, areaName(area)));
            return ExitStatus::BadInput;
        }
        written = writeAreaBin(out, int(area));
    } else {
        // An enabled image without data would burn nothing; the project keeps only what was read.
        for (Area area : {Area::Rom, Area::Bl}) {
            if (areaEnabled(area) && areaDataSize(area) == 0) {
                ctx.error(QCoreApplication::translate("cli", "%1: the %2 image is empty").arg(in, areaName(area)));
                return ExitStatus::BadInput;
            }
        }
        written = writeProject(out);
    }
    ctx.errors(written.messages);
    if (written.ok() && ctx.options.json)
        printJson(resultJson(0, QString()));
    return written.status;
}
