// What a filter needs from the table that applies it.
//
// TFilterOptions are the table's FilterOptions. TFilterRecordSource is the
// narrow view of "the current record" a TFilterParser evaluates against: the
// table layer (or a test fixture) implements it. The filter binds field names
// once per Parse (FindField, GetFieldType) and reads values once per evaluated
// field node (GetFieldData). The source owns every byte it hands out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tomedb/FieldTypes.h"

namespace tomedb {

enum TFilterOption : uint32_t {
    foCaseInsensitive = 1u << 0,
    foNoPartialCompare = 1u << 1,
};
using TFilterOptions = uint32_t;

// One field value of the current record in its stored form: the fixed-part
// slot (little-endian numbers, NUL-terminated text; see FieldTypes.h) or, for
// a blob field, the blob's whole decoded content. `data` stays valid until the
// next GetFieldData call on the same source or until the record changes.
struct TFieldData {
    const void* data = nullptr;
    size_t size = 0;
    bool isNull = false;
};

class TFilterRecordSource {
public:
    virtual ~TFilterRecordSource() = default;
    // Index of the field called `name` (ASCII letter case ignored); -1 when none.
    virtual int FindField(std::string_view name) const = 0;
    virtual TFieldType GetFieldType(int index) const = 0;
    // The current record's value of field `index` (an index FindField gave).
    virtual TFieldData GetFieldData(int index) = 0;
};

}  // namespace tomedb
