#include "support/filesizelimit.h"

#include <csignal>
#include <sys/resource.h>

QString fileSizeLimitMissing()
{
    return QString();
}

bool limitFileSize(qint64 bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}
