#include "app/AppGlobals.h"

#include <cstdio>

TfrmMain* frmMain = nullptr;
TqlvDocData* DocData = nullptr;
TqlvDocuments* Documents = nullptr;
TqlvRegConfig* RegConfig = nullptr;
TqlvIniConfig* IniConfig = nullptr;
QString g_CurrentFile;

bool TraceEnabled() { return qEnvironmentVariableIsSet("QUILLORA_TRACE"); }

void Trace(const QString& line) {
    if (!TraceEnabled())
        return;
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
