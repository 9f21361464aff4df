#pragma once

class QFileDevice;

// Pushes what the kernel holds of an open, flushed file to the disk: fdatasync on POSIX, _commit
// (FlushFileBuffers) on Windows. False when the disk refused it.
bool syncFileData(QFileDevice &file);
