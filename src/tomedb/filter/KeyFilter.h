// TIntegerKeyFilter: recognises the filters that only pick records by an
// integer key, "Field = 7", "7 = Field" and "Field IN (1, 2, 3)", where Field
// is a stored integer field (smallint, integer, word, auto-increment,
// largeint) and every constant an integer. A scan can then test the field's
// stored bytes directly instead of evaluating the expression tree per record;
// the outcome is the same as the tree's for every record.
//
// Built from a parsed tree (TExprNodes); owns a copy of the keys. Cannot fail:
// Recognise returns false for any other expression.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/filter/ExprNode.h"

namespace tomedb {

class TIntegerKeyFilter {
public:
    bool Recognise(const TExprNodes& nodes);
    int Field() const { return field_; }
    TFieldType FieldType() const { return type_; }
    // The field's stored (decoded, not encrypted) bytes pass the filter.
    bool Passes(const void* stored, size_t size) const;
    // The field's decoded value passes the filter.
    bool PassesValue(int64_t value) const {
        return keys_.size() == 1 ? value == keys_[0] : std::binary_search(keys_.begin(), keys_.end(), value);
    }

private:
    bool SetField(const TExprNode* node);
    bool AddKey(const TExprNode* node);

    int field_ = -1;
    TFieldType type_ = ftUnknown;
    std::vector<int64_t> keys_;  // sorted, without repeats
};

}  // namespace tomedb
