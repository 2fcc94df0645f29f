#include "cli/CliFields.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>

#include <QByteArray>

#include "cli/CliArgs.h"
#include "cli/CliText.h"
#include "platform/TextCodec.h"

using namespace tomedb;
using json = nlohmann::ordered_json;

namespace {

[[noreturn]] void BadValue(const std::string& fieldName, const std::string& text) {
    throw CliError("'" + text + "' is not a valid value for field '" + GbToUtf8(fieldName) + "'");
}

bool IsTextType(TFieldType type) {
    return IsStringType(type) || type == ftMemo || type == ftFmtMemo || type == ftOraClob;
}

std::pair<int64_t, int64_t> IntegerRange(TFieldType type) {
    switch (type) {
        case ftSmallint:
            return {-32768, 32767};
        case ftWord:
            return {0, 65535};
        case ftInteger:
        case ftAutoInc:
            return {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
        default:
            return {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()};
    }
}

bool IsIntegerType(TFieldType type) {
    return type == ftSmallint || type == ftWord || type == ftInteger || type == ftAutoInc || type == ftLargeint;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CliError("Cannot open file '" + path + "'");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The stored form of a text value given on the command line or in a file.
std::string TextValue(const std::string& text, bool fromFile) {
    if (!fromFile)
        return Utf8ToGb(text);
    QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    QByteArray gb = ToGB(DecodeTextFile(bytes));
    return std::string(gb.constData(), static_cast<size_t>(gb.size()));
}

std::string TrimLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}  // namespace

TVariant KeyVariant(TFieldType type, const std::string& fieldName, const std::string& text) {
    if (IsIntegerType(type)) {
        std::optional<int64_t> value = ParseInteger(text);
        const auto [low, high] = IntegerRange(type);
        if (!value || *value < low || *value > high)
            BadValue(fieldName, text);
        return TVariant(*value);
    }
    if (type == ftBoolean) {
        if (text == "true" || text == "1")
            return TVariant(true);
        if (text == "false" || text == "0")
            return TVariant(false);
        BadValue(fieldName, text);
    }
    if (type == ftFloat || type == ftCurrency) {
        std::optional<double> value = ParseNumber(text);
        if (!value)
            BadValue(fieldName, text);
        return TVariant(*value);
    }
    std::optional<TDateTime> moment;
    if (type == ftDate)
        moment = ParseDateText(text);
    else if (type == ftTime)
        moment = ParseTimeText(text);
    else if (type == ftDateTime)
        moment = ParseDateTimeText(text);
    else
        return TVariant(Utf8ToGb(text));
    if (!moment)
        BadValue(fieldName, text);
    return TVariant::FromDateTime(*moment);
}

void AssignFieldText(TField& field, const std::string& text) {
    const bool fromFile = !text.empty() && text[0] == '@';
    const std::string value = fromFile ? ReadWholeFile(text.substr(1)) : text;
    const TFieldType type = field.DataType();
    if (IsTextType(type)) {
        field.SetAsString(TextValue(value, fromFile));
    } else if (field.IsBlob()) {
        if (fromFile) {
            field.SetAsString(value);
            return;
        }
        std::optional<std::string> bytes = Base64Decode(value);
        if (!bytes)
            BadValue(field.FieldName(), text);
        field.SetAsString(*bytes);
    } else {
        field.SetAsVariant(KeyVariant(type, field.FieldName(), fromFile ? TrimLineEnd(value) : value));
    }
}

json FieldToJson(const TField& field) {
    const TFieldType type = field.DataType();
    // An empty memo or blob reads as null; it is printed as empty text like any other.
    if (IsTextType(type))
        return GbToUtf8(field.AsString());
    if (field.IsBlob())
        return Base64Encode(field.AsString());
    if (IsIntegerType(type))
        return field.AsInteger();
    switch (type) {
        case ftBoolean:
            return field.AsBoolean();
        case ftFloat:
        case ftCurrency:
            return field.AsFloat();
        case ftDate:
            return DateText(field.AsDateTime());
        case ftTime:
            return TimeText(field.AsDateTime());
        case ftDateTime:
            return DateTimeText(field.AsDateTime());
        default:
            return GbToUtf8(field.AsString());
    }
}

json RecordToJson(const TTomeTable& table) {
    json record = json::object();
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField& field = table.Fields(i);
        record[GbToUtf8(field.FieldName())] = FieldToJson(field);
    }
    return record;
}

namespace {

// Length of the longest start of bytes that ends on a whole GB18030 character.
size_t WholeGbPrefix(const std::string& bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        size_t length = 1;
        if (lead >= 0x81 && lead <= 0xFE) {
            if (pos + 1 >= bytes.size())
                break;
            const auto second = static_cast<unsigned char>(bytes[pos + 1]);
            length = (second >= 0x30 && second <= 0x39) ? 4 : 2;
        }
        if (pos + length > bytes.size())
            break;
        pos += length;
    }
    return pos;
}

// A JSON string's text without its quotes.
std::string JsonStringBody(const std::string& utf8) {
    const std::string quoted = JsonLine(json(utf8));
    return quoted.substr(1, quoted.size() - 2);
}

// Writes one memo or blob value as a JSON string, piece by piece.
void WriteBlobJson(std::ostream& out, TTomeTableIO& io, int32_t record, int field, bool text) {
    std::string carry;
    out << '"';
    io.ReadFieldValueInPieces(record, field, [&](const char* data, size_t size) {
        carry.append(data, size);
        // Text is cut on a character boundary, bytes on a base64 group.
        const size_t whole = text ? WholeGbPrefix(carry) : carry.size() - carry.size() % 3;
        const std::string piece = carry.substr(0, whole);
        carry.erase(0, whole);
        out << (text ? JsonStringBody(GbToUtf8(piece)) : Base64Encode(piece));
    });
    if (!carry.empty())
        out << (text ? JsonStringBody(GbToUtf8(carry)) : Base64Encode(carry));
    out << '"';
}

}  // namespace

void WriteRecordJson(std::ostream& out, TTomeTable& table, TTomeTableIO& io) {
    out << '{';
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField& field = table.Fields(i);
        if (i > 0)
            out << ',';
        out << JsonLine(json(GbToUtf8(field.FieldName()))) << ':';
        if (field.IsBlob())
            WriteBlobJson(out, io, table.GetBookmark(), i, IsTextType(field.DataType()));
        else
            out << JsonLine(FieldToJson(field));
    }
    out << "}\n";
}

std::optional<int32_t> FieldTypeFromText(const std::string& text) {
    static const std::map<std::string, int32_t> kNames = {
        {"string", ftString},     {"integer", ftInteger},   {"boolean", ftBoolean},     {"date", ftDate},
        {"time", ftTime},         {"datetime", ftDateTime}, {"autoinc", ftAutoInc},     {"memo", ftMemo},
        {"blob", ftBlob},         {"float", ftFloat},       {"smallint", ftSmallint},   {"word", ftWord},
        {"currency", ftCurrency}, {"largeint", ftLargeint}, {"fixedchar", ftFixedChar}, {"graphic", ftGraphic},
        {"fmtmemo", ftFmtMemo}};
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto it = kNames.find(lower);
    if (it != kNames.end())
        return it->second;
    std::optional<int64_t> code = ParseInteger(text);
    if (code && *code >= 0 && *code <= 255)
        return static_cast<int32_t>(*code);
    return std::nullopt;
}

std::string JsonLine(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }
