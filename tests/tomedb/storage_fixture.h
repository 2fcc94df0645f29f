// Helpers shared by the storage tests: temporary folders, small tables and
// record buffers built from plain values.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeMemoryImage.h"
#include "tomedb/storage/TomeTableIO.h"

namespace storage_test {

using namespace tomedb;

inline TTomeFieldItem Field(const std::string& name, int32_t type, int32_t size = 0, uint8_t dp = 0) {
    return TTomeFieldItem{name, type, size, dp};
}

// A fresh folder under the test's temporary directory, removed at the end.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tomestorageXXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        Path = mkdtemp(buffer.data());
    }
    ~TempDir() { std::filesystem::remove_all(Path); }
    std::string File(const std::string& name) const { return Path + "/" + name; }
    std::string Path;
};

// Record values for one table, in stored form.
class Record {
public:
    explicit Record(TTomeTableIO& table) {
        for (int i = 0; i < table.FieldDefs().Count(); ++i)
            Buffers.AddOwned(table.FieldDefs().At(i).FieldType, table.FieldWidth(i));
    }
    Record& Int(int field, int32_t value) {
        format::PutI32(Buffers[field].Data, value);
        return *this;
    }
    Record& Small(int field, int16_t value) {
        format::PutI16(Buffers[field].Data, value);
        return *this;
    }
    Record& Float(int field, double value) {
        format::PutF64(Buffers[field].Data, value);
        return *this;
    }
    Record& Str(int field, const std::string& text) {
        TFieldBufferItem& item = Buffers[field];
        std::memset(item.Data, 0, static_cast<size_t>(item.DataSize));
        std::memcpy(item.Data, text.data(), std::min(text.size(), static_cast<size_t>(item.DataSize)));
        return *this;
    }
    Record& Blob(int field, const std::string& bytes) {
        Buffers[field].Blob->Assign(bytes);
        return *this;
    }
    Record& Inactive(int field) {
        Buffers[field].Active = false;
        return *this;
    }

    int32_t GetInt(int field) { return format::GetI32(Buffers[field].Data); }
    std::string GetStr(int field) {
        TFieldBufferItem& item = Buffers[field];
        return std::string(reinterpret_cast<char*>(item.Data),
                           format::FixedTextLength(item.Data, static_cast<size_t>(item.DataSize)));
    }
    std::string GetBlob(int field) { return Buffers[field].Blob->Data(); }

    TFieldBuffers Buffers;
};

// Bytes that do not compress, so that a stored value keeps its size.
inline std::string Noise(size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// Creates an image in memory and opens a file layer on it.
struct MemoryDb {
    explicit MemoryDb(bool encrypt = false, bool crc = false, bool compress = true,
                      const std::string& password = "secret") {
        TTomeDBFileIO creator;
        EXPECT_TRUE(
            creator.CreateDatabase(Image.Name(), compress, 1, "zLIB", encrypt, "blowfish", password, crc, mtMemory));
        Io = std::make_unique<TTomeDBFileIO>();
        Io->Open(Image.Name(), mtMemory, 0, false, false);
        EXPECT_TRUE(Io->CheckPassword(password));
    }
    void Reopen(const std::string& password = "secret") {
        Io = std::make_unique<TTomeDBFileIO>();
        Io->Open(Image.Name(), mtMemory, 0, false, false);
        EXPECT_TRUE(Io->CheckPassword(password));
    }
    std::unique_ptr<TTomeTableIO> Table(const std::string& name) {
        auto table = std::make_unique<TTomeTableIO>(*Io, name);
        table->Open();
        return table;
    }
    TTomeMemoryImage Image;
    std::unique_ptr<TTomeDBFileIO> Io;
};

inline std::string ErrorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no error>";
}

}  // namespace storage_test
