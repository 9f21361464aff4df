#pragma once

#include <QString>

#include <functional>

// The engine's diagnostics go to the Qt debug stream. On the command line they would bury the progress and
// the labels, so they are dropped unless TARNQUILL_DEBUG is set; warnings and worse always pass.
void installCliMessageHandler();

// Sees every debug text (on the thread that wrote it) while set; an empty function removes it.
void setDebugListener(std::function<void(const QString &text)> listener);

// A debug line for routines that let their caller route them (FileMessages::debug): passed to the debug stream
// only while someone would see it, since the process's first debug message reads Qt's logging configuration.
void debugLineIfSeen(const QString &text);
