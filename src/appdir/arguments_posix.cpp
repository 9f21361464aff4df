#include "arguments.h"

#include <QFile>

QByteArray undecodableArgument(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) != raw)
            return raw;
    }
    return QByteArray();
}
