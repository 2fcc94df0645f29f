#include "tools/pinyin/PinyinSpell.h"

#include "tools/pinyin/PinyinTables.h"

#include <array>
#include <cstdint>
#include <utility>

namespace {

using Byte = std::uint8_t;

// Every ASCII character once, so a one-character reading can be a view.
constexpr std::array<char, 128> kAsciiChars = [] {
    std::array<char, 128> chars{};
    for (int i = 0; i < 128; ++i)
        chars[i] = static_cast<char>(i);
    return chars;
}();

std::string_view AsciiReading(Byte c) { return {kAsciiChars.data() + c, 1}; }

constexpr std::string_view kNumbers[] = {"",   "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9", "10",
                                         "11", "12", "13", "14", "15", "16", "17", "18", "19", "20"};

// Row 0xA2: the numbered symbols. Each run maps its first code to "1".
struct NumberedRun {
    Byte first;
    Byte last;
};
constexpr NumberedRun kNumberedRuns[] = {
    {0xA1, 0xAA},  // small Roman numerals i..x
    {0xB1, 0xC4},  // 1. .. 20. (digits with full stop)
    {0xC5, 0xD8},  // (1) .. (20)
    {0xD9, 0xE2},  // circled 1 .. 10
    {0xE5, 0xEE},  // parenthesised ideographs one .. ten
    {0xF1, 0xFC},  // Roman numerals I..XII
};

std::string_view NumberedSymbolReading(Byte trail) {
    for (const NumberedRun& run : kNumberedRuns) {
        if (trail >= run.first && trail <= run.last)
            return kNumbers[trail - run.first + 1];
    }
    return {};
}

// Row 0xA3: full-width forms whose ASCII counterpart is read as itself.
std::string_view FullWidthReading(Byte trail) {
    const bool kept = (trail >= 0xA8 && trail <= 0xA9) || (trail >= 0xB0 && trail <= 0xB9) ||
                      (trail >= 0xC1 && trail <= 0xDB) || trail == 0xDD || (trail >= 0xE1 && trail <= 0xFA);
    return kept ? AsciiReading(static_cast<Byte>(trail - 0x80)) : std::string_view();
}

// Row 0xA6: Greek capitals (A1..B8) and small letters (C1..D8), Alpha to Omega.
constexpr std::string_view kGreek[24] = {"a", "b", "g", "d", "e", "z", "e", "th", "i",  "k",  "l",  "m",
                                         "n", "x", "o", "p", "r", "s", "t", "u",  "ph", "kh", "ps", "o"};

std::string_view GreekReading(Byte trail) {
    if (trail >= 0xA1 && trail <= 0xB8)
        return kGreek[trail - 0xA1];
    if (trail >= 0xC1 && trail <= 0xD8)
        return kGreek[trail - 0xC1];
    return {};
}

std::string_view DoubleByteReading(Byte lead, Byte trail) {
    // 0xFF is neither a lead nor a trail byte; the tables stop at 0xFE.
    if (lead > pinyin::kLastLead || trail > pinyin::kLastTrail)
        return {};
    switch (lead) {
        case 0xA2:
            return trail > 0xA0 ? NumberedSymbolReading(trail) : std::string_view();
        case 0xA3:
            return FullWidthReading(trail);
        case 0xA6:
            return GreekReading(trail);
        default:
            break;
    }
    const int index = (lead - pinyin::kFirstLead) * pinyin::kCodeColumns + (trail - pinyin::kFirstTrail);
    return pinyin::kSyllables[pinyin::kCodeTable[index]];
}

// Punctuation, digits and letters that stand for themselves.
constexpr std::array<bool, 128> kKeptSingleBytes = [] {
    std::array<bool, 128> kept{};
    auto keep = [&kept](int first, int last) {
        for (int c = first; c <= last; ++c)
            kept[c] = true;
    };
    keep(0x21, 0x26);  // ! " # $ % &
    keep(0x28, 0x2B);  // ( ) * +
    keep(0x2D, 0x2E);  // - .
    keep(0x30, 0x3A);  // digits and :
    keep(0x3C, 0x3C);  // <
    keep(0x3E, 0x40);  // > ? @
    keep(0x41, 0x5B);  // A..Z [
    keep(0x5D, 0x5E);  // ] ^
    keep(0x61, 0x7A);  // a..z
    return kept;
}();

// Walks the text character by character: a byte above 0x80 starts a two-byte
// character when another byte follows; everything else is one byte.
template <class Visit>
void ForEachReading(std::string_view text, Visit visit) {
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t length = (static_cast<Byte>(text[pos]) > 0x80 && pos + 1 < size) ? 2 : 1;
        visit(TPinyinSpell::CharReading(text.data() + pos, length));
        pos += length;
    }
}

}  // namespace

std::string_view TPinyinSpell::CharReading(const char* bytes, std::size_t length) {
    if (bytes == nullptr || length == 0)
        return {};
    const Byte first = static_cast<Byte>(bytes[0]);
    if (length >= 2) {
        const Byte second = static_cast<Byte>(bytes[1]);
        if (first >= 0x81 && second >= 0x40)
            return DoubleByteReading(first, second);
    }
    return first < 0x80 && kKeptSingleBytes[first] ? AsciiReading(first) : std::string_view();
}

std::string TPinyinSpell::GetHzSpell(std::string_view gbText) {
    std::string spell;
    spell.reserve(gbText.size() * 3);  // about three letters per byte of Chinese text
    ForEachReading(gbText, [&spell](std::string_view reading) {
        if (reading.empty())
            return;
        if (!spell.empty())
            spell += ' ';
        spell += reading;
    });
    return spell;
}

std::string TPinyinSpell::GetPyHead(std::string_view gbText) {
    std::string head;
    head.reserve(gbText.size() / 2 + 1);
    ForEachReading(gbText, [&head](std::string_view reading) {
        if (!reading.empty())
            head += reading.front();
    });
    return head;
}

TPinyinSpell::TPinyinSpell(std::string hzText) : hzText_(std::move(hzText)) {}

void TPinyinSpell::SetHzText(std::string hzText) {
    hzText_ = std::move(hzText);
    hzSpell_.reset();
    pyHead_.reset();
}

const std::string& TPinyinSpell::HzSpell() const {
    if (!hzSpell_)
        hzSpell_ = GetHzSpell(hzText_);
    return *hzSpell_;
}

const std::string& TPinyinSpell::PyHead() const {
    if (!pyHead_)
        pyHead_ = GetPyHead(hzText_);
    return *pyHead_;
}
