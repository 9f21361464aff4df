#include "inputfile.h"

#include "cfgdb.h"
#include "passwordcodec.h"
#include "projectfile.h"
#include "chip/images.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString typeName(const QFileInfo &info)
{
    if (info.isDir())
        return QCoreApplication::translate("files", "文件夹");
    // QFileInfo calls everything that is neither a file nor a folder a "system" entry; a FIFO and a
    // device are the ones a user meets.
    return QCoreApplication::translate("files", "管道、套接字或设备文件");
}
}

qint64 projectFileMaxSize()
{
    const qint64 tables = 4 * qint64(NVR_BUF_SIZE);  // NVR1, NVR2, NVR3, EEPROM
    const qint64 v1 = PROJECT_HEADER_SIZE + PROJECT_INFO_SIZE + PROJECT_NAME_SIZE + tables + BIN_BUF_SIZE
                      + NVR_BIN_BUF_SIZE + PASSWORD_BLOCK_SIZE + PROJECT_CALIBRATION_SIZE;
    const qint64 v0 = PROJECT_HEADER_SIZE + PROJECT_INFO_SIZE + tables + PROJECT_V0_NAME_SIZE + BIN_BUF_SIZE;
    return std::max(v0, v1);
}

qint64 cfgFileMaxSize()
{
    return 2 * qint64(CFG_PAD_SIZE) + 1;
}

qint64 inputMaxSize(FileKind kind)
{
    switch (kind) {
    case FileKind::Hex: return HEX_FILE_MAX_SIZE;
    case FileKind::Bin: return RAW_FILE_MAX_SIZE;
    case FileKind::Project: return projectFileMaxSize();
    case FileKind::Other: break;
    }
    return 0;
}

QString inputProblem(const QString &path, qint64 maxSize)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QCoreApplication::translate("files", "%1：文件不存在").arg(path);
    if (!info.isFile())
        return QCoreApplication::translate("files", "%1：是%2，不是普通文件").arg(path, typeName(info));
    if (info.size() > maxSize)
        return QCoreApplication::translate("files", "%1：%2 字节，超过此类文件最多的 %3 字节")
            .arg(path)
            .arg(info.size())
            .arg(maxSize);
    return QString();
}

QString outputProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return QString();
    return QCoreApplication::translate("files", "是%1，不是普通文件").arg(typeName(info));
}

InputFile inspectInput(const QString &path)
{
    InputFile in;
    in.path = path;
    in.kind = fileKindOf(path);
    if (in.kind == FileKind::Other)
        return in;
    in.problem = inputProblem(path, inputMaxSize(in.kind));
    if (in.ok())
        in.size = QFileInfo(path).size();
    return in;
}
