#pragma once

#include <cstdio>

// True when `stream` is a terminal (progress is drawn in place there, written as lines elsewhere).
bool streamIsTerminal(FILE *stream);
