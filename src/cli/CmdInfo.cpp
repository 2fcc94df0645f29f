// qdb info: the file header, algorithm settings and every table header.
#include <fstream>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliText.h"
#include "cli/CliFields.h"
#include "tomedb/storage/TomeFormat.h"

using namespace tomedb;
using json = nlohmann::ordered_json;

namespace {

// The version text of the file header (the engine validates it on open).
std::string HeaderVersion(const std::string& path) {
    char header[format::kFileHeaderSize] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(header, sizeof header);
    const char* version = header + format::kVersionOffset;
    return std::string(version, format::FixedTextLength(reinterpret_cast<const uint8_t*>(version),
                                                        format::kVersionSize));
}

json IndexOptions(uint8_t options) {
    json list = json::array();
    if (options & tiPrimary) list.push_back("primary");
    if (options & tiUnique) list.push_back("unique");
    if (options & tiDescending) list.push_back("descending");
    if (options & tiCaseInsensitive) list.push_back("caseinsensitive");
    return list;
}

json FieldsOf(const TTableHeader& header) {
    json fields = json::array();
    for (int i = 0; i < header.FieldCount(); ++i)
        fields.push_back({{"name", GbToUtf8(header.FieldName(i))},
                          {"type", header.FieldType(i)},
                          {"size", header.FieldDataSize(i)},
                          {"dpmode", header.FieldDPMode(i)}});
    return fields;
}

json IndexesOf(const TTableHeader& header) {
    json indexes = json::array();
    for (int k = 0; k < header.IndexCount(); ++k) {
        json names = json::array();
        for (int j = 0; j < header.IndexFieldCount(k); ++j) {
            const int32_t field = header.IndexField(k, j);
            names.push_back(field >= 0 && field < header.FieldCount()
                                ? json(GbToUtf8(header.FieldName(field)))
                                : json(nullptr));
        }
        indexes.push_back({{"name", GbToUtf8(header.IndexName(k))},
                           {"options", IndexOptions(header.IndexOptions(k))},
                           {"fields", names}});
    }
    return indexes;
}

json TablesOf(TTomeDBFileIO& io) {
    json tables = json::array();
    for (int t = 0; t < io.TableCount(); ++t) {
        TTableHeader header;
        io.ReadTableHeader(t, header);
        tables.push_back({{"name", GbToUtf8(header.TableName())},
                          {"records", header.RecordTotal()},
                          {"auto_inc_counter", header.AutoIncCounter()},
                          {"fields", FieldsOf(header)},
                          {"indexes", IndexesOf(header)}});
    }
    return tables;
}

// The comment, or null when the data cannot be read with the given password.
json CommentOf(TCliDatabase& database) {
    if (!database.Db().CanAccess()) return nullptr;
    std::string comment;
    if (!database.Db().GetComments(comment)) return nullptr;
    return GbToUtf8(comment);
}

}  // namespace

int RunInfo(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 1, 1});
    TCliDatabase database(args.At(0), args.PasswordOption(), true);
    TTomeDBFileIO& io = *database.Db().FileIO();
    const TAlgoBlock& algo = io.AlgoBlock();
    json info = {{"version", HeaderVersion(args.At(0))},
                 {"encrypted", algo.Encrypt()},
                 {"encrypt_algo", GbToUtf8(algo.EncryptAlgoName())},
                 {"compress_blob", algo.CompressBlob()},
                 {"compress_level", algo.CompressLevel()},
                 {"compress_algo", GbToUtf8(algo.CompressAlgoName())},
                 {"crc32", algo.CRC32()},
                 {"comment", CommentOf(database)},
                 {"file_size", database.Db().FileSize()},
                 {"tables", TablesOf(io)}};
    std::cout << JsonLine(info) << "\n";
    return 0;
}
