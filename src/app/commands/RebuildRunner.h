// RunRebuild: runs a rebuild of the open library (compaction, repair,
// password change) on the window's thread while a modal progress window,
// fed by the engine's operation-progress events, shows how far it has come.
// Between records the window is repainted now and then (every few dozen
// milliseconds), so it never looks frozen; user input, the single-instance
// socket and the auto-save timer wait until the rebuild is over, so nothing
// reaches the library while it is being replaced.
//
// Returns what `rebuild` returned; its exceptions pass through after the
// progress window is gone and the progress handler is removed.
#pragma once

#include <QString>
#include <functional>

class TfrmMain;
class TqlvDocData;

bool RunRebuild(TfrmMain& main, TqlvDocData& data, const QString& caption, const QString& text,
                const std::function<bool()>& rebuild);

// How often the window is repainted while a rebuild runs, in milliseconds.
inline constexpr int kRebuildRepaintMs = 40;
