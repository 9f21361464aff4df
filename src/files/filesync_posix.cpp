#include "filesync.h"

#include <QFileDevice>

#include <unistd.h>

bool syncFileData(QFileDevice &file)
{
    return file.handle() >= 0 && ::fdatasync(file.handle()) == 0;
}
