// Trace: the shell's diagnostic output for tests and journeys. When the
// environment variable QUILLORA_TRACE is set, the shell prints the names it
// opens (command line, second start, drops, libraries, text files) and the
// backups it takes to stdout, one per line; otherwise nothing is printed.
#pragma once

#include <QString>

bool TraceEnabled();
void Trace(const QString& line);
