// Writes arbitrary bytes to a file, counts the tables the file holds (those
// the directory lists and any sane header it does not) and the live records
// of each table that reads, then compacts it. A compact may refuse
// (EDatabaseError or false); one that succeeds must leave a file with at least
// as many tables and, in each, at least as many live records. Anything else (a
// crash, a sanitizer report, another exception, fewer tables or records) is a
// finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeTableIO.h"
#include "tomedb/storage/TomeTableScan.h"

using namespace tomedb;

namespace {

struct TContents {
    size_t tables = 0;
    std::map<std::string, size_t> records;  // tables that read whole
};

TContents Count(TTomeDatabase& db) {
    TTomeDBFileIO& io = *db.FileIO();
    TContents contents;
    contents.tables = static_cast<size_t>(io.TableCount()) + FindUnlistedTableHeaders(io).size();
    std::vector<std::string> names;
    io.GetTableNames(names);
    for (const std::string& name : names) {
        try {
            TTomeTableIO table(io, name);
            table.Open();
            contents.records[name] = table.IndexList(0).size();
        } catch (const EDatabaseError&) {
        }
    }
    return contents;
}

const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/verify-compact.XXXXXX";
        if (!mkdtemp(pattern.data()))
            abort();
        return pattern + "/lib.qdb";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    const std::string& path = ScratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        TTomeDatabase db;
        db.SetDatabaseName(path);
        db.Open();
        const TContents before = Count(db);
        if (!db.Compact())
            return 0;
        const TContents after = Count(db);
        if (after.tables < before.tables)
            abort();
        for (const auto& [name, records] : before.records) {
            const auto it = after.records.find(name);
            if (it == after.records.end() || it->second < records)
                abort();
        }
    } catch (const EDatabaseError&) {
    }
    return 0;
}
