#include "support/filesizelimit.h"

QString fileSizeLimitMissing()
{
    return QStringLiteral("Windows has no limit on the size of a process's files to fill a disk with; the Linux build runs this case");
}

bool limitFileSize(qint64)
{
    return false;
}
