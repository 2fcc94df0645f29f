#include "library/WritingGoals.h"

#include "library/DocDataEngine.h"
#include "library/TableAccess.h"
#include "library/UserError.h"

#include <cmath>

using namespace tableaccess;

namespace {

const QString kGoalCaption = QStringLiteral("设置目标");

int SumCounts(tomedb::TTomeTable& docs) {
    int sum = 0;
    for (docs.First(); !docs.Eof(); docs.Next())
        RecordReadable("Docs", [&] { sum += FieldInt(docs, "cnCount"); });
    return sum;
}

}  // namespace

TWritingGoals::TWritingGoals(TWritingTables& tables, TClock clock)
    : m_tables(tables), m_clock(clock ? std::move(clock) : TClock(tomedb::Now)) {}

int TWritingGoals::Today() const { return static_cast<int>(std::floor(m_clock())); }

void TWritingGoals::Check(const TGoal& goal, int today) {
    if (goal.Chars <= 0)
        throw EUserError(QStringLiteral("目标字数必须大于0。"), kGoalCaption, 1);
    if (goal.Deadline != 0 && goal.Deadline < today)
        throw EUserError(QStringLiteral("截止日期不能早于今天。"), kGoalCaption, 1);
}

int TWritingGoals::Set(const TGoal& goal) {
    Check(goal, Today());
    m_tables.EnsureForWriting();
    const std::optional<TGoal> existing = Find(goal.Kind, goal.TargetID);
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    tomedb::TTomeTable& goals = m_tables.Goals;
    if (existing && FindByID(goals, existing->ID)) {
        goals.Edit();
    } else {
        Unfilter(goals);
        goals.Append();
    }
    goals.FieldByName("Kind").SetAsInteger(static_cast<int>(goal.Kind));
    goals.FieldByName("TargetID").SetAsInteger(goal.TargetID);
    goals.FieldByName("Chars").SetAsInteger(goal.Chars);
    goals.FieldByName("Deadline").SetAsDateTime(goal.Deadline);
    goals.FieldByName("Daily").SetAsInteger(std::max(goal.Daily, 0));
    goals.Post();
    return CurrentID(goals);
}

std::vector<TGoal> TWritingGoals::All() {
    std::vector<TGoal> out;
    if (!m_tables.OpenForReading() || !m_tables.Goals.Active())
        return out;
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    tomedb::TTomeTable& goals = m_tables.Goals;
    Unfilter(goals);
    for (goals.First(); !goals.Eof(); goals.Next()) {
        TGoal goal;
        int kind = -1;
        const bool readable = RecordReadable("Goals", [&] {
            goal.ID = CurrentID(goals);
            kind = FieldInt(goals, "Kind");
            goal.TargetID = FieldInt(goals, "TargetID");
            goal.Chars = FieldInt(goals, "Chars");
            goal.Deadline = static_cast<int>(goals.FieldByName("Deadline").AsDateTime());
            goal.Daily = FieldInt(goals, "Daily");
        });
        if (!readable || kind < 0 || kind > 2 || goal.Chars <= 0) {
            if (readable)
                qWarning("Goals: row %d with kind %d and %d characters skipped", goal.ID, kind, goal.Chars);
            continue;
        }
        goal.Kind = static_cast<TGoalKind>(kind);
        out.push_back(goal);
    }
    return out;
}

std::optional<TGoal> TWritingGoals::Find(TGoalKind kind, int targetID) {
    for (const TGoal& goal : All())
        if (goal.Kind == kind && goal.TargetID == targetID)
            return goal;
    return std::nullopt;
}

void TWritingGoals::Delete(int goalID) {
    if (!m_tables.OpenForReading() || !m_tables.Goals.Active())
        return;
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    if (FindByID(m_tables.Goals, goalID))
        m_tables.Goals.Delete();
}

int TWritingGoals::Written(const TGoal& goal) {
    TqlvDocData& data = m_tables.Data();
    tomedb::TTomeTable& docs = TDocDataEngine::Docs(data);
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(data));
    switch (goal.Kind) {
        case TGoalKind::Manuscript: {
            int count = 0;
            if (FindByID(docs, goal.TargetID))
                RecordReadable("Docs", [&] { count = FieldInt(docs, "cnCount"); });
            return count;
        }
        case TGoalKind::Folder: {
            QList<int> folders{goal.TargetID};
            TViewNode root;
            root.ID = goal.TargetID;
            FillTreeLevels(TDocDataEngine::Folders(data), "FloderName", root);
            std::vector<const TViewNode*> pending{&root};
            while (!pending.empty()) {
                const TViewNode* node = pending.back();
                pending.pop_back();
                for (const TViewNode& child : node->Children) {
                    folders.append(child.ID);
                    pending.push_back(&child);
                }
            }
            int sum = 0;
            for (qsizetype from = 0; from < folders.size(); from += kKeysPerFilter) {
                FilterByAny(docs, QStringLiteral("PID"), folders.mid(from, kKeysPerFilter));
                sum += SumCounts(docs);
            }
            return sum;
        }
        case TGoalKind::Library:
            Unfilter(docs);
            return SumCounts(docs);
    }
    return 0;
}

TGoalProgress TWritingGoals::Progress(const TGoal& goal) { return ProgressOf(goal, Written(goal), Today()); }

TGoalProgress TWritingGoals::ProgressOf(const TGoal& goal, int written, int today) {
    TGoalProgress p;
    p.Written = written;
    p.Remaining = std::max(goal.Chars - written, 0);
    p.Reached = p.Remaining == 0;
    if (goal.Deadline != 0 && goal.Deadline >= today)
        p.DaysLeft = goal.Deadline - today + 1;
    p.Overdue = goal.Deadline != 0 && goal.Deadline < today && !p.Reached;
    if (p.Reached)
        p.PerDay = 0;
    else if (goal.Daily > 0)
        p.PerDay = goal.Daily;
    else if (p.DaysLeft > 0)
        p.PerDay = (p.Remaining + p.DaysLeft - 1) / p.DaysLeft;
    else if (p.Overdue)
        p.PerDay = p.Remaining;  // everything is due now
    return p;
}
