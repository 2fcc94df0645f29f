// TWritingCommands: writing statistics and goals in the window — 工具 ▸
// 写作统计 (the dialog TfrmWritingStats, filled from the context's
// TManuscriptSaves) and "设置目标…" of the folder tree's pop-up menu (the
// root folder sets the library's goal). Owned by TMainCommands; failures are
// shown and end the command (CommandSteps.h).
#pragma once

#include "app/dialogs/TfrmWritingStats.h"

class TAppContext;
class TGoalBox;
class TMainView;
class TManuscriptSaves;
class TqlvDocData;

class TWritingCommands {
public:
    TWritingCommands(TMainView& main, TAppContext& context);

    void munToolWritingStatsClick();
    void PopFloderGoalClick();

private:
    void ExportCsv(const std::vector<TDayStats>& rows);

    TMainView& m_main;
    TAppContext& m_context;
};

// What the statistics dialog shows of the open library: a year of days, the
// streak, today, the daily goal and every goal with its target's name.
// Engine errors pass through; damaged rows are skipped by the log and goals.
TWritingStatsData ReadWritingStats(TManuscriptSaves& saves, TqlvDocData& data);

// Stores the goal of a box the user changed: set, or removed when emptied.
// Raises what TWritingGoals::Set raises.
void StoreGoal(const TGoalBox& box, TManuscriptSaves& saves);
