#include "terminal.h"

#include <unistd.h>

bool streamIsTerminal(FILE *stream)
{
    return isatty(fileno(stream)) == 1;
}
