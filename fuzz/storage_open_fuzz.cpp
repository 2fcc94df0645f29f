// Opens arbitrary bytes as an in-memory image and reads every table, every
// list, every record and every blob. A damaged image must end in
// EDatabaseError; anything else (a crash, a sanitizer report, another
// exception, a hang, a huge allocation) is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeMemoryImage.h"
#include "tomedb/storage/TomeTableIO.h"

using namespace tomedb;

namespace {

void ReadTable(TTomeDBFileIO& io, const std::string& name) {
    TTomeTableIO table(io, name);
    table.Open();
    TFieldBuffers buffers;
    for (int i = 0; i < table.FieldDefs().Count(); ++i)
        buffers.AddOwned(table.FieldDefs().At(i).FieldType, table.FieldWidth(i));
    for (int list = 0; list < table.ListCount(); ++list) {
        const TElementList& elements = table.IndexList(list);
        for (size_t p = 0; p < elements.size(); ++p) {
            table.ReadRecord(buffers, elements, static_cast<int>(p));
            for (int f = 0; f < buffers.Count(); ++f)
                if (buffers[f].Blob)
                    buffers[f].Blob->Data();
        }
    }
    // One key search per index over the first record's values.
    if (!table.IndexList(0).empty()) {
        table.ReadRecord(buffers, table.IndexList(0), 0);
        for (int k = 0; k < table.IndexDefs().Count(); ++k) {
            int result = 0;
            table.SearchIndex(buffers, table.IndexList(k + 1), k, result, 0, false);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    TTomeMemoryImage image(std::vector<uint8_t>(data, data + size));
    try {
        TTomeDBFileIO io;
        io.Open(image.Name(), mtMemory, 0, true, false);
        io.CheckPassword("");
        std::vector<std::string> names;
        io.GetTableNames(names);
        for (const std::string& name : names) {
            try {
                ReadTable(io, name);
            } catch (const EDatabaseError&) {
                // a damaged table; the others may be intact
            }
        }
    } catch (const EDatabaseError&) {
    }
    return 0;
}
