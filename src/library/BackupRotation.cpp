#include "library/BackupRotation.h"

#include <algorithm>
#include <numeric>
#include <set>

std::vector<size_t> SnapshotsToDelete(const std::vector<QDateTime>& stamps, const QDate& today,
                                      const TRotationPolicy& policy, const std::function<bool(size_t)>& isGood) {
    std::vector<size_t> newestFirst(stamps.size());
    std::iota(newestFirst.begin(), newestFirst.end(), size_t(0));
    std::stable_sort(newestFirst.begin(), newestFirst.end(), [&](size_t a, size_t b) { return stamps[a] > stamps[b]; });

    std::vector<bool> keep(stamps.size(), false);
    const size_t keepLast = static_cast<size_t>(std::max(policy.KeepLast, 1));
    for (size_t i = 0; i < newestFirst.size() && i < keepLast; ++i)
        keep[newestFirst[i]] = true;

    // The first one met of a day is that day's newest.
    const QDate firstDay = today.addDays(-(std::max(policy.KeepDays, 0) - 1));
    std::set<QDate> daysSeen;
    for (size_t index : newestFirst) {
        const QDate day = stamps[index].date();
        if (policy.KeepDays > 0 && day >= firstDay && daysSeen.insert(day).second)
            keep[index] = true;
    }

    if (isGood && std::find(keep.begin(), keep.end(), false) != keep.end()) {
        for (size_t index : newestFirst)
            if (isGood(index)) {
                keep[index] = true;
                break;
            }
    }

    std::vector<size_t> doomed;
    for (size_t i = 0; i < stamps.size(); ++i)
        if (!keep[i])
            doomed.push_back(i);
    return doomed;
}
