// Text conversions of the qdb tool: UTF-8 (terminal, JSON) to and from the
// GB18030 bytes the engine stores, base64 for blob values, and the date and
// time forms qdb prints and reads. Parsers return std::nullopt for text that
// does not convert; nothing here throws except on allocation failure.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"

std::string GbToUtf8(const std::string& gb);
std::string Utf8ToGb(const std::string& utf8);

// An engine message for the terminal. Its names are GB18030, but file names
// reach the engine as given on the command line (UTF-8): every occurrence of
// one of the registered command-line words is kept as it is, the rest is
// decoded from GB18030.
void SetCommandLineWords(const std::vector<std::string>& words);
std::string MessageText(const char* message);

std::string Base64Encode(const std::string& bytes);
std::optional<std::string> Base64Decode(const std::string& text);

// "YYYY-MM-DD", "HH:MM:SS.mmm" and "YYYY-MM-DDTHH:MM:SS.mmm" of a TDateTime.
std::string DateText(tomedb::TDateTime value);
std::string TimeText(tomedb::TDateTime value);
std::string DateTimeText(tomedb::TDateTime value);

// "YYYY-MM-DD"; "HH:MM:SS[.mmm]"; "YYYY-MM-DD[(T| )HH:MM:SS[.mmm]]".
std::optional<tomedb::TDateTime> ParseDateText(const std::string& text);
std::optional<tomedb::TDateTime> ParseTimeText(const std::string& text);
std::optional<tomedb::TDateTime> ParseDateTimeText(const std::string& text);

// Whole-text decimal integer / floating-point number.
std::optional<int64_t> ParseInteger(const std::string& text);
std::optional<double> ParseNumber(const std::string& text);
