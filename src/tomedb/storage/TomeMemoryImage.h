// TTomeMemoryImage: an image held in memory, for the mtMemory medium.
//
// The caller creates and owns the object and keeps it alive while a database
// uses it; the engine never frees it and never locks it. The database name that
// designates it is Name(): a colon followed by the object's address in
// hexadecimal. Every image registers itself on construction and leaves the
// registry on destruction, so a name is only ever resolved to a live image:
// FindMemoryImage gives nullptr for a name that designates nothing (and the
// file layer then raises "Invalid database name '%s'").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tomedb/storage/TomeMedium.h"

namespace tomedb {

class TTomeMemoryImage final : public TTomeMedium {
public:
    TTomeMemoryImage();
    explicit TTomeMemoryImage(std::vector<uint8_t> bytes);
    ~TTomeMemoryImage() override;
    TTomeMemoryImage(const TTomeMemoryImage&) = delete;
    TTomeMemoryImage& operator=(const TTomeMemoryImage&) = delete;

    // ":" followed by the object's address in hexadecimal.
    std::string Name() const;

    size_t ReadAt(int64_t position, void* buffer, size_t count) override;
    void WriteAt(int64_t position, const void* buffer, size_t count) override;
    int64_t Size() override { return static_cast<int64_t>(Bytes_.size()); }
    void Flush() override {}
    bool TryLock() override { return true; }
    void Unlock() override {}
    void Truncate(int64_t size) override {
        if (size >= 0 && static_cast<size_t>(size) < Bytes_.size())
            Bytes_.resize(static_cast<size_t>(size));
    }

    std::vector<uint8_t>& Bytes() { return Bytes_; }
    const std::vector<uint8_t>& Bytes() const { return Bytes_; }

private:
    std::vector<uint8_t> Bytes_;
};

// Resolves a memory database name (":" and hexadecimal digits, either case).
// Returns nullptr when the text is malformed or designates no live image.
TTomeMemoryImage* FindMemoryImage(const std::string& name);

}  // namespace tomedb
