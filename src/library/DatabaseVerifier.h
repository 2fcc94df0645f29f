// TDatabaseVerifier: the checks of `qdb verify` and of the backup listing
// (a snapshot that fails them is damaged). It walks, read-only, every table
// header, record tab chain, record, blob descriptor and index chain of an open
// database (raw, with its own range checks, so a damaged file yields
// messages rather than exceptions), then decodes every field of every live
// record and checks each index's order and uniqueness through the engine's
// table storage. It collects problems as UTF-8 text; it never writes. The
// database must be open and readable (its password given) for the decoding
// checks; Run raises only when even the structure cannot be read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tomedb/TomeDB.h"
#include "tomedb/storage/TomeTableIO.h"

class TDatabaseVerifier {
public:
    // Turns an engine message (GB18030 names inside) into report text.
    using TMessageText = std::function<std::string(const char* message)>;
    // Records checked so far of the total.
    using TProgress = std::function<void(int64_t done, int64_t total)>;

    explicit TDatabaseVerifier(tomedb::TTomeDatabase& database, TMessageText messageText = {}, TProgress progress = {});
    void Run();
    // Runs every check; true when none found a problem.
    static bool Passes(tomedb::TTomeDatabase& database);
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    struct TTableScan {
        std::string name;
        tomedb::TTableHeader header;
        std::vector<tomedb::TRecordTabItem> items;
        std::vector<int32_t> fieldOffsets;
    };

    // A stretch of the image that one structure owns; no two may overlap.
    struct TRegion {
        int64_t start = 0;
        int64_t end = 0;
        std::string owner;
    };

    void Problem(const std::string& where, const std::string& what);
    void Claim(int64_t start, int64_t size, const std::string& owner);
    void CheckOverlaps();
    void CheckDirectory();
    bool ReadHeader(int tableNo, TTableScan& scan);
    bool WalkChunks(const std::string& where, int32_t first, int32_t total, int chunkSize,
                    std::vector<std::vector<uint8_t>>& chunks);
    bool ReadRecordTab(TTableScan& scan);
    bool CheckRecords(const TTableScan& scan);
    bool CheckBlobDescriptor(const std::string& where, int64_t at);
    bool CheckIndexChain(const TTableScan& scan, int k);
    void CheckDecodedTable(const TTableScan& scan);
    void DecodeRecords(tomedb::TTomeTableIO& io, const std::string& name);
    void CheckAutoIncCounter(tomedb::TTomeTableIO& io, const TTableScan& scan);
    void CheckIndexOrder(tomedb::TTomeTableIO& io, const std::string& name, int k);
    int CompareKeys(tomedb::TTomeTableIO& io, int k, int32_t left, int32_t right);

    tomedb::TTomeDatabase& database_;
    tomedb::TTomeDBFileIO& io_;
    TMessageText messageText_;
    TProgress progress_;
    int64_t imageSize_ = 0;
    int64_t recordsDone_ = 0;
    int64_t recordsTotal_ = 0;
    std::vector<std::string> problems_;
    std::vector<TRegion> regions_;
};
