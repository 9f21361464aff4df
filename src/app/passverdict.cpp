#include "passverdict.h"

#include "engine/resultcodes.h"
#include "files/chipname.h"

#include <QCoreApplication>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("PassVerdict", text);
}

// The failing step of a burn pass; the result-code texts only say "下载失败" for all of them.
QString burnStepText(int code)
{
    switch (code) {
    case 3: return tr("芯片连接失败");
    case 5: return tr("擦除FLASH失败");
    case 6: return tr("写入或校验FLASH失败");
    case 10: return tr("擦除BootLoader失败");
    case 11: return tr("写入BootLoader失败");
    case 27: return tr("退出编程模式失败");
    default: return resultCodeText(code);
    }
}
}

PassVerdict passVerdict(int code, uint16_t foundId, const QString &expectedModel, uint16_t checksum)
{
    if (code == 0)
        return {true, QStringLiteral("OK"), tr("校验和 %1").arg(QString::asprintf("%04X", checksum))};
    if (code == 4)
        return {false, QStringLiteral("NG"),
                tr("需要 %1，检测到 %2").arg(expectedModel, chipNameForId(foundId))};
    return {false, QStringLiteral("NG"), QStringLiteral("%1 (%2)").arg(burnStepText(code)).arg(code)};
}
