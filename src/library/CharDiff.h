// Character-level differences between two texts (Chinese has no spaces to
// split words on): runs of equal, removed and added text in order, such that
// the equal and removed runs spell `before` and the equal and added runs
// spell `after`. Plain values, no widgets; nothing fails. Texts are compared
// by UTF-16 code unit with surrogate pairs kept whole.
#pragma once

#include <QString>
#include <vector>

enum class TDiffOp { Equal, Removed, Added };

struct TDiffRun {
    TDiffOp Op = TDiffOp::Equal;
    QString Text;
    bool operator==(const TDiffRun&) const = default;
};

// The common head and tail are matched first; the middle by the shortest edit
// script. When the middle needs more than `maxEdits` edits it is shown as one
// removed and one added run (a rewrite, not worth a finer search).
std::vector<TDiffRun> CharDiff(const QString& before, const QString& after, int maxEdits = 1000);
