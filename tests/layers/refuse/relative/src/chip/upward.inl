// Fixture: the same, relative to the including file, with a Windows separator.
#include "..\app/startup.h"
