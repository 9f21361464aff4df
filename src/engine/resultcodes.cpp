#include "resultcodes.h"

#include "files/chipname.h"
#include "link/linkstate.h"

#include <QStringLiteral>

namespace {
// Result texts are source texts like the engine's labels (see enginetext.h).
QString source(const char *text)
{
    return QString::fromUtf8(text);
}
}

bool isNoLink(int code)
{
    return code == ResultCode::LinkOpenFailed || code == ResultCode::LinkLocked;
}

bool endsBurn(int code)
{
    return code == ResultCode::Success || code == ResultCode::WrongChip;
}

bool endsAutoBurn(int code)
{
    return code == ResultCode::WrongChip || isNoLink(code);
}

QString resultCodeText(int code)
{
    switch (code) {
    case 0:
    case 4:
        return QString();
    case 1: case 5: case 6: case 8: case 10: case 11: case 13: case 15: case 16: case 18: case 19: case 20:
    case 21: case 22: case 23: case 28: case 30: case 32: case 34:
        return source(QT_TRANSLATE_NOOP("engine", "下载失败"));
    case 2: case 7: case 9: case 12: case 14: case 17: case 24: case 25: case 26: case 29: case 31: case 33:
        return source(QT_TRANSLATE_NOOP("engine", "上传失败"));
    case 3:
    case 27:
        return source(QT_TRANSLATE_NOOP("engine", "芯片连接失败"));
    case 35:
        return source(QT_TRANSLATE_NOOP("engine", "清空存储失败"));
    case 36:
        return source(QT_TRANSLATE_NOOP("engine", "打开USB失败"));
    case 37:
        return source(QT_TRANSLATE_NOOP("engine", "usb被其他app占用了"));
    default:
        return source(QT_TRANSLATE_NOOP("engine", "未知错误"));
    }
}

QString linkErrorLogText(int code)
{
    switch (code) {
    case 1: return source(QT_TRANSLATE_NOOP("engine", "芯片连接失败"));
    case 2: return source(QT_TRANSLATE_NOOP("engine", "下载FLASH失败"));
    case 3: return source(QT_TRANSLATE_NOOP("engine", "下载BootLoader失败"));
    case 4: return source(QT_TRANSLATE_NOOP("engine", "下载EEPROM失败"));
    case 5: case 6: case 7: return source(QT_TRANSLATE_NOOP("engine", "下载NVR失败"));
    case 8: return source(QT_TRANSLATE_NOOP("engine", "序列号达到最大值"));
    case 9: return source(QT_TRANSLATE_NOOP("engine", "序列号下载区域出错"));
    case 10: return source(QT_TRANSLATE_NOOP("engine", "烧录次数达到最大值"));
    default: return source(QT_TRANSLATE_NOOP("engine", "未知错误"));
    }
}

QString resultText(int code, const QString &label)
{
    if (code == 0)
        return label;
    if (code == ResultCode::WrongChip)
        return QStringLiteral("目标MCU是 ") + chipNameForId(g_wChipId);
    return resultCodeText(code);
}
