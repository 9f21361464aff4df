#pragma once

// Runs the registered Google Benchmark cases with the program's qDebug() diagnostics silenced: the
// formatting cost stays in the figures, the terminal output (which would time the terminal) does not.
// Call it once the Qt application object exists. Returns the process exit code.
int runBenchmarks(int argc, char **argv);
