// TPinyinSpell: toneless pinyin of Chinese text given as GB18030/GBK bytes,
// from the built-in tables (PinyinTables.h plus the symbol rows handled here).
//
// HzSpell is the full pinyin, one space between readings; PyHead the first
// letter of each reading without separators. Both are computed on first read
// and cached; writing HzText clears both caches. The caches make reads of one
// instance unsafe from several threads at once; the static conversions keep no
// state and may be used from any thread. Nothing here throws except
// std::bad_alloc; any byte string is valid input (bytes that form no known
// character simply have no reading).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class TPinyinSpell {
public:
    TPinyinSpell() = default;
    explicit TPinyinSpell(std::string hzText);

    const std::string& HzText() const { return hzText_; }
    void SetHzText(std::string hzText);

    const std::string& HzSpell() const;
    const std::string& PyHead() const;

    // The class-level conversions (no instance, no cache).
    static std::string GetHzSpell(std::string_view gbText);
    static std::string GetPyHead(std::string_view gbText);

    // Reading of one character of `length` bytes (1 or 2 are looked at):
    // a syllable, a number for the numbered symbols, one ASCII character, or
    // empty when the character has no reading. The view points into static
    // storage and stays valid for the life of the program.
    static std::string_view CharReading(const char* bytes, std::size_t length);

private:
    std::string hzText_;
    mutable std::optional<std::string> hzSpell_;
    mutable std::optional<std::string> pyHead_;
};
