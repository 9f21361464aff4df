#include "binfile.h"

#include "hexfile.h"
#include "inputfile.h"
#include "savefile.h"
#include "chip/images.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

int readBinFile(const QString &path, ImageTarget target, const FileMessages &msgs)
{
    if (path.isEmpty())
        return -1;
    if (!QFileInfo::exists(path))
        return -2;
    const QString problem = inputProblem(path, RAW_FILE_MAX_SIZE);
    if (!problem.isEmpty()) {
        msgs.appendLog(problem);
        return -3;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -3;

    uint32_t &dataSize = targetDataSize(target);
    const qint64 length = file.size();
    if (length > targetLimit(target)) {
        dataSize = 0;
        const QString text = imageOverflowText(target, true);
        msgs.showBox(QCoreApplication::translate("files", "警告"), text);
        msgs.appendLog(text);
        return 0;
    }
    // A file that shrank since its size was taken leaves only what was really read.
    const qint64 got = file.read(reinterpret_cast<char *>(targetBuffer(target)), length);
    dataSize = static_cast<uint32_t>(std::max<qint64>(got, 0));
    return 0;
}

int saveBin(const QString &path, const FileMessages &msgs, QString *error)
{
    if (g_bEnBin && g_bEnBL) {
        msgs.showBox(QCoreApplication::translate("files", "警告"),
                     QCoreApplication::translate("files", "不能同时保存bin/bl"));
        return -1;
    }
    if (path.isEmpty())
        return -1;
    QByteArray bytes;
    if (g_bEnBin)
        bytes = QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), int(std::min(g_nBinSize, BIN_BUF_SIZE)));
    else if (g_bEnBL)
        bytes = QByteArray(reinterpret_cast<const char *>(g_ucNVRBinBuf),
                           int(std::min(g_nNVRBinSize, NVR_BIN_BUF_SIZE)));
    return replaceFile(path, bytes, error) ? 0 : -3;
}
