#include "tomedb/storage/TomeMemoryImage.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeFormat.h"

namespace tomedb {

namespace {

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<uintptr_t>& Registry() {
    static std::unordered_set<uintptr_t> images;
    return images;
}

void Register(const TTomeMemoryImage* image) {
    std::lock_guard<std::mutex> guard(RegistryMutex());
    Registry().insert(reinterpret_cast<uintptr_t>(image));
}

}  // namespace

TTomeMemoryImage::TTomeMemoryImage() { Register(this); }

TTomeMemoryImage::TTomeMemoryImage(std::vector<uint8_t> bytes) : Bytes_(std::move(bytes)) { Register(this); }

TTomeMemoryImage::~TTomeMemoryImage() {
    std::lock_guard<std::mutex> guard(RegistryMutex());
    Registry().erase(reinterpret_cast<uintptr_t>(this));
}

std::string TTomeMemoryImage::Name() const {
    char text[32];
    std::snprintf(text, sizeof text, ":%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
    return text;
}

size_t TTomeMemoryImage::ReadAt(int64_t position, void* buffer, size_t count) {
    if (position < 0 || position >= Size())
        return 0;
    const size_t available = Bytes_.size() - static_cast<size_t>(position);
    const size_t n = count < available ? count : available;
    std::memcpy(buffer, Bytes_.data() + position, n);
    return n;
}

void TTomeMemoryImage::WriteAt(int64_t position, const void* buffer, size_t count) {
    const int64_t end = position + static_cast<int64_t>(count);
    if (position < 0 || end > format::kMaxImageSize)
        throw EDatabaseError("Write error: the image would exceed 2 GB");
    if (static_cast<size_t>(end) > Bytes_.size())
        Bytes_.resize(static_cast<size_t>(end));
    if (count > 0)
        std::memcpy(Bytes_.data() + position, buffer, count);
}

TTomeMemoryImage* FindMemoryImage(const std::string& name) {
    if (name.size() < 2 || name.size() > 17 || name[0] != ':')
        return nullptr;
    uintptr_t value = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        const char c = name[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return nullptr;
        value = (value << 4) | static_cast<uintptr_t>(digit);
    }
    std::lock_guard<std::mutex> guard(RegistryMutex());
    if (Registry().count(value) == 0)
        return nullptr;
    return reinterpret_cast<TTomeMemoryImage*>(value);
}

}  // namespace tomedb
