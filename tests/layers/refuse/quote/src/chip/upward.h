// Fixture: the ground floor reaching up to the window, which check-layers must refuse.
#include "app/startup.h"
