// Field values between the engine and qdb's text forms: a field of the
// current record as a JSON value (strings decoded from GB18030, dates as
// "YYYY-MM-DD", date-times as "YYYY-MM-DDTHH:MM:SS.mmm", blobs as base64), and
// a NAME=VALUE argument written into a field. A value that does not convert
// raises CliError naming the field. Type names and codes of
// create-table are resolved here too.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "tomedb/TomeDB.h"
#include "tomedb/storage/TomeTableIO.h"

nlohmann::ordered_json FieldToJson(const tomedb::TField& field);
// One record: every field by its stored name.
nlohmann::ordered_json RecordToJson(const tomedb::TTomeTable& table);
// The same JSON object written to out, memo and blob values decoded and
// converted a piece at a time through io (the storage of table's current
// record), so a huge value never sits in memory whole.
void WriteRecordJson(std::ostream& out, tomedb::TTomeTable& table, tomedb::TTomeTableIO& io);

// Writes text (UTF-8, or "@path" to read the value from a file) into field.
void AssignFieldText(tomedb::TField& field, const std::string& text);
// A key value for FindKey on a field of this type.
tomedb::TVariant KeyVariant(tomedb::TFieldType type, const std::string& fieldName, const std::string& text);

// "String", "Integer", ... (any letter case) or a numeric code; nullopt when unknown.
std::optional<int32_t> FieldTypeFromText(const std::string& text);

// One line of JSON (UTF-8; invalid sequences replaced).
std::string JsonLine(const nlohmann::ordered_json& value);
