// The schema of an open database file as qdb info prints it: every table with
// its record count, auto-increment counter, fields and indexes, each stored
// name passed through text (qdb decodes GB18030 to UTF-8). Plain C++, no Qt. Headers are read through the file layer,
// which refuses a damaged one with "Database file '%s' is damaged" (EDatabaseError).
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "tomedb/storage/TomeDBFileIO.h"

using TNameText = std::function<std::string(const std::string&)>;
nlohmann::ordered_json SchemaJson(tomedb::TTomeDBFileIO& io, const TNameText& text);
