// RunRebuild: runs a rebuild of the open library (compaction, repair,
// password change) while a modal progress window, fed by the engine's
// operation-progress events, shows how far it has come.
//
// The rebuild runs on a worker thread of its own while the window's thread
// waits in an event loop that repaints and moves the progress bar but takes
// no user input, no single-instance socket traffic and no auto-save tick
// (the timer is held), so nothing but the rebuild touches the library while
// its file is replaced and the window never looks frozen. The rebuild must
// not ask the user anything (the library is open with its password given).
//
// Returns what `rebuild` returned; its exceptions are raised again on the
// caller's thread after the progress window is gone and the progress handler
// is removed.
#pragma once

#include <QString>
#include <functional>

class TMainView;
class TqlvDocData;

bool RunRebuild(TMainView& main, TqlvDocData& data, const QString& caption, const QString& text,
                const std::function<bool()>& rebuild);

// How often the progress bar is brought up to date, in milliseconds.
inline constexpr int kRebuildRepaintMs = 40;
