#include "systemreason.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace {
struct Reason
{
    int code;
    const char *text;
};

const Reason kReasons[] = {
    {EPERM, QT_TRANSLATE_NOOP("systemReason", "不允许此操作")},
    {ENOENT, QT_TRANSLATE_NOOP("systemReason", "文件或文件夹不存在")},
    {EIO, QT_TRANSLATE_NOOP("systemReason", "输入输出错误(磁盘或U盘可能有故障)")},
    {EACCES, QT_TRANSLATE_NOOP("systemReason", "没有权限")},
    {EEXIST, QT_TRANSLATE_NOOP("systemReason", "文件已存在")},
    {ENOTDIR, QT_TRANSLATE_NOOP("systemReason", "路径中的某一项不是文件夹")},
    {EISDIR, QT_TRANSLATE_NOOP("systemReason", "这是一个文件夹")},
    {EMFILE, QT_TRANSLATE_NOOP("systemReason", "打开的文件太多")},
    {EFBIG, QT_TRANSLATE_NOOP("systemReason", "文件太大")},
    {ENOSPC, QT_TRANSLATE_NOOP("systemReason", "磁盘已满")},
    {EROFS, QT_TRANSLATE_NOOP("systemReason", "磁盘是只读的")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("systemReason", "文件名太长")},
    {EBUSY, QT_TRANSLATE_NOOP("systemReason", "文件正被使用")},
};
}

QString systemReasonText(const QString &systemText)
{
    // Our own messages carry the system's words inside them too ("...未能全部写入文件（No space left on device）").
    QString text = systemText;
    for (const Reason &r : kReasons) {
        const QString system = QString::fromLocal8Bit(std::strerror(r.code));
        if (!system.isEmpty())
            text.replace(system, QCoreApplication::translate("systemReason", r.text));
    }
    return text;
}
