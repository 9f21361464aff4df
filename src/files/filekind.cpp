#include "filekind.h"

#include <QFileInfo>

FileKind fileKindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("hex") || suffix == QLatin1String("ihx"))
        return FileKind::Hex;
    if (suffix == QLatin1String("bin"))
        return FileKind::Bin;
    if (suffix == QLatin1String("mprj"))
        return FileKind::Project;
    return FileKind::Other;
}
