#include "tablefiles.h"

#include "inputfile.h"
#include "savefile.h"
#include "chip/images.h"

#include <QFile>
#include <QFileInfo>

namespace {

int readTable(const QString &path, uint8_t *image, uint32_t areaSize)
{
    if (path.isEmpty())
        return -1;
    if (!QFileInfo::exists(path))
        return -2;
    if (!inputProblem(path, RAW_FILE_MAX_SIZE).isEmpty())
        return -3;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -3;
    if (areaSize > 0)
        file.read(reinterpret_cast<char *>(image), areaSize);
    return 0;
}

int saveTable(const QString &path, const uint8_t *image, uint32_t areaSize, QString *error)
{
    if (path.isEmpty())
        return -1;
    return replaceFile(path, QByteArray(reinterpret_cast<const char *>(image), int(areaSize)), error) ? 0 : -3;
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

int saveEepFile(const QString &path, QString *error)
{
    return saveTable(path, g_ucEEBuf, eepromSizeBytes(), error);
}

int saveNvrFile(const QString &path, QString *error)
{
    return saveTable(path, g_ucNVRBuf1, nvrSectorBytes(), error);
}
