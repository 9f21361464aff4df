#include "terminal.h"

#include <io.h>

bool streamIsTerminal(FILE *stream)
{
    return _isatty(_fileno(stream)) != 0;
}
