// The process-wide objects of the shell. TQuilloraApp (Application.h) creates
// them in start-up order and owns them; these pointers are null before start-up
// and after TQuilloraApp is destroyed. g_CurrentFile is the text file edited
// while no library is open (empty at start).
#pragma once

#include <QString>

class TfrmMain;
class TqlvDocData;
class TqlvDocuments;
class TqlvRegConfig;
class TqlvIniConfig;

extern TfrmMain* frmMain;
extern TqlvDocData* DocData;
extern TqlvDocuments* Documents;
extern TqlvRegConfig* RegConfig;
extern TqlvIniConfig* IniConfig;
extern QString g_CurrentFile;

// Window-message numbers kept as identifiers for the handlers that replace them.
inline constexpr int WM_PASSPARAMS = 3024;
inline constexpr int WM_UPDATEKEYSTATE = 4024;
inline constexpr int kHideHotKeyId = 2024;

// True when QUILLORA_TRACE is set: the shell prints the names it opens
// (command line, second instance, drops) to stdout, one per line.
bool TraceEnabled();
void Trace(const QString& line);
