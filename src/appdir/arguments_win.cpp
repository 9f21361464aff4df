#include "arguments.h"

// The programs read the wide command line, which holds every name whole.
QByteArray undecodableArgument(int, char **)
{
    return QByteArray();
}
