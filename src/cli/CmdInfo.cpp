// qdb info: the file header, algorithm settings and every table header.
#include <fstream>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliSchema.h"
#include "cli/CliText.h"
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
    return std::string(version,
                       format::FixedTextLength(reinterpret_cast<const uint8_t*>(version), format::kVersionSize));
}

// The comment, or null when the data cannot be read with the given password.
json CommentOf(TCliDatabase& database) {
    if (!database.Db().CanAccess())
        return nullptr;
    std::string comment;
    if (!database.Db().GetComments(comment))
        return nullptr;
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
                 {"tables", SchemaJson(io, GbToUtf8)}};
    std::cout << JsonLine(info) << "\n";
    return 0;
}
