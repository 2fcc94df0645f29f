// A search of a whole image for table headers that its table directory does
// not list. A zeroed or shortened directory hides tables whose headers,
// records and chains are still intact; the verifier reports them, and a
// rebuild refuses to run rather than write a file without them.
//
// A candidate is any position past the fixed area holding a header that
// passes TTableHeader::CheckSane with a non-empty, NUL-terminated name and a
// zero reserved area. A dropped table's header is cleared of its name (see
// TTomeDBFileIO::DeleteTable), so it is not found. Reads the image through the
// file layer; raises only what ReadExact raises.
#pragma once

#include <cstdint>
#include <vector>

namespace tomedb {

class TTomeDBFileIO;

// Offsets of the sane table headers in the image that the directory does not
// list, in ascending order.
std::vector<int32_t> FindUnlistedTableHeaders(TTomeDBFileIO& io);

}  // namespace tomedb
