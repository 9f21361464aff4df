#include "exitstatus.h"

#include <QSet>

int exitStatusForResult(int code)
{
    if (code >= 0 && code <= 38)
        return code;
    return ExitStatus::NotSupported;
}

QString resultMessage(int code)
{
    static const QSet<int> download = {1, 5, 6, 8, 10, 11, 13, 15, 16, 18, 19, 20, 21, 22, 23, 28, 30, 32, 34};
    static const QSet<int> upload = {2, 7, 9, 12, 14, 17, 24, 25, 26, 29, 31, 33};
    if (code == 0 || code == 4)
        return QString();
    if (download.contains(code))
        return QStringLiteral("下载失败");
    if (upload.contains(code))
        return QStringLiteral("上传失败");
    switch (code) {
    case 3:
    case 27:
        return QStringLiteral("芯片连接失败");
    case 35:
        return QStringLiteral("清空存储失败");
    case 36:
        return QStringLiteral("打开USB失败");
    case 37:
        return QStringLiteral("usb被其他app占用了");
    default:
        return QStringLiteral("未知错误");
    }
}
