// Which snapshots the rotation keeps, for tables of timestamps.
#include "library/BackupRotation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const QDate kToday(2026, 3, 10);

// A snapshot `days` before today at hour:minute.
QDateTime At(int days, int hour, int minute = 0) { return QDateTime(kToday.addDays(-days), QTime(hour, minute)); }

struct RotationCase {
    const char* name;
    std::vector<QDateTime> stamps;
    TRotationPolicy policy;
    std::set<size_t> kept;       // indexes into stamps
    std::set<size_t> damaged{};  // snapshots known to fail verify
};

std::vector<QDateTime> Today(int count) {
    std::vector<QDateTime> stamps;
    for (int i = 0; i < count; ++i)
        stamps.push_back(At(0, 8, i));  // 08:00, 08:01, ...
    return stamps;
}

std::vector<RotationCase> Cases() {
    std::vector<RotationCase> cases;
    cases.push_back({"fewer than the last N: all stay", Today(4), {10, 7}, {0, 1, 2, 3}});
    cases.push_back({"one day only: the newest N", Today(12), {10, 7}, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}});
    {
        // Ten today, then one a day going back nine days: days 1..6 are among
        // the last seven days, days 7..9 are not.
        std::vector<QDateTime> stamps = Today(10);
        for (int day = 1; day <= 9; ++day)
            stamps.push_back(At(day, 20));
        cases.push_back({"the last of each of the last D days",
                         stamps,
                         {10, 7},
                         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}});
    }
    {
        // Yesterday three times: only its last one survives beside today's ten.
        std::vector<QDateTime> stamps = {At(1, 9), At(1, 23, 59), At(1, 10)};
        for (const QDateTime& t : Today(10))
            stamps.push_back(t);
        cases.push_back({"a day's newest, not its first", stamps, {10, 7}, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}});
    }
    cases.push_back({"given in any order", {At(0, 9), At(0, 7), At(0, 8)}, {2, 0}, {0, 2}});
    cases.push_back({"zero to keep still keeps the newest", {At(3, 1), At(2, 1), At(5, 1)}, {0, 0}, {1}});
    cases.push_back({"old snapshots only: the newest stays", {At(30, 1), At(40, 1), At(20, 1)}, {1, 7}, {2}});
    cases.push_back({"a clock set back: the future one is the newest", {At(-1, 9), At(0, 9), At(0, 10)}, {1, 0}, {0}});
    cases.push_back({"days counted to D, today included", {At(6, 12), At(7, 12), At(0, 12)}, {1, 7}, {0, 2}});
    {
        // A damaged library backed up twelve times today: this morning's good
        // snapshot stays beside the newest ten.
        std::vector<QDateTime> stamps = {At(0, 7)};
        std::set<size_t> damaged;
        for (const QDateTime& t : Today(12)) {
            damaged.insert(stamps.size());
            stamps.push_back(t);
        }
        cases.push_back({"the newest good one stays among damaged ones",
                         stamps,
                         {10, 7},
                         {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                         damaged});
    }
    cases.push_back({"only the newest good one is kept for being good",
                     {At(0, 6), At(0, 7), At(0, 8), At(0, 9)},
                     {1, 0},
                     {2, 3},
                     {3}});
    cases.push_back({"all damaged: the usual rule", {At(0, 6), At(0, 7), At(0, 8)}, {1, 0}, {2}, {0, 1, 2}});
    return cases;
}

std::function<bool(size_t)> IsGood(const std::set<size_t>& damaged) {
    return [damaged](size_t index) { return damaged.count(index) == 0; };
}

TEST(BackupRotation, KeepsExactlyTheDescribedSet) {
    for (const RotationCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        std::set<size_t> kept;
        for (size_t i = 0; i < c.stamps.size(); ++i)
            kept.insert(i);
        const std::vector<size_t> doomed = SnapshotsToDelete(c.stamps, kToday, c.policy, IsGood(c.damaged));
        for (size_t index : doomed)
            kept.erase(index);
        EXPECT_EQ(kept, c.kept);
        EXPECT_TRUE(std::is_sorted(doomed.begin(), doomed.end()));
    }
}

TEST(BackupRotation, RunningItAgainDeletesNothingMore) {
    // Rotation is applied after every snapshot: what it kept must be stable.
    for (const RotationCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        std::vector<QDateTime> survivors;
        std::set<size_t> damagedSurvivors;
        const std::vector<size_t> doomed = SnapshotsToDelete(c.stamps, kToday, c.policy, IsGood(c.damaged));
        for (size_t i = 0; i < c.stamps.size(); ++i)
            if (std::find(doomed.begin(), doomed.end(), i) == doomed.end()) {
                if (c.damaged.count(i))
                    damagedSurvivors.insert(survivors.size());
                survivors.push_back(c.stamps[i]);
            }
        EXPECT_TRUE(SnapshotsToDelete(survivors, kToday, c.policy, IsGood(damagedSurvivors)).empty());
    }
}

}  // namespace
