#include "summary.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
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
    add(f.userCfg, QCoreApplication::translate("summary", "用户配置"));
    add(f.nvr3, QStringLiteral("NVR") + QString::number(f.nvr3Page));
    add(f.rollCode, QCoreApplication::translate("summary", "序列号"));
    add(f.encryption, QCoreApplication::translate("summary", "加密"));
    add(f.limit, QCoreApplication::translate("summary", "烧录次数"));
    add(f.autoBurner, QCoreApplication::translate("summary", "机台烧录"));
    add(f.uartMode, QCoreApplication::translate("summary", "单线烧录"));
    add(f.uploadProtect, QCoreApplication::translate("summary", "上传保护"));
    add(f.autoWrite, QCoreApplication::translate("summary", "自动烧录"));
    return QCoreApplication::translate("summary", "烧录项: ") + items.join(QLatin1Char('-'));
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
