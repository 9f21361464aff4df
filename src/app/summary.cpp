#include "summary.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "production/productionsettings.h"

#include <QStringList>

QString settingsSummaryText(const SummaryFlags &f)
{
    QStringList items;
    const auto add = [&items](bool on, const QString &name) {
        if (on)
            items << name;
    };
    add(f.rom, QStringLiteral("ROM"));
    add(f.bootLoader, QStringLiteral("BL"));
    add(f.eeprom, QStringLiteral("EE"));
    add(f.nvr1, QStringLiteral("NVR") + QStringLiteral("1"));
    add(f.userCfg, QStringLiteral("用户配置"));
    add(f.nvr3, QStringLiteral("NVR") + QString::number(f.nvr3Page));
    add(f.rollCode, QStringLiteral("序列号"));
    add(f.encryption, QStringLiteral("加密"));
    add(f.limit, QStringLiteral("烧录次数"));
    add(f.autoBurner, QStringLiteral("机台烧录"));
    add(f.uartMode, QStringLiteral("单线烧录"));
    add(f.uploadProtect, QStringLiteral("上传保护"));
    add(f.autoWrite, QStringLiteral("自动烧录"));
    return QStringLiteral("烧录项: ") + items.join(QLatin1Char('-'));
}

SummaryFlags currentSummaryFlags()
{
    SummaryFlags f;
    f.rom = g_bEnBin;
    f.bootLoader = g_bEnBL;
    f.eeprom = g_bEnEE;
    f.nvr1 = g_bEnNVR1;
    f.userCfg = g_bEnNVR2;
    f.nvr3 = g_bEnNVR3;
    f.nvr3Page = g_currentMcu.nNvr3Page;
    f.rollCode = g_bEnRollCode;
    f.encryption = g_bEnEncryption;
    f.limit = g_bEnLimit;
    f.autoBurner = g_bEnAutoBurner;
    f.uartMode = g_bUartMode;
    f.uploadProtect = g_bEnUploadProtect;
    f.autoWrite = g_bEnAutoWrite;
    return f;
}
