#include "statefolderio.h"

#include <QThread>

#include <algorithm>

bool FolderLock::lock(int waitMs, QString *error)
{
    constexpr int kRetryMs = 10;
    for (int waited = 0;; waited += kRetryMs) {
        if (tryLock(error))
            return true;
        if (!error->isEmpty() || waited >= waitMs)
            return false;
        QThread::msleep(unsigned(std::min(kRetryMs, waitMs - waited)));
    }
}
