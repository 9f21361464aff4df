#include "firmwarefile.h"

#include "chip/images.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

QString up_datHardware;
QString up_datSoftware;
std::atomic<uint8_t> g_bAppBinLoaded{0};
uint16_t g_nAppBinCheckSum = 0;

namespace {
bool digitsOnly(const QString &s)
{
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

bool parseFirmwareName(const QString &path, QString &hardware, QString &software)
{
    const QString stem = QFileInfo(path).fileName().section(QLatin1Char('.'), 0, 0);
    const QStringList fields = stem.split(QLatin1Char('-'));
    if (fields.size() < 3)
        return false;
    const QString &hw = fields.at(1);
    const QString &sw = fields.at(2);
    if (hw.size() < 2 || sw.size() < 6 || !digitsOnly(hw) || !digitsOnly(sw))
        return false;
    hardware = hw;
    software = sw;
    return true;
}

int readFirmwareFile(const QString &path, bool *truncated)
{
    if (truncated)
        *truncated = false;
    if (path.isEmpty())
        return FirmwareEmptyPath;
    QFile file(path);
    if (!file.exists())
        return FirmwareMissing;
    if (!file.open(QIODevice::ReadOnly))
        return FirmwareUnreadable;
    const qint64 size = file.size();
    if (size > qint64(FIRMWARE_MAX_SIZE) && truncated)
        *truncated = true;
    const qint64 want = std::min<qint64>(size, FIRMWARE_MAX_SIZE);
    const qint64 got = file.read(reinterpret_cast<char *>(g_ucAppBinBuf), want);
    g_nAppBinSize = uint32_t(std::max<qint64>(got, 0));
    return FirmwareRead;
}

int loadFirmwareFile(const QString &path, bool *truncated)
{
    g_bAppBinLoaded = 0;
    if (truncated)
        *truncated = false;
    QString hardware, software;
    if (!path.isEmpty() && !parseFirmwareName(path, hardware, software))
        return FirmwareBadName;
    const int rt = readFirmwareFile(path, truncated);
    if (rt != FirmwareRead)
        return rt;
    up_datHardware = hardware;
    up_datSoftware = software;
    g_bAppBinLoaded = 1;
    return FirmwareRead;
}
