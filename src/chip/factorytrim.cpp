#include "factorytrim.h"

#include <QCoreApplication>

// Trim bytes of the NVR3 (factory) area, for the factory view.

const NvrFacInfo g_nvrFacInfo[NVR_FAC_INFO_COUNT] = {
    {0x1C00, QT_TRANSLATE_NOOP("factorytrim", "字节为0xAA时bandgap trimming值有效")},
    {0x1C01, QT_TRANSLATE_NOOP("factorytrim", "Bandgap trimming 值，上电后自动加载")},
    {0x1C02, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 LDO trimming 值有效")},
    {0x1C03, QT_TRANSLATE_NOOP("factorytrim", "LDO trimming 值，上电后自动加载")},
    {0x1C09, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 LRC 时钟配置值有效")},
    {0x1C0A, QT_TRANSLATE_NOOP("factorytrim", "LRC 时钟配置值，上电后自动加载")},
    {0x1C0C, QT_TRANSLATE_NOOP("factorytrim", "LRC 实际频率值低 8 位(单位：HZ)")},
    {0x1C0D, QT_TRANSLATE_NOOP("factorytrim", "LRC 实际频率值高 8 位(单位：HZ)")},
    {0x1C0E, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 HRC 时钟配置值有效")},
    {0x1C0F, QT_TRANSLATE_NOOP("factorytrim", "HRC 时钟配置值，上电后自动加载")},
    {0x1C11, QT_TRANSLATE_NOOP("factorytrim", "HRC 实际频率值低 8 位(单位：KHZ)")},
    {0x1C12, QT_TRANSLATE_NOOP("factorytrim", "HRC 实际频率值高 8 位(单位：KHZ)")},
    {0x1C13, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 OP trimming 值有效")},
    {0x1C14, QT_TRANSLATE_NOOP("factorytrim", "OP 的 P 管 trimming 值，上电后自动加载")},
    {0x1C15, QT_TRANSLATE_NOOP("factorytrim", "OP 的 N 管 trimming 值")},
    {0x1C70, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 VDD 基准时 offset trimming 值")},
    {0x1C71, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用内部 4.096V 基准时 offset trimming 值")},
    {0x1C72, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用内部 3.072V 基准时 offset trimming 值")},
    {0x1C73, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用内部 2.048V 基准时 offset trimming 值")},
    {0x1C74, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用内部 1.024V 基准时 offset trimming 值")},
    {0x1C80, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 VDD 基准时 K 值符号及溢出标志")},
    {0x1C81, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 VDD 基准时 K 值低字节")},
    {0x1C82, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 4.096V 基准时 K 值符号及溢出标志")},
    {0x1C83, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 4.096V 基准时 K 值低字节")},
    {0x1C84, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 3.072V 基准时 K 值符号及溢出标志")},
    {0x1C85, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 3.072V 基准时 K 值低字节")},
    {0x1C86, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 2.048V 基准时 K 值符号及溢出标志")},
    {0x1C87, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 2.048V 基准时 K 值低字节")},
    {0x1C88, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 1.024V 基准时 K 值符号及溢出标志")},
    {0x1C89, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 1.024V 基准时 K 值低字节")},
    {0x1C8B, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 VDD 基准时 K 值高字节")},
    {0x1C8C, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 4.096V 基准时 K 值高字节")},
    {0x1C8D, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 3.072V 基准时 K 值高字节")},
    {0x1C8E, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 2.048V 基准时 K 值高字节")},
    {0x1C8F, QT_TRANSLATE_NOOP("factorytrim", "ADC 采用 1.024V 基准时 K 值高字节")},
    {0x1C90, QT_TRANSLATE_NOOP("factorytrim", "选用内部基准 4.096V 时的 Bandgap 值")},
    {0x1C91, QT_TRANSLATE_NOOP("factorytrim", "选用内部基准 3.072V 时的 Bandgap 值")},
    {0x1C92, QT_TRANSLATE_NOOP("factorytrim", "选用内部基准 2.048V 时的 Bandgap 值")},
    {0x1C93, QT_TRANSLATE_NOOP("factorytrim", "选用内部基准 1.024V 时的 Bandgap 值")},
    {0x1D40, QT_TRANSLATE_NOOP("factorytrim", "0x1D40-0x1D49为CHIPID 区，编码方式：内部编码(8bit)+芯片型号 0x26XX(16bit)+生产厂        家（8bit）+年（8bit）+月（4bit）+日（5bit）+滚码（23bit）")},
    {0x1DE0, QT_TRANSLATE_NOOP("factorytrim", "0x1DE0-0x1DEF 该 16 个字节写入 0xAA，重新上电后 NVR15 不可擦写")},
};

const NvrFacInfo g_nvrFacInfoSmall[NVR_FAC_INFO_SMALL_COUNT] = {
    {0x600, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 Bandgap trimming 值有效")},
    {0x601, QT_TRANSLATE_NOOP("factorytrim", "Bandgap trimming 值，上电后自动加载")},
    {0x602, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 LDO trimming 值有效")},
    {0x603, QT_TRANSLATE_NOOP("factorytrim", "LDO trimming 值，上电后自动加载")},
    {0x609, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 LRC 时钟配置值有效")},
    {0x60A, QT_TRANSLATE_NOOP("factorytrim", "LRC 时钟配置值，上电后自动加载")},
    {0x60C, QT_TRANSLATE_NOOP("factorytrim", "LRC 实际频率值低 8 位(单位：HZ)")},
    {0x60D, QT_TRANSLATE_NOOP("factorytrim", "LRC 实际频率值高 8 位(单位：HZ)")},
    {0x60E, QT_TRANSLATE_NOOP("factorytrim", "该字节为 0xAA 时 HRC 时钟配置值有效")},
    {0x60F, QT_TRANSLATE_NOOP("factorytrim", "HRC 时钟配置值，上电后自动加载")},
    {0x611, QT_TRANSLATE_NOOP("factorytrim", "HRC 实际频率值低 8 位(单位：KHZ)")},
    {0x612, QT_TRANSLATE_NOOP("factorytrim", "HRC 实际频率值高 8 位(单位：KHZ)")},
    {0x624, QT_TRANSLATE_NOOP("factorytrim", "ADC 内部 4.096V 的基准配置值")},
    {0x629, QT_TRANSLATE_NOOP("factorytrim", "ADC 内部 3.072V 的基准配置值")},
    {0x62E, QT_TRANSLATE_NOOP("factorytrim", "ADC 内部 2.048V 的基准配置值")},
    {0x633, QT_TRANSLATE_NOOP("factorytrim", "ADC 内部 1.024V 的基准配置值")},
    {0x740, QT_TRANSLATE_NOOP("factorytrim", "CHIPID 区，编码方式：内部编码(8bit)+芯片型号 0x27XX(16bit)+生产厂家（8bit）+年（8bit）+月（4bit）+日（5bit）+滚码（23bit）")},
    {0x7E0, QT_TRANSLATE_NOOP("factorytrim", "该 16 个字节写入 0xAA，重新上电后 NVR3 不可擦写")},
};

QString trimDescriptionText(const char *description)
{
    return QCoreApplication::translate("factorytrim", description);
}
