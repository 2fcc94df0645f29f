#include "tomedb/storage/TomeFieldBuffers.h"

namespace tomedb {

TFieldBufferItem::~TFieldBufferItem() {
    if (!OwnsValue)
        return;
    delete[] Data;
    delete Blob;
}

const uint8_t* TFieldBufferItem::KeyData() {
    if (IsBlob())
        return Blob ? reinterpret_cast<const uint8_t*>(Blob->Data().data()) : nullptr;
    return Data;
}

size_t TFieldBufferItem::KeySize() {
    if (IsBlob())
        return Blob ? Blob->Data().size() : 0;
    return Data ? static_cast<size_t>(DataSize) : 0;
}

TFieldBufferItem& TFieldBuffers::Add() {
    Items_.push_back(std::make_unique<TFieldBufferItem>());
    return *Items_.back();
}

TFieldBufferItem& TFieldBuffers::AddOwned(int32_t fieldType, int32_t storedWidth) {
    TFieldBufferItem& item = Add();
    item.FieldType = fieldType;
    item.OwnsValue = true;
    if (IsBlobType(fieldType)) {
        item.Blob = new TOptimBlobStream();
    } else {
        item.DataSize = storedWidth;
        item.Data = new uint8_t[static_cast<size_t>(storedWidth)]();
    }
    return item;
}

}  // namespace tomedb
