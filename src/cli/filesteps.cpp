#include "filesteps.h"

#include "areas.h"
#include "chipchoice.h"
#include "exitstatus.h"
#include "chip/images.h"
#include "files/binfile.h"
#include "files/hexfile.h"
#include "files/projectfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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

QString loaderResultText(int result)
{
    switch (result) {
    case -1: return QStringLiteral("empty file name");
    case -2: return QStringLiteral("no such file");
    case -3: return QStringLiteral("cannot be opened for reading");
    case -4: return QStringLiteral("header checksum wrong");
    case -5: return QStringLiteral("info block checksum wrong");
    case -6: return QStringLiteral("an area is short, damaged or larger than the chip");
    case -7: return QStringLiteral("chip model not in the chip list");
    default: return QStringLiteral("refused (%1)").arg(result);
    }
}

FileOutcome badInput(const QStringList &texts)
{
    return {ExitStatus::BadInput, texts};
}

FileOutcome cannotWrite(const QString &path, const QString &reason)
{
    return {ExitStatus::CannotWrite, {QStringLiteral("%1: cannot write: %2").arg(path, reason)}};
}
}

FileOutcome loadImageFile(const QString &path, ImageTarget target)
{
    CollectedMessages collected;
    const bool hex = fileKindOf(path) == FileKind::Hex;
    const int result = hex ? readHexFile(path, target, collected.sink()) : readBinFile(path, target, collected.sink());
    if (result != 0) {
        QStringList texts = collected.texts;
        texts << (hex ? QStringLiteral("hex 文件为空") : QStringLiteral("bin 文件为空"))
              << QStringLiteral("%1: %2").arg(path, loaderResultText(result));
        return badInput(texts);
    }
    if (collected.warned)
        return badInput(collected.texts);
    if (target == ImageTarget::BootLoader) {
        g_bEnBL = true;
        fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
    } else {
        g_bEnBin = true;
        fillBinAndSum(g_ucBinBuf, g_nBinSize);
    }
    return {0, collected.texts};
}

FileOutcome loadProjectFile(const QString &path, const ChipChoice &chips)
{
    CollectedMessages collected;
    // The stored model is already current when the loader calls back; there is no view to bring along.
    const int result = loadProject(path, chips.windowList(), [](const QString &) {}, collected.sink());
    if (result != 0) {
        QStringList texts = collected.texts;
        texts << QStringLiteral("项目文件不完整") << QStringLiteral("%1: %2").arg(path, loaderResultText(result));
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
            return cannotWrite(path, QStringLiteral("is a folder"));
        if (!info.isWritable())
            return cannotWrite(path, QStringLiteral("permission denied"));
        return {};
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return cannotWrite(path, QStringLiteral("no such folder"));
    if (!folder.isWritable())
        return cannotWrite(path, QStringLiteral("folder not writable"));
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
        const int result = saveBin(path, FileMessages());
        g_bEnBin = bin;
        g_bEnBL = bl;
        if (result != 0)
            return cannotWrite(path, QStringLiteral("write failed"));
        return {};
    }
    QSaveFile file(path);
    const QByteArray bytes(reinterpret_cast<const char *>(areaImage(area)), int(areaLength(area)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return cannotWrite(path, file.errorString());
    return {};
}

FileOutcome writeProject(const QString &path)
{
    const FileOutcome writable = checkWritable(path);
    if (!writable.ok())
        return writable;
    if (saveProject(path) != 0)
        return cannotWrite(path, QStringLiteral("write failed"));
    return {};
}
