#include "exitstatus.h"

int exitStatusForResult(int code)
{
    if (code >= 0 && code <= 38)
        return code;
    return ExitStatus::NotSupported;
}
