// Reads the schema of arbitrary bytes opened as an in-memory image, as
// `qdb info` does, and prints it as JSON. A damaged image must end in
// EDatabaseError; a crash, a sanitizer report or another exception is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cli/CliSchema.h"
#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeMemoryImage.h"

using namespace tomedb;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    TTomeMemoryImage image(std::vector<uint8_t>(data, data + size));
    try {
        TTomeDBFileIO io;
        io.Open(image.Name(), mtMemory, 0, true, false);
        const nlohmann::ordered_json schema = SchemaJson(io, [](const std::string& name) { return name; });
        const std::string text = schema.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        if (text.empty())
            __builtin_trap();
    } catch (const EDatabaseError&) {
        // a damaged image, refused
    }
    return 0;
}
