// Field and index definitions of a loaded table (TTomeTableIO builds them
// from the TableHeader). TTomeDefCollection is a small owning, named
// collection: lookup by name ignores letter case (ASCII); an item added
// without a name is named after its class (characters 2-6 of the class name)
// and its position counted from 1, e.g. "TomeF1". Nothing here fails except
// At() with an index out of range (std::out_of_range).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {

using TIntegerAry = std::vector<int32_t>;

class TTomeDefItem {
public:
    virtual ~TTomeDefItem() = default;
    virtual const char* ClassName() const = 0;
    std::string Name;
};

class TTomeFieldDef : public TTomeDefItem {
public:
    const char* ClassName() const override { return "TTomeFieldDef"; }
    int32_t FieldType = 0;
    int32_t DataSize = 0;
    uint8_t DPMode = 0;
};

class TTomeIndexDef : public TTomeDefItem {
public:
    const char* ClassName() const override { return "TTomeIndexDef"; }
    TTMIndexOptions Options = 0;
    TIntegerAry FieldIdxes;  // key field numbers, at most 8
};

template <class Item>
class TTomeDefCollection {
public:
    Item& Add(const std::string& name = std::string()) {
        auto item = std::make_unique<Item>();
        item->Name = name.empty() ? DefaultName(*item, Items_.size() + 1) : name;
        Items_.push_back(std::move(item));
        return *Items_.back();
    }
    int Count() const { return static_cast<int>(Items_.size()); }
    Item& At(int i) { return *Items_.at(static_cast<size_t>(i)); }
    const Item& At(int i) const { return *Items_.at(static_cast<size_t>(i)); }
    // Position of the item with that name (ASCII case ignored), -1 when none.
    int IndexOf(const std::string& name) const {
        for (size_t i = 0; i < Items_.size(); ++i)
            if (SameNameAscii(Items_[i]->Name, name))
                return static_cast<int>(i);
        return -1;
    }
    Item* Find(const std::string& name) {
        const int i = IndexOf(name);
        return i < 0 ? nullptr : Items_[static_cast<size_t>(i)].get();
    }
    void Clear() { Items_.clear(); }

private:
    static std::string DefaultName(const Item& item, size_t position) {
        const std::string cls = item.ClassName();
        return cls.substr(1, 5) + std::to_string(position);
    }
    std::vector<std::unique_ptr<Item>> Items_;
};

using TTomeFieldDefs = TTomeDefCollection<TTomeFieldDef>;
using TTomeIndexDefs = TTomeDefCollection<TTomeIndexDef>;

}  // namespace tomedb
