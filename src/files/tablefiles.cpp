#include "tablefiles.h"

#include "chip/images.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

int readTable(const QString &path, uint8_t *image, uint32_t areaSize)
{
    if (path.isEmpty())
        return -1;
    if (!QFileInfo::exists(path))
        return -2;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -3;
    if (areaSize > 0)
        file.read(reinterpret_cast<char *>(image), areaSize);
    return 0;
}

int saveTable(const QString &path, const uint8_t *image, uint32_t areaSize)
{
    if (path.isEmpty())
        return -1;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -3;
    file.write(reinterpret_cast<const char *>(image), areaSize);
    return file.commit() ? 0 : -3;
}

} // namespace

int readEepFile(const QString &path)
{
    return readTable(path, g_ucEEBuf, eepromSizeBytes());
}

int readNvrFile(const QString &path)
{
    return readTable(path, g_ucNVRBuf1, nvrSectorBytes());
}

int saveEepFile(const QString &path)
{
    return saveTable(path, g_ucEEBuf, eepromSizeBytes());
}

int saveNvrFile(const QString &path)
{
    return saveTable(path, g_ucNVRBuf1, nvrSectorBytes());
}
