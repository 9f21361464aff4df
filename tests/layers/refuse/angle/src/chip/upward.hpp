// Fixture: the same, in the angle-bracket form.
#include <app/startup.h>
