#pragma once

// SIGTERM and SIGHUP (a closed terminal) end a gang as Ctrl-C does: every worker finishes its chip, the
// records are merged and the scratch folder goes. No-op where the system has no such signals.
void installGangTerminationHandler();
// The signal that asked the gang to end; 0 for none.
int gangTerminationSignal();
