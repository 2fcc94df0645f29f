// Writing goals (`Goals`): a target count of Chinese characters for the
// library, a folder (with its sub-folders) or a manuscript, with an optional
// deadline and an optional daily figure. TWritingGoals sets, reads and
// deletes goals and works out their progress from the manuscripts' saved
// counts. Setting refuses a goal of 0 or a deadline before today with
// EUserError (caption "设置目标"); a damaged goal row is skipped with a trace note.
#pragma once

#include "library/WritingTables.h"

#include <QString>
#include <optional>
#include <vector>

enum class TGoalKind { Library = 0, Folder = 1, Manuscript = 2 };

struct TGoal {
    int ID = 0;  // 0 for a goal not stored yet
    TGoalKind Kind = TGoalKind::Manuscript;
    int TargetID = 0;  // folder or manuscript ID; 0 for the library
    int Chars = 0;
    int Deadline = 0;  // day (days since 30 December 1899); 0 = none
    int Daily = 0;     // 0 = worked out from what remains and the days left
};

struct TGoalProgress {
    int Written = 0;    // the target's Chinese count now
    int Remaining = 0;  // 0 once reached
    bool Reached = false;
    int PerDay = 0;        // the daily figure, or what remains over the days left
    int DaysLeft = 0;      // today included; 0 without a deadline or past it
    bool Overdue = false;  // the deadline has passed and the goal is not reached
};

class TWritingGoals {
public:
    TWritingGoals(TWritingTables& tables, TClock clock);
    // Validates, then stores (replacing the goal of the same kind and target);
    // returns its ID. EUserError "目标字数必须大于0。" / "截止日期不能早于今天。".
    int Set(const TGoal& goal);
    // The validation of Set against `today`: throws the same EUserError, so a
    // dialog can refuse a goal before anything is stored.
    static void Check(const TGoal& goal, int today);
    std::vector<TGoal> All();
    // The goal of that kind and target, if any.
    std::optional<TGoal> Find(TGoalKind kind, int targetID);
    void Delete(int goalID);
    TGoalProgress Progress(const TGoal& goal);
    // The arithmetic of Progress for a written count (pure).
    static TGoalProgress ProgressOf(const TGoal& goal, int written, int today);
    // Today by the services' clock (days since 30 December 1899).
    int Today() const;

private:
    int Written(const TGoal& goal);
    TWritingTables& m_tables;
    TClock m_clock;
};
