// Character stepping over GB18030 byte strings, as the filter engine needs it:
// counting characters, cutting on character boundaries and splitting text into
// characters. Pure functions over bytes; nothing fails. A malformed or
// truncated multi-byte sequence counts as one single-byte character, so every
// step always advances and never reads past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tomedb {

constexpr bool IsGbLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Byte length (1, 2 or 4) of the character starting at `pos` (pos < size).
inline size_t GbCharLength(std::string_view text, size_t pos) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (!IsGbLeadByte(at(pos)) || pos + 1 >= text.size())
        return 1;
    const unsigned char second = at(pos + 1);
    if (second >= 0x30 && second <= 0x39) {
        if (pos + 3 < text.size() && IsGbLeadByte(at(pos + 2)) && at(pos + 3) >= 0x30 && at(pos + 3) <= 0x39)
            return 4;
        return 1;
    }
    if (second >= 0x40 && second <= 0xFE && second != 0x7F)
        return 2;
    return 1;
}

inline size_t GbCharCount(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); pos += GbCharLength(text, pos))
        ++count;
    return count;
}

// Number of bytes taken by the first `chars` characters (all when fewer).
inline size_t GbPrefixBytes(std::string_view text, size_t chars) {
    size_t pos = 0;
    for (size_t n = 0; n < chars && pos < text.size(); ++n)
        pos += GbCharLength(text, pos);
    return pos;
}

// Equality of two names (tables, fields, indexes, sessions, functions),
// ignoring the case of ASCII letters only. A byte is folded only when it is a
// whole character: the trail byte of a double-byte character is compared as
// it is, so the names 0x81 0x41 and 0x81 0x61 differ, and full-width letters
// are never folded.
inline bool SameNameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; };
    for (size_t pos = 0; pos < a.size();) {
        const size_t length = GbCharLength(a, pos);
        if (length != GbCharLength(b, pos))
            return false;
        if (length == 1) {
            if (fold(static_cast<unsigned char>(a[pos])) != fold(static_cast<unsigned char>(b[pos])))
                return false;
        } else if (a.compare(pos, length, b, pos, length) != 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

// The character at `pos` as one number (its bytes, big-endian), for matching.
inline uint32_t GbCharCode(std::string_view text, size_t pos, size_t length) {
    uint32_t code = 0;
    for (size_t i = 0; i < length; ++i)
        code = (code << 8) | static_cast<unsigned char>(text[pos + i]);
    return code;
}

}  // namespace tomedb
