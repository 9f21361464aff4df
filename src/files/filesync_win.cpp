#include "filesync.h"

#include <QFileDevice>

#include <io.h>

bool syncFileData(QFileDevice &file)
{
    return file.handle() >= 0 && ::_commit(file.handle()) == 0;
}
