#include "filesteps.h"

#include "chip/areas.h"
#include "chipchoice.h"
#include "exitstatus.h"
#include "chip/images.h"
#include "files/binfile.h"
#include "files/hexfile.h"
#include "files/projectfile.h"
#include "files/savefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
// Collects what the loaders tell the user; a box is the window's warning and refuses the load.
struct CollectedMessages
{
    QStringList texts;
    bool warned = false;

    FileMessages sink()
    {
        FileMessages m;
        m.box = [this](const QString &, const QString &text) {
            warned = true;
            if (!texts.contains(text))
                texts << text;
        };
        m.log = [this](const QString &text) {
            if (!texts.contains(text))
                texts << text;
        };
        return m;
    }
};

// The loaders' result codes as the command line reports them; -1 cannot be an empty name here.
QString loaderResultText(int result, const InputFile &in)
{
    switch (result) {
    case -1:
        return in.size == 0 ? QCoreApplication::translate("cli", "empty file")
                            : QCoreApplication::translate("cli", "ends early: truncated");
    case -2: return QCoreApplication::translate("cli", "no such file");
    case -3: return QCoreApplication::translate("cli", "cannot be opened for reading");
    case -4: return QCoreApplication::translate("cli", "header checksum wrong");
    case -5: return QCoreApplication::translate("cli", "info block checksum wrong");
    case -6: return QCoreApplication::translate("cli", "an area is short, damaged or larger than the chip");
    case -7: return QCoreApplication::translate("cli", "chip model not in the chip list");
    default: return QCoreApplication::translate("cli", "refused (%1)").arg(result);
    }
}

FileOutcome badInput(const QStringList &texts)
{
    return {ExitStatus::BadInput, texts};
}

FileOutcome cannotWrite(const QString &path, const QString &reason)
{
    return {ExitStatus::CannotWrite, {QCoreApplication::translate("cli", "%1: cannot write: %2").arg(path, reason)}};
}

// What a HEX load found that its rules pass over without a word: no data at all fails, skipped lines warn.
FileOutcome judgeHexScan(const QString &path, const HexScan &scan, QStringList texts)
{
    if (scan.dataRecords == 0)
        return badInput(texts << QCoreApplication::translate("cli", "%1: no data records").arg(path));
    if (scan.skippedLines > 0)
        texts << QCoreApplication::translate("cli", "%1: warning: %2 line(s) skipped, not Intel HEX records")
                     .arg(path).arg(scan.skippedLines);
    return {0, texts};
}
}

FileOutcome inspectInputFile(const QString &path, InputFile *in)
{
    *in = inspectInput(path);
    if (in->kind == FileKind::Other)
        return {ExitStatus::Usage,
                {QCoreApplication::translate("cli", "%1: not a .hex, .ihx, .bin or .mprj file").arg(path)}};
    if (!in->ok())
        return badInput({in->problem});
    return {};
}

FileOutcome loadImageFile(const InputFile &in, ImageTarget target)
{
    CollectedMessages collected;
    const bool hex = in.kind == FileKind::Hex;
    HexScan scan;
    const int result = hex ? readHexFile(in.path, target, collected.sink(), &scan)
                           : readBinFile(in.path, target, collected.sink());
    // A warning box is the whole story: a damaged HEX record names its line there.
    if (collected.warned)
        return badInput(collected.texts);
    if (result != 0)
        return badInput(collected.texts << QCoreApplication::translate("cli", "%1: %2").arg(in.path, loaderResultText(result, in)));
    FileOutcome outcome{0, collected.texts};
    if (hex)
        outcome = judgeHexScan(in.path, scan, collected.texts);
    else if (targetDataSize(target) == 0)
        outcome = badInput(collected.texts << QCoreApplication::translate("cli", "%1: empty file, no data")
                                                  .arg(in.path));
    if (!outcome.ok())
        return outcome;
    if (target == ImageTarget::BootLoader) {
        g_bEnBL = true;
        fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
    } else {
        g_bEnBin = true;
        fillBinAndSum(g_ucBinBuf, g_nBinSize);
    }
    return outcome;
}

FileOutcome loadProjectFile(const InputFile &in, const ChipChoice &chips)
{
    CollectedMessages collected;
    // The stored model is already current when the loader calls back; there is no view to bring along.
    const int result = loadProject(in.path, chips.windowList(), [](const QString &) {}, collected.sink());
    // A whole project whose serial-number setting is refused: its warning says it all.
    if (result == -8)
        return badInput(collected.texts);
    if (result != 0) {
        QStringList texts = collected.texts;
        texts << QCoreApplication::translate("cli", "项目文件不完整")
              << QCoreApplication::translate("cli", "%1: %2").arg(in.path, loaderResultText(result, in));
        return badInput(texts);
    }
    if (collected.warned)
        return badInput(collected.texts);
    return {0, collected.texts};
}

FileOutcome checkWritable(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir())
            return cannotWrite(path, QCoreApplication::translate("cli", "is a folder"));
        if (!info.isFile())
            return cannotWrite(path, QCoreApplication::translate("cli", "not a regular file"));
        if (!info.isWritable())
            return cannotWrite(path,
                               QCoreApplication::translate("cli", "not writable (no permission or a read-only disk)"));
        return {};
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return cannotWrite(path, QCoreApplication::translate("cli", "no such folder"));
    if (!folder.isWritable())
        return cannotWrite(path,
                           QCoreApplication::translate("cli",
                                                       "folder not writable (no permission or a read-only disk)"));
    return {};
}

FileOutcome writeAreaBin(const QString &path, int areaIndex)
{
    const Area area = Area(areaIndex);
    const FileOutcome writable = checkWritable(path);
    if (!writable.ok())
        return writable;
    if (area == Area::Rom || area == Area::Bl) {
        // The window's BIN save writes whichever of the two is enabled, never both.
        const bool bin = g_bEnBin, bl = g_bEnBL;
        g_bEnBin = area == Area::Rom;
        g_bEnBL = area == Area::Bl;
        QString reason;
        const int result = saveBin(path, FileMessages(), &reason);
        g_bEnBin = bin;
        g_bEnBL = bl;
        if (result != 0)
            return cannotWrite(path, reason);
        return {};
    }
    QString reason;
    const QByteArray bytes(reinterpret_cast<const char *>(areaImage(area)), int(areaLength(area)));
    if (!replaceFile(path, bytes, &reason))
        return cannotWrite(path, reason);
    return {};
}

FileOutcome writeProject(const QString &path)
{
    const FileOutcome writable = checkWritable(path);
    if (!writable.ok())
        return writable;
    QString reason;
    if (saveProject(path, &reason) != 0)
        return cannotWrite(path, reason);
    return {};
}
