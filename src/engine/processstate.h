#pragma once

// The process-wide data the engine reads and writes, all of it returned to where a program starts from: the
// chip catalogue and current chip emptied, the memory images cleared to 0xFF with their sizes, enable flags and
// checksums, the firmware file of an upgrade forgotten, the production settings at their defaults (password
// and calibration included), cfg.db's names and company emptied, the answered chip id 0, the Link flags at
// their initial values (I2C, no IAP arrival) and every burn-loop and upgrade flag cleared.
//
// Not touched: what a front end installs rather than holds as data (the HID backend, the Link's pause scale
// and sleep hook, the box handler, the language); their owners set them.
//
// Call only while no worker thread runs a task: most of this state is plain data that the worker reads.
// A process that runs one job after another (a test rig, a worker) calls it before each, so no job sees what
// the one before it left.
void resetProcessState();
