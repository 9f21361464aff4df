#include "passverdict.h"

#include "engine/enginetext.h"
#include "engine/resultcodes.h"
#include "files/chipname.h"

#include <QCoreApplication>

namespace {
// The failing step of a burn pass; the result-code texts only say "下载失败" for all of them.
QString burnStepText(int code)
{
    switch (code) {
    case 3: return QCoreApplication::translate("PassVerdict", "芯片连接失败");
    case 5: return QCoreApplication::translate("PassVerdict", "擦除FLASH失败");
    case 6: return QCoreApplication::translate("PassVerdict", "写入或校验FLASH失败");
    case 10: return QCoreApplication::translate("PassVerdict", "擦除BootLoader失败");
    case 11: return QCoreApplication::translate("PassVerdict", "写入BootLoader失败");
    case 27: return QCoreApplication::translate("PassVerdict", "退出编程模式失败");
    default: return engineText(resultCodeText(code));
    }
}
}

PassVerdict passVerdict(int code, uint16_t foundId, const QString &expectedModel, uint16_t checksum)
{
    if (code == 0)
        return {true, QStringLiteral("OK"), QCoreApplication::translate("PassVerdict", "校验和 %1").arg(QString::asprintf("%04X", checksum))};
    if (code == ResultCode::WrongChip)
        return {false, QStringLiteral("NG"),
                wrongChipText(expectedModel, chipNameForId(foundId))};
    return {false, QStringLiteral("NG"), QStringLiteral("%1 (%2)").arg(burnStepText(code)).arg(code)};
}

PassVerdict operationVerdict(const QString &operation, int code)
{
    if (code == 0)
        return {true, QStringLiteral("OK"), QCoreApplication::translate("PassVerdict", "%1完成").arg(operation)};
    if (code == ResultCode::WrongChip)
        return {false, QStringLiteral("NG"),
                QCoreApplication::translate("PassVerdict", "%1：芯片型号不符").arg(operation)};
    return {false, QStringLiteral("NG"),
            QCoreApplication::translate("PassVerdict", "%1：%2 (%3)").arg(operation, burnStepText(code)).arg(code)};
}
