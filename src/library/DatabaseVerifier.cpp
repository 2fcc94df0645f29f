#include "library/DatabaseVerifier.h"

#include <algorithm>
#include <climits>
#include <set>

#include "platform/TextCodec.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableScan.h"

using namespace tomedb;
using namespace tomedb::format;

namespace {

std::string GbToUtf8(const std::string& gb) { return FromGB(QByteArray::fromStdString(gb)).toUtf8().toStdString(); }

std::string TableWhere(const std::string& name) { return "table '" + GbToUtf8(name) + "'"; }

}  // namespace

TDatabaseVerifier::TDatabaseVerifier(TTomeDatabase& database, TMessageText messageText, TProgress progress)
    : database_(database), io_(*database.FileIO()), messageText_(std::move(messageText)),
      progress_(std::move(progress)) {
    if (!messageText_)
        messageText_ = [](const char* message) { return GbToUtf8(message); };
}

bool TDatabaseVerifier::Passes(TTomeDatabase& database) {
    TDatabaseVerifier verifier(database);
    try {
        verifier.Run();
    } catch (const std::exception&) {
        return false;  // a structure too damaged to walk at all
    }
    return verifier.Problems().empty();
}

void TDatabaseVerifier::Problem(const std::string& where, const std::string& what) {
    problems_.push_back(where + ": " + what);
}

void TDatabaseVerifier::Claim(int64_t start, int64_t size, const std::string& owner) {
    regions_.push_back({start, start + size, owner});
}

// A record offset or chain link damaged into another valid offset still points
// inside the file; it shows as two structures claiming the same bytes.
void TDatabaseVerifier::CheckOverlaps() {
    std::sort(regions_.begin(), regions_.end(), [](const TRegion& a, const TRegion& b) { return a.start < b.start; });
    size_t widest = 0;
    for (size_t i = 1; i < regions_.size(); ++i) {
        if (regions_[i].start < regions_[widest].end)
            Problem(regions_[i].owner,
                    "overlaps " + regions_[widest].owner + " at offset " + std::to_string(regions_[i].start));
        if (regions_[i].end > regions_[widest].end)
            widest = i;
    }
}

void TDatabaseVerifier::Run() {
    Claim(0, kFixedAreaSize, "the file header");
    imageSize_ = io_.ImageSize();
    std::vector<TTableScan> scans(static_cast<size_t>(io_.TableCount()));
    std::vector<bool> sound(scans.size(), false);
    for (size_t t = 0; t < scans.size(); ++t) {
        sound[t] = ReadHeader(static_cast<int>(t), scans[t]) && ReadRecordTab(scans[t]);
        if (sound[t])
            recordsTotal_ += static_cast<int64_t>(scans[t].items.size());
    }
    for (size_t t = 0; t < scans.size(); ++t) {
        if (!sound[t])
            continue;
        bool ok = CheckRecords(scans[t]);
        for (int k = 0; k < scans[t].header.IndexCount(); ++k)
            ok = CheckIndexChain(scans[t], k) && ok;
        // The engine's own reading is only safe on a table whose structure held.
        if (ok)
            CheckDecodedTable(scans[t]);
    }
    CheckDirectory();
    CheckOverlaps();
}

// A zeroed or shortened directory hides tables that are whole in the file.
void TDatabaseVerifier::CheckDirectory() {
    for (const int32_t offset : FindUnlistedTableHeaders(io_)) {
        TTableHeader header;
        io_.ReadExact(offset, header.Bytes.data(), header.Bytes.size());
        Problem("the table directory", "lists " + std::to_string(io_.TableCount()) + " tables but not " +
                                           TableWhere(header.TableName()) + ", whose header is at offset " +
                                           std::to_string(offset));
    }
}

bool TDatabaseVerifier::ReadHeader(int tableNo, TTableScan& scan) {
    const std::string where = "table #" + std::to_string(tableNo + 1);
    const int32_t offset = io_.TableHeaderOffset(tableNo);
    if (offset < kFixedAreaSize || offset > imageSize_ - kTableHeaderSize) {
        Problem(where, "header offset " + std::to_string(offset) + " lies outside the file");
        return false;
    }
    io_.ReadExact(offset, scan.header.Bytes.data(), scan.header.Bytes.size());
    scan.name = scan.header.TableName();
    Claim(offset, kTableHeaderSize, TableWhere(scan.name) + ", header");
    if (!scan.header.CheckSane(imageSize_)) {
        Problem(where, "header of '" + GbToUtf8(scan.name) + "' is damaged");
        return false;
    }
    int32_t at = 0;
    for (int i = 0; i < scan.header.FieldCount(); ++i) {
        scan.fieldOffsets.push_back(at);
        at += StoredFieldWidth(scan.header.FieldType(i), scan.header.FieldDataSize(i));
    }
    return true;
}

// Reads the ceil(total / 1024) chunks of a chain starting at `first`.
bool TDatabaseVerifier::WalkChunks(const std::string& where, int32_t first, int32_t total, int chunkSize,
                                   std::vector<std::vector<uint8_t>>& chunks) {
    std::set<int32_t> seen;
    int32_t offset = first;
    for (int32_t done = 0; done < total; done += kChunkItems) {
        if (offset < kFixedAreaSize || offset > imageSize_ - chunkSize) {
            Problem(where, "chunk " + std::to_string(chunks.size() + 1) + " at offset " + std::to_string(offset) +
                               " lies outside the file");
            return false;
        }
        if (!seen.insert(offset).second) {
            Problem(where, "chunk chain loops at offset " + std::to_string(offset));
            return false;
        }
        Claim(offset, chunkSize, where + ", chunk " + std::to_string(chunks.size() + 1));
        chunks.emplace_back(static_cast<size_t>(chunkSize));
        io_.ReadExact(offset, chunks.back().data(), chunks.back().size());
        offset = GetI32(chunks.back().data() + kChunkNextOffset);
    }
    return true;
}

bool TDatabaseVerifier::ReadRecordTab(TTableScan& scan) {
    const int32_t total = scan.header.RecordTotal();
    std::vector<std::vector<uint8_t>> chunks;
    if (!WalkChunks(TableWhere(scan.name) + ", record tab", scan.header.RecTabOffset(), total, kRecordTabChunkSize,
                    chunks))
        return false;
    for (int32_t r = 0; r < total; ++r) {
        const uint8_t* p =
            chunks[static_cast<size_t>(r / kChunkItems)].data() + 4 + (r % kChunkItems) * kRecordTabItemSize;
        scan.items.push_back({GetI32(p), p[4]});
    }
    return true;
}

bool TDatabaseVerifier::CheckBlobDescriptor(const std::string& where, int64_t at) {
    uint8_t d[kBlobDescriptorSize];
    io_.ReadExact(at, d, sizeof d);
    const int32_t offset = GetI32(d + kBDOffset), size = GetI32(d + kBDSize), area = GetI32(d + kBDAreaSize);
    if (size == 0)
        return true;
    if (size < 0 || area < size || area % kBlobAreaGranule != 0 || offset < kFixedAreaSize ||
        static_cast<int64_t>(offset) + area > imageSize_) {
        Problem(where, "blob descriptor (offset " + std::to_string(offset) + ", size " + std::to_string(size) +
                           ", area " + std::to_string(area) + ") is damaged");
        return false;
    }
    Claim(offset, area, where + ", blob");
    return true;
}

bool TDatabaseVerifier::CheckRecords(const TTableScan& scan) {
    bool ok = true;
    const int32_t recordSize = scan.header.RecordSize();
    for (size_t r = 0; r < scan.items.size(); ++r) {
        ++recordsDone_;
        if (progress_)
            progress_(recordsDone_, recordsTotal_);
        const TRecordTabItem& item = scan.items[r];
        const std::string where = TableWhere(scan.name) + ", record " + std::to_string(r);
        if (item.DeleteFlag > 1) {
            Problem(where, "delete flag " + std::to_string(item.DeleteFlag) + " is invalid");
            ok = false;
        }
        if (item.DeleteFlag != 0)
            continue;
        if (item.DataOffset < kFixedAreaSize || static_cast<int64_t>(item.DataOffset) + recordSize > imageSize_) {
            Problem(where, "data offset " + std::to_string(item.DataOffset) + " lies outside the file");
            ok = false;
            continue;
        }
        Claim(item.DataOffset, recordSize, where);
        for (int f = 0; f < scan.header.FieldCount(); ++f)
            if (IsBlobType(scan.header.FieldType(f)))
                ok = CheckBlobDescriptor(
                         where + ", field '" + GbToUtf8(scan.header.FieldName(f)) + "'",
                         static_cast<int64_t>(item.DataOffset) + scan.fieldOffsets[static_cast<size_t>(f)]) &&
                     ok;
    }
    return ok;
}

bool TDatabaseVerifier::CheckIndexChain(const TTableScan& scan, int k) {
    const std::string where = TableWhere(scan.name) + ", index '" + GbToUtf8(scan.header.IndexName(k)) + "'";
    const int32_t total = scan.header.RecordTotal();
    std::vector<std::vector<uint8_t>> chunks;
    if (!WalkChunks(where, scan.header.IndexTabOffset(k), total, kIndexTabChunkSize, chunks))
        return false;
    std::vector<bool> visited(static_cast<size_t>(total), false);
    int32_t r = total > 0 ? scan.header.StartIndex(k) : -1;
    while (r != -1) {
        if (r < 0 || r >= total) {
            Problem(where, "chain points at record " + std::to_string(r) + ", beyond the table");
            return false;
        }
        if (visited[static_cast<size_t>(r)]) {
            Problem(where, "chain loops at record " + std::to_string(r));
            return false;
        }
        visited[static_cast<size_t>(r)] = true;
        r = GetI32(chunks[static_cast<size_t>(r / kChunkItems)].data() + 8 + (r % kChunkItems) * kIndexTabItemSize);
    }
    bool ok = true;
    for (size_t i = 0; i < scan.items.size(); ++i)
        if (scan.items[i].DeleteFlag == 0 && !visited[i]) {
            Problem(where, "record " + std::to_string(i) + " is missing from the chain");
            ok = false;
        }
    return ok;
}

void TDatabaseVerifier::CheckDecodedTable(const TTableScan& scan) {
    TTomeTableIO* io = database_.FindTableIO(scan.name);
    if (!io) {
        Problem(TableWhere(scan.name), "not known to the database");
        return;
    }
    try {
        io->Open();
    } catch (const std::exception& error) {
        Problem(TableWhere(scan.name), messageText_(error.what()));
        return;
    }
    DecodeRecords(*io, scan.name);
    CheckAutoIncCounter(*io, scan);
    for (int k = 0; k < io->IndexDefs().Count(); ++k)
        CheckIndexOrder(*io, scan.name, k);
    io->Close();
}

// Values are only decoded, a piece at a time, never held whole.
void TDatabaseVerifier::DecodeRecords(TTomeTableIO& io, const std::string& name) {
    for (const TListElement& element : io.IndexList(0))
        for (int f = 0; f < io.FieldDefs().Count(); ++f) {
            try {
                io.ReadFieldValueInPieces(element.RecIndex, f, [](const char*, size_t) {});
            } catch (const std::exception& error) {
                Problem(TableWhere(name) + ", record " + std::to_string(element.RecIndex) + ", field '" +
                            GbToUtf8(io.FieldDefs().At(f).Name) + "'",
                        messageText_(error.what()));
            }
        }
}

// The counter hands out the next number: below the highest one in use, the
// next append would repeat an existing key.
void TDatabaseVerifier::CheckAutoIncCounter(TTomeTableIO& io, const TTableScan& scan) {
    int field = -1;
    for (int f = 0; f < io.FieldDefs().Count() && field < 0; ++f)
        if (io.FieldDefs().At(f).FieldType == ftAutoInc)
            field = f;
    if (field < 0)
        return;
    std::string value;
    int64_t highest = INT64_MIN;
    try {
        for (const TListElement& element : io.IndexList(0)) {
            io.ReadFieldValue(value, element.RecIndex, field);
            if (value.size() >= 4)
                highest = std::max<int64_t>(highest, GetI32(reinterpret_cast<const uint8_t*>(value.data())));
        }
    } catch (const std::exception&) {
        return;  // DecodeRecords has reported it
    }
    const int32_t counter = scan.header.AutoIncCounter();
    if (highest > counter)
        Problem(TableWhere(scan.name), "auto-increment counter " + std::to_string(counter) +
                                           " is below the highest ID " + std::to_string(highest));
}

int TDatabaseVerifier::CompareKeys(TTomeTableIO& io, int k, int32_t left, int32_t right) {
    const TTomeIndexDef& index = io.IndexDefs().At(k);
    std::string a, b;
    for (int32_t field : index.FieldIdxes) {
        io.ReadFieldValue(a, left, field);
        io.ReadFieldValue(b, right, field);
        const int c =
            TTomeTableIO::CompareFieldValues(a.data(), a.size(), b.data(), b.size(), io.FieldDefs().At(field).FieldType,
                                             (index.Options & tiCaseInsensitive) != 0, false);
        if (c != 0)
            return (index.Options & tiDescending) ? -c : c;
    }
    return 0;
}

void TDatabaseVerifier::CheckIndexOrder(TTomeTableIO& io, const std::string& name, int k) {
    const TTomeIndexDef& index = io.IndexDefs().At(k);
    const std::string where = TableWhere(name) + ", index '" + GbToUtf8(index.Name) + "'";
    const bool unique = (index.Options & (tiPrimary | tiUnique)) != 0;
    try {
        const TElementList& list = io.IndexList(k + 1);
        for (size_t i = 1; i < list.size(); ++i) {
            const int c = CompareKeys(io, k, list[i - 1].RecIndex, list[i].RecIndex);
            if (c > 0 || (c == 0 && unique))
                Problem(where, "records " + std::to_string(list[i - 1].RecIndex) + " and " +
                                   std::to_string(list[i].RecIndex) +
                                   (c > 0 ? " are out of order" : " have the same key"));
        }
    } catch (const std::exception& error) {
        Problem(where, messageText_(error.what()));
    }
}
