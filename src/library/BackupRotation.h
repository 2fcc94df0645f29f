// Which snapshots of a library the rotation keeps: a pure function over their
// times, so the rule can be checked against tables of timestamps.
//
// Kept: the newest KeepLast snapshots; the newest snapshot of each of the
// last KeepDays calendar days (today and the KeepDays - 1 days before it, in
// local time); and the newest snapshot in any case, whatever the numbers say.
// Everything else is to be deleted. Snapshots dated after `today` count as
// recent (a clock that was set back must not cost the newest work).
// When `isGood` is given, the newest snapshot for which it says true is kept
// too, so snapshots of a damaged library never push out the last good one;
// it is asked newest first and only until it says true.
#pragma once

#include <QDate>
#include <QDateTime>
#include <functional>
#include <vector>

struct TRotationPolicy {
    int KeepLast = 10;
    int KeepDays = 7;
};

// Indexes into `stamps` of the snapshots to delete, in ascending order.
std::vector<size_t> SnapshotsToDelete(const std::vector<QDateTime>& stamps, const QDate& today,
                                      const TRotationPolicy& policy,
                                      const std::function<bool(size_t)>& isGood = nullptr);
