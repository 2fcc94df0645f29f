#include "app/Trace.h"

#include <cstdio>

bool TraceEnabled() { return qEnvironmentVariableIsSet("QUILLORA_TRACE"); }

void Trace(const QString& line) {
    if (!TraceEnabled())
        return;
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
