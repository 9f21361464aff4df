#include "gangsignals.h"

// A Windows process is ended from outside without a signal it could catch; Ctrl-C (the console's control
// handler) is the one request it sees.
void installGangTerminationHandler()
{
}

int gangTerminationSignal()
{
    return 0;
}
