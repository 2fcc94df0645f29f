#include "cli/CliText.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/TextCodec.h"
#include "tomedb/dataset/TomeVariant.h"

using namespace std::chrono;

namespace {

// Day number (0001-01-01 = 1) of 1970-01-01, the epoch of sys_days.
constexpr int32_t kUnixEpochDay = 719163;

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

std::string Str(const QByteArray& bytes) { return std::string(bytes.constData(), static_cast<size_t>(bytes.size())); }

year_month_day CivilDate(int32_t dayNumber) { return year_month_day{sys_days{days{dayNumber - kUnixEpochDay}}}; }

// Reads exactly `digits` decimal digits at text[pos].
bool ReadDigits(const std::string& text, size_t pos, size_t digits, int& out) {
    if (pos + digits > text.size())
        return false;
    out = 0;
    for (size_t i = pos; i < pos + digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::string GbToUtf8(const std::string& gb) { return Str(FromGB(Bytes(gb)).toUtf8()); }

std::string Utf8ToGb(const std::string& utf8) { return Str(ToGB(QString::fromUtf8(Bytes(utf8)))); }

namespace {

std::vector<std::string>& CommandLineWords() {
    static std::vector<std::string> words;
    return words;
}

// Length of the registered word found at text[pos], 0 when none.
size_t WordAt(const std::string& text, size_t pos) {
    for (const std::string& word : CommandLineWords())
        if (text.compare(pos, word.size(), word) == 0)
            return word.size();
    return 0;
}

}  // namespace

void SetCommandLineWords(const std::vector<std::string>& words) {
    // ASCII words read the same in both encodings; only the others matter.
    CommandLineWords().clear();
    for (const std::string& word : words)
        if (std::any_of(word.begin(), word.end(), [](char c) { return (c & 0x80) != 0; }))
            CommandLineWords().push_back(word);
}

std::string MessageText(const char* message) {
    const std::string text = message;
    std::string result, gb;
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = WordAt(text, pos);
        if (length == 0) {
            gb += text[pos++];
            continue;
        }
        result += GbToUtf8(gb) + text.substr(pos, length);
        gb.clear();
        pos += length;
    }
    return result + GbToUtf8(gb);
}

std::string Base64Encode(const std::string& bytes) { return Str(Bytes(bytes).toBase64()); }

std::optional<std::string> Base64Decode(const std::string& text) {
    auto result = QByteArray::fromBase64Encoding(Bytes(text), QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return Str(*result);
}

std::string DateText(tomedb::TDateTime value) {
    const year_month_day date = CivilDate(tomedb::DateTimeToDayNumber(value));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return buffer;
}

std::string TimeText(tomedb::TDateTime value) {
    const int32_t ms = tomedb::DateTimeToTimeMs(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000);
    return buffer;
}

std::string DateTimeText(tomedb::TDateTime value) { return DateText(value) + "T" + TimeText(value); }

std::optional<tomedb::TDateTime> ParseDateText(const std::string& text) {
    int y = 0, m = 0, d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ReadDigits(text, 0, 4, y) ||
        !ReadDigits(text, 5, 2, m) || !ReadDigits(text, 8, 2, d))
        return std::nullopt;
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!date.ok() || y < 1)
        return std::nullopt;
    const int32_t dayNumber = static_cast<int32_t>(sys_days{date}.time_since_epoch().count()) + kUnixEpochDay;
    return tomedb::DayNumberToDateTime(dayNumber);
}

std::optional<tomedb::TDateTime> ParseTimeText(const std::string& text) {
    int h = 0, n = 0, s = 0, ms = 0;
    if (text.size() < 8 || text[2] != ':' || text[5] != ':' || !ReadDigits(text, 0, 2, h) ||
        !ReadDigits(text, 3, 2, n) || !ReadDigits(text, 6, 2, s))
        return std::nullopt;
    if (text.size() != 8 && (text.size() != 12 || text[8] != '.' || !ReadDigits(text, 9, 3, ms)))
        return std::nullopt;
    if (h > 23 || n > 59 || s > 59)
        return std::nullopt;
    return tomedb::TimeMsToDateTime(((h * 60 + n) * 60 + s) * 1000 + ms);
}

std::optional<tomedb::TDateTime> ParseDateTimeText(const std::string& text) {
    std::optional<tomedb::TDateTime> date = ParseDateText(text.substr(0, 10));
    if (!date)
        return std::nullopt;
    if (text.size() == 10)
        return date;
    if (text[10] != 'T' && text[10] != ' ')
        return std::nullopt;
    std::optional<tomedb::TDateTime> time = ParseTimeText(text.substr(11));
    if (!time)
        return std::nullopt;
    // Before 1899-12-30 the day part is negative while the time still counts forward.
    return *date < 0 ? *date - *time : *date + *time;
}

std::optional<int64_t> ParseInteger(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE)
        return std::nullopt;
    return static_cast<int64_t>(value);
}

std::optional<double> ParseNumber(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}
