#include "tomedb/storage/TomeBlobStream.h"

#include <cstring>

#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

// ---- TTomeMemoryStream ------------------------------------------------------

size_t TTomeMemoryStream::Read(void* buffer, size_t count) {
    EnsureLoaded();
    if (Position_ >= static_cast<int64_t>(Bytes_.size()))
        return 0;
    const size_t available = Bytes_.size() - static_cast<size_t>(Position_);
    const size_t n = count < available ? count : available;
    std::memcpy(buffer, Bytes_.data() + Position_, n);
    Position_ += static_cast<int64_t>(n);
    return n;
}

size_t TTomeMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0)
        return 0;
    const size_t end = static_cast<size_t>(Position_) + count;
    if (end > Bytes_.size())
        Bytes_.resize(end);
    std::memcpy(Bytes_.data() + Position_, buffer, count);
    Position_ = static_cast<int64_t>(end);
    return count;
}

int64_t TTomeMemoryStream::Seek(int64_t offset, Origin origin) {
    EnsureLoaded();
    int64_t base = 0;
    if (origin == soCurrent)
        base = Position_;
    if (origin == soEnd)
        base = static_cast<int64_t>(Bytes_.size());
    const int64_t target = base + offset;
    Position_ = target < 0 ? 0 : target;
    return Position_;
}

int64_t TTomeMemoryStream::Size() {
    EnsureLoaded();
    return static_cast<int64_t>(Bytes_.size());
}

void TTomeMemoryStream::SetSize(int64_t size) {
    Bytes_.resize(static_cast<size_t>(size < 0 ? 0 : size));
    if (Position_ > static_cast<int64_t>(Bytes_.size()))
        Position_ = static_cast<int64_t>(Bytes_.size());
}

void TTomeMemoryStream::Clear() {
    SetSize(0);
    Position_ = 0;
}

const std::string& TTomeMemoryStream::Data() {
    EnsureLoaded();
    return Bytes_;
}

void TTomeMemoryStream::Assign(const std::string& bytes) {
    SetSize(0);
    Bytes_ = bytes;
    Position_ = 0;
}

// ---- TOptimBlobStream -----------------------------------------------------------

void TOptimBlobStream::SetDescriptor(TTomeTableIO* table, int64_t descriptorOffset, bool compress, bool encrypt) {
    Table_ = table;
    DescriptorOffset_ = descriptorOffset;
    Compress_ = compress;
    Encrypt_ = encrypt;
    Bytes_.clear();
    Position_ = 0;
    Loaded_ = false;
}

void TOptimBlobStream::EnsureLoaded() {
    if (Loaded_)
        return;
    Loaded_ = true;  // a failed load is not retried on every access
    Bytes_.clear();
    Position_ = 0;
    if (DescriptorOffset_ == 0 || Table_ == nullptr)
        return;
    Table_->LoadBlob(DescriptorOffset_, Compress_, Encrypt_, Bytes_);
}

size_t TOptimBlobStream::Write(const void* buffer, size_t count) {
    Loaded_ = true;
    return TTomeMemoryStream::Write(buffer, count);
}

void TOptimBlobStream::SetSize(int64_t size) {
    Loaded_ = true;
    TTomeMemoryStream::SetSize(size);
}

// ---- TTomeBlobStream ----------------------------------------------------------------

TTomeBlobStream::TTomeBlobStream(TOptimBlobStream& value, TBlobStreamMode mode, std::function<void()> onChange)
    : Value_(value), Mode_(mode), OnChange_(std::move(onChange)) {
    if (mode == bmWrite) {
        Value_.Clear();
        if (OnChange_)
            OnChange_();
    } else {
        Bytes_ = Value_.Data();
    }
    Position_ = 0;
}

void TTomeBlobStream::WriteBack() {
    if (Mode_ == bmRead)
        return;
    const int64_t keep = Value_.Position();
    Value_.Assign(Bytes_);
    Value_.MarkLoaded();
    Value_.Seek(keep, soBeginning);
    if (OnChange_)
        OnChange_();
}

size_t TTomeBlobStream::Write(const void* buffer, size_t count) {
    const size_t n = TTomeMemoryStream::Write(buffer, count);
    WriteBack();
    return n;
}

void TTomeBlobStream::SetSize(int64_t size) {
    TTomeMemoryStream::SetSize(size);
    WriteBack();
}

}  // namespace tomedb
