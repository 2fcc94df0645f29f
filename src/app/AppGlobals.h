// Process-wide constants of the shell and its trace output. The services live
// in TAppContext, not here.
#pragma once

#include <QString>

// Window-message numbers kept as identifiers for the handlers that replace them.
inline constexpr int WM_PASSPARAMS = 3024;
inline constexpr int WM_UPDATEKEYSTATE = 4024;
inline constexpr int kHideHotKeyId = 2024;

// True when QUILLORA_TRACE is set: the shell prints the names it opens
// (command line, second instance, drops) to stdout, one per line.
bool TraceEnabled();
void Trace(const QString& line);
