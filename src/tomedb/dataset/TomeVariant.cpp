#include "tomedb/dataset/TomeVariant.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tomedb/TomeError.h"

namespace tomedb {
namespace {

// Days from 1970-01-01 to y-m-d in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

constexpr int64_t kUnixToDelphiDays = 25569;  // 1970-01-01 as a TDateTime

bool ParseInt(const std::string& text, int64_t& out) {
    size_t start = 0, end = text.size();
    while (start < end && text[start] == ' ')
        ++start;
    while (end > start && text[end - 1] == ' ')
        --end;
    if (start == end)
        return false;
    const std::string trimmed = text.substr(start, end - start);
    char* stop = nullptr;
    errno = 0;
    const long long value = std::strtoll(trimmed.c_str(), &stop, 10);
    if (errno != 0 || *stop != '\0')
        return false;
    out = value;
    return true;
}

bool ParseFloat(const std::string& text, double& out) {
    if (text.empty())
        return false;
    char* stop = nullptr;
    out = std::strtod(text.c_str(), &stop);
    while (*stop == ' ')
        ++stop;
    return *stop == '\0' && stop != text.c_str();
}

// Reads "y-m-d", "h:n[:s]" or both joined by a blank.
bool ParseDateTimeParts(const std::string& text, TDateTime& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, consumed = 0;
    double result = 0;
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    if (std::sscanf(p, "%d-%d-%d%n", &y, &mo, &d, &consumed) == 3) {
        if (mo < 1 || mo > 12 || d < 1 || d > 31 || y < 1 || y > 9999)
            return false;
        int64_t yy = 0;
        unsigned mm = 0, dd = 0;
        const int64_t days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
        CivilFromDays(days, yy, mm, dd);
        if (dd != static_cast<unsigned>(d))
            return false;
        result = static_cast<double>(days + kUnixToDelphiDays);
        p += consumed;
        while (*p == ' ')
            ++p;
        if (*p == '\0') {
            out = result;
            return true;
        }
    }
    consumed = 0;
    const int fields = std::sscanf(p, "%d:%d%n:%d%n", &h, &mi, &consumed, &s, &consumed);
    if (fields < 2 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return false;
    p += consumed;
    while (*p == ' ')
        ++p;
    if (*p != '\0')
        return false;
    const double frac = (h * 3600.0 + mi * 60.0 + s) / 86400.0;
    out = result < 0 ? result - frac : result + frac;
    return true;
}

}  // namespace

TVariant TVariant::FromDateTime(TDateTime value) {
    TVariant v;
    v.type_ = TVarType::DateTime;
    v.float_ = value;
    return v;
}

std::string TVariant::AsString() const {
    switch (type_) {
        case TVarType::Null:
            return std::string();
        case TVarType::Boolean:
            return int_ ? "True" : "False";
        case TVarType::Integer:
            return std::to_string(int_);
        case TVarType::Float:
            return FormatFloat(float_);
        case TVarType::String:
            return text_;
        case TVarType::DateTime:
            return FormatDateTime(float_);
    }
    return std::string();
}

int64_t TVariant::AsInteger() const {
    switch (type_) {
        case TVarType::Null:
            return 0;
        case TVarType::Boolean:
        case TVarType::Integer:
            return int_;
        case TVarType::Float:
        case TVarType::DateTime:
            return static_cast<int64_t>(std::llround(float_));
        case TVarType::String: {
            int64_t value = 0;
            if (!ParseInt(text_, value))
                DatabaseError(FormatMessage("'%s' is not a valid integer value", text_.c_str()));
            return value;
        }
    }
    return 0;
}

double TVariant::AsFloat() const {
    switch (type_) {
        case TVarType::Null:
            return 0;
        case TVarType::Boolean:
        case TVarType::Integer:
            return static_cast<double>(int_);
        case TVarType::Float:
        case TVarType::DateTime:
            return float_;
        case TVarType::String: {
            double value = 0;
            if (!ParseFloat(text_, value))
                DatabaseError(FormatMessage("'%s' is not a valid floating point value", text_.c_str()));
            return value;
        }
    }
    return 0;
}

bool TVariant::AsBoolean() const {
    switch (type_) {
        case TVarType::Null:
            return false;
        case TVarType::Boolean:
        case TVarType::Integer:
            return int_ != 0;
        case TVarType::Float:
        case TVarType::DateTime:
            return float_ != 0;
        case TVarType::String: {
            std::string lower;
            for (char c : text_)
                lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == "true")
                return true;
            if (lower == "false")
                return false;
            int64_t value = 0;
            if (ParseInt(text_, value))
                return value != 0;
            DatabaseError(FormatMessage("'%s' is not a valid boolean value", text_.c_str()));
        }
    }
    return false;
}

TDateTime TVariant::AsDateTime() const {
    if (type_ == TVarType::String)
        return ParseDateTime(text_);
    return AsFloat();
}

bool TVariant::operator==(const TVariant& other) const {
    if (type_ != other.type_)
        return false;
    switch (type_) {
        case TVarType::Null:
            return true;
        case TVarType::Boolean:
        case TVarType::Integer:
            return int_ == other.int_;
        case TVarType::Float:
        case TVarType::DateTime:
            return float_ == other.float_;
        case TVarType::String:
            return text_ == other.text_;
    }
    return false;
}

std::string FormatFloat(double value) {
    char buffer[64];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    return buffer;
}

std::string FormatDate(TDateTime value) {
    int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(static_cast<int64_t>(std::trunc(value)) - kUnixToDelphiDays, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
    return buffer;
}

std::string FormatTime(TDateTime value) {
    const int32_t ms = DateTimeToTimeMs(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60);
    return buffer;
}

std::string FormatDateTime(TDateTime value) {
    if (DateTimeToTimeMs(value) == 0)
        return FormatDate(value);
    return FormatDate(value) + " " + FormatTime(value);
}

TDateTime ParseDateTime(const std::string& text) {
    TDateTime value = 0;
    if (!ParseDateTimeParts(text, value))
        DatabaseError(FormatMessage("'%s' is not a valid date and time", text.c_str()));
    return value;
}

int32_t DateTimeToDayNumber(TDateTime value) {
    return static_cast<int32_t>(kDateDelta + static_cast<int64_t>(std::trunc(value)));
}

int32_t DateTimeToTimeMs(TDateTime value) {
    const double frac = std::fabs(value - std::trunc(value));
    int64_t ms = std::llround(frac * kMsPerDay);
    if (ms >= kMsPerDay)
        ms = kMsPerDay - 1;
    return static_cast<int32_t>(ms);
}

double DateTimeToStoredMs(TDateTime value) {
    return static_cast<double>(DateTimeToDayNumber(value)) * kMsPerDay + DateTimeToTimeMs(value);
}

TDateTime DayNumberToDateTime(int32_t day) { return static_cast<double>(day - kDateDelta); }

TDateTime TimeMsToDateTime(int32_t ms) { return static_cast<double>(ms) / kMsPerDay; }

TDateTime StoredMsToDateTime(double ms) {
    // Day 3652059 is 9999-12-31; every millisecond of that day is valid.
    if (!std::isfinite(ms) || ms < 0 || ms >= 3652060.0 * kMsPerDay)
        return 0;
    const double day = std::floor(ms / kMsPerDay);
    const double rest = ms - day * kMsPerDay;
    if (day < 1)
        return 0;
    const double date = day - kDateDelta;
    const double frac = rest / kMsPerDay;
    return date >= 0 ? date + frac : date - frac;
}

TDateTime Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const time_t secs = ts.tv_sec;
    tm local{};
    localtime_r(&secs, &local);
    const int64_t days = DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                       static_cast<unsigned>(local.tm_mday));
    const double ms = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) * 1000.0 +
                      static_cast<double>(ts.tv_nsec / 1000000);
    return static_cast<double>(days + kUnixToDelphiDays) + ms / kMsPerDay;
}

TDateTime Today() { return std::trunc(Now()); }

}  // namespace tomedb
