// TTypingTimer: the time spent typing, for the writing log's `Seconds`. The
// editor calls KeyPressed with a monotonic time in milliseconds on every
// keystroke; the time between two keystrokes counts unless the gap is over
// five minutes (the writer was away). The save path takes the whole seconds
// gathered so far (TakeSeconds), leaving the remainder for the next save. One
// timer per open manuscript; plain value, nothing fails.
#pragma once

#include <cstdint>
#include <optional>

class TTypingTimer {
public:
    static constexpr int64_t kMaxGapMs = 5 * 60 * 1000;

    void KeyPressed(int64_t nowMs) {
        if (m_last && nowMs > *m_last && nowMs - *m_last <= kMaxGapMs)
            m_pendingMs += nowMs - *m_last;
        m_last = nowMs;
    }
    int TakeSeconds() {
        const int64_t seconds = m_pendingMs / 1000;
        m_pendingMs -= seconds * 1000;
        return static_cast<int>(seconds);
    }
    // A new manuscript in the editor: nothing carries over.
    void Reset() { *this = TTypingTimer(); }

private:
    std::optional<int64_t> m_last;
    int64_t m_pendingMs = 0;
};
