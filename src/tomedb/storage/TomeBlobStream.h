// Memory streams for blob values.
//
// TTomeMemoryStream: a growable byte buffer with a position (read, write,
//   seek, size). Virtual hooks let the subclasses below load lazily or write back.
// TOptimBlobStream: the blob value held in a record buffer. ReadRecord tells it
//   where its BlobDescriptor lies (SetDescriptor), which clears the loaded mark;
//   the first read, seek or size query then loads and decodes the value through
//   the table storage (no file lock taken). Writing, SetSize or Clear marks it
//   loaded without reading, so a value written by the dataset is never replaced.
//   A position of 0 loads nothing. A damaged blob raises EDatabaseError on first use.
// TTomeBlobStream: the stream a caller gets for one blob field of the current
//   record, in mode read (0), write (1) or read-write (2). Read/read-write copy
//   the record buffer's value; write starts empty and empties the buffer's value.
//   Each write (modes 1, 2) copies the whole content back into the buffer's
//   value and calls OnChange (the dataset marks the field modified).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tomedb {

class TTomeTableIO;

class TTomeMemoryStream {
public:
    enum Origin { soBeginning, soCurrent, soEnd };
    virtual ~TTomeMemoryStream() = default;

    virtual size_t Read(void* buffer, size_t count);
    virtual size_t Write(const void* buffer, size_t count);
    virtual int64_t Seek(int64_t offset, Origin origin);
    virtual int64_t Size();
    virtual void SetSize(int64_t size);
    int64_t Position() const { return Position_; }
    void Clear();

    // The whole content (loads a lazy stream first).
    const std::string& Data();
    void Assign(const std::string& bytes);  // replaces the content, position 0

protected:
    virtual void EnsureLoaded() {}
    std::string Bytes_;
    int64_t Position_ = 0;
};

class TOptimBlobStream : public TTomeMemoryStream {
public:
    explicit TOptimBlobStream(TTomeTableIO* table = nullptr) : Table_(table) {}

    // Where the BlobDescriptor lies and how the value is processed; clears the mark.
    void SetDescriptor(TTomeTableIO* table, int64_t descriptorOffset, bool compress, bool encrypt);
    size_t Write(const void* buffer, size_t count) override;
    void SetSize(int64_t size) override;
    bool Loaded() const { return Loaded_; }
    void MarkLoaded() { Loaded_ = true; }
    int64_t DescriptorOffset() const { return DescriptorOffset_; }

protected:
    void EnsureLoaded() override;

private:
    TTomeTableIO* Table_;
    int64_t DescriptorOffset_ = 0;
    bool Compress_ = false;
    bool Encrypt_ = false;
    bool Loaded_ = true;
};

enum TBlobStreamMode { bmRead = 0, bmWrite = 1, bmReadWrite = 2 };

class TTomeBlobStream : public TTomeMemoryStream {
public:
    TTomeBlobStream(TOptimBlobStream& value, TBlobStreamMode mode, std::function<void()> onChange = nullptr);
    size_t Write(const void* buffer, size_t count) override;
    void SetSize(int64_t size) override;
    TBlobStreamMode Mode() const { return Mode_; }

private:
    void WriteBack();
    TOptimBlobStream& Value_;
    TBlobStreamMode Mode_;
    std::function<void()> OnChange_;
};

}  // namespace tomedb
