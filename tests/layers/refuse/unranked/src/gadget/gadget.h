// Fixture: a folder without a rank.
#include "chip/mcuinfo.h"
