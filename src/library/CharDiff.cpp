#include "library/CharDiff.h"

#include <algorithm>

namespace {

// Units: whole characters (a surrogate pair is one unit).
std::vector<QString> Units(QStringView text) {
    std::vector<QString> out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        out.emplace_back(text.mid(i, n).toString());
        i += n - 1;
    }
    return out;
}

void Push(std::vector<TDiffRun>& runs, TDiffOp op, const QString& text) {
    if (text.isEmpty())
        return;
    if (!runs.empty() && runs.back().Op == op)
        runs.back().Text += text;
    else
        runs.push_back({op, text});
}

using TUnits = std::vector<QString>;

// Shortest edit script of a[0..n) -> b[0..m) (forward search keeping every
// round's frontier), appended to runs; false when it needs more than maxEdits.
bool EditScript(const TUnits& a, const TUnits& b, int maxEdits, std::vector<TDiffRun>& runs) {
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    const int limit = std::min(n + m, maxEdits);
    const int offset = limit + 1;
    std::vector<int> v(static_cast<size_t>(2 * offset + 1), 0);
    std::vector<std::vector<int>> trace;
    for (int d = 0; d <= limit; ++d) {
        trace.push_back(v);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                   : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            v[offset + k] = x;
            if (x >= n && y >= m) {
                // Walk the rounds back to spell the runs, then append in order.
                std::vector<TDiffRun> reversed;
                for (int dd = d; dd > 0; --dd) {
                    const std::vector<int>& pv = trace[static_cast<size_t>(dd)];
                    const int kk = x - y;
                    const bool down = kk == -dd || (kk != dd && pv[offset + kk - 1] < pv[offset + kk + 1]);
                    const int pk = down ? kk + 1 : kk - 1;
                    const int px = pv[offset + pk];
                    const int py = px - pk;
                    while (x > px + (down ? 0 : 1) && y > py + (down ? 1 : 0)) {
                        reversed.push_back({TDiffOp::Equal, a[static_cast<size_t>(--x)]});
                        --y;
                    }
                    if (down)
                        reversed.push_back({TDiffOp::Added, b[static_cast<size_t>(--y)]});
                    else
                        reversed.push_back({TDiffOp::Removed, a[static_cast<size_t>(--x)]});
                }
                while (x > 0 && y > 0) {
                    reversed.push_back({TDiffOp::Equal, a[static_cast<size_t>(--x)]});
                    --y;
                }
                for (auto it = reversed.rbegin(); it != reversed.rend(); ++it)
                    Push(runs, it->Op, it->Text);
                return true;
            }
        }
    }
    return false;
}

QString Join(const TUnits& units) {
    QString out;
    for (const QString& unit : units)
        out += unit;
    return out;
}

}  // namespace

std::vector<TDiffRun> CharDiff(const QString& before, const QString& after, int maxEdits) {
    const TUnits a = Units(before), b = Units(after);
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    std::vector<TDiffRun> runs;
    Push(runs, TDiffOp::Equal, Join(TUnits(a.begin(), a.begin() + static_cast<long>(head))));
    const TUnits midA(a.begin() + static_cast<long>(head), a.end() - static_cast<long>(tail));
    const TUnits midB(b.begin() + static_cast<long>(head), b.end() - static_cast<long>(tail));
    if (!EditScript(midA, midB, maxEdits, runs)) {
        Push(runs, TDiffOp::Removed, Join(midA));
        Push(runs, TDiffOp::Added, Join(midB));
    }
    Push(runs, TDiffOp::Equal, Join(TUnits(a.end() - static_cast<long>(tail), a.end())));
    return runs;
}
