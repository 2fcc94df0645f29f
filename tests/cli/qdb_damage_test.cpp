// qdb on hostile and unlucky files: damaged table headers reach every
// command, rebuilds and creates run out of space, the auto-increment counter
// reaches its end, a damaged stored value meets compact, and a small file
// holds a value that expands to a gigabyte.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "QdbProcess.h"
#include "tomedb/storage/TomeFormat.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using namespace tomedb::format;

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void PutI32At(std::string& bytes, int64_t at, int32_t value) {
    PutI32(reinterpret_cast<uint8_t*>(bytes.data() + at), value);
}

std::string I32Bytes(int32_t value) {
    std::string bytes(4, '\0');
    PutI32(reinterpret_cast<uint8_t*>(bytes.data()), value);
    return bytes;
}

// Offset of the first table's header.
int64_t FirstHeader(const std::string& bytes) {
    return GetI32(reinterpret_cast<const uint8_t*>(bytes.data()) + kTableDirectoryOffset + kDirOffsets);
}

class QdbDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdb-damage.XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        file = folder + "/lib.qdb";
    }
    void TearDown() override { fs::remove_all(folder); }

    QdbResult Qdb(const Args& args, const QdbLimits& limits = {}) { return RunQdb(folder, args, limits); }
    std::string Ok(const Args& args) {
        QdbResult r = Qdb(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }
    // A new database holding one compressed memo `text`; returns where its
    // stored form (the length, then the zlib stream) lies in `bytes`.
    size_t StoreMemo(const Args& create, const std::string& text, std::string& bytes) {
        Ok(create);
        Ok({"create-table", file, "Docs", "ID:AutoInc", "Txt:Memo"});
        Ok({"put", file, "Docs", "Txt=" + text});
        bytes = ReadAll(file);
        return bytes.find(I32Bytes(static_cast<int32_t>(text.size())) + "\x78");
    }
    // Files in the folder other than the database and qdb's captured output.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name != "lib.qdb" && name.rfind(".qdb-", 0) != 0)
                names.push_back(name);
        }
        return names;
    }

    std::string folder;
    std::string file;
};

TEST_F(QdbDamageTest, EveryCommandRefusesADamagedTableHeader) {
    Ok({"create-library", file});
    Ok({"put", file, "Docs", "PID=0", "DocName=甲", "Txt=一"});
    Ok({"put", file, "Docs", "PID=0", "DocName=乙", "Txt=二"});
    const std::string good = ReadAll(file);
    const int64_t header = FirstHeader(good);
    const int64_t firstIndexFields = header + kTHIndexHeaders + kIHFieldIdx;
    struct Damage {
        const char* what;
        std::vector<std::pair<int64_t, int32_t>> patches;
    } damages[] = {
        {"huge field count", {{header + kTHFieldCount, 0x7fffffff}}},
        {"field count past the field table", {{header + kTHFieldCount, 5000}}},
        {"negative field count", {{header + kTHFieldCount, -3}}},
        {"huge index count", {{header + kTHIndexCount, 100000}}},
        {"index key field beyond the fields",
         {{firstIndexFields, 4000}, {firstIndexFields + 4, 7}, {firstIndexFields + 8, 900000}}},
    };
    const std::string text = folder + "/in.txt";
    WriteAll(text, "正文");
    const Args commands[] = {
        {"info", file},
        {"dump", file, "Docs"},
        {"put", file, "Docs", "PID=0"},
        {"set", file, "Docs", "1", "DocName=丙"},
        {"del", file, "Docs", "1"},
        {"create-table", file, "More", "A:Integer"},
        {"create-index", file, "Docs", "ByName", "DocName"},
        {"compact", file},
        {"repair", file},
        {"passwd", file, "--new", "pw"},
        {"verify", file},
        {"tree", file},
        {"import", file, text},
        {"export", file, folder + "/out"},
    };
    for (const Damage& damage : damages) {
        std::string bad = good;
        for (const auto& [at, value] : damage.patches)
            PutI32At(bad, at, value);
        for (const Args& args : commands) {
            WriteAll(file, bad);
            QdbResult r = Qdb(args);
            EXPECT_EQ(r.exitCode, 1) << damage.what << ", " << args[0] << ": " << r.err;
            const std::string& said = args[0] == "verify" ? r.out : r.err;
            EXPECT_NE(said.find("damaged"), std::string::npos) << damage.what << ", " << args[0] << ": " << said;
            EXPECT_EQ(ReadAll(file), bad) << damage.what << ", " << args[0];
        }
    }
}

TEST_F(QdbDamageTest, RebuildsOutOfSpaceFailAndLeaveTheFileAsItWas) {
    Ok({"create", file, "--password", "pw"});
    Ok({"create-table", file, "Docs", "ID:AutoInc", "Txt:Memo", "--password", "pw"});
    // Text that does not compress much, so the copy needs about the file's size.
    std::string noise;
    uint32_t seed = 7;
    for (int i = 0; i < 60000; ++i)
        noise += static_cast<char>('a' + (seed = seed * 1103515245 + 12345) % 26);
    for (int i = 0; i < 4; ++i)
        Ok({"put", file, "Docs", "Txt=" + noise.substr(i * 15000, 15000), "--password", "pw"});
    const std::string before = ReadAll(file);
    const std::string rows = Ok({"dump", file, "Docs", "--password", "pw"});
    const long limit = static_cast<long>(before.size()) / 2;
    for (const Args& args : {Args{"compact", file, "--password", "pw"}, Args{"repair", file, "--password", "pw"},
                             Args{"passwd", file, "--password", "pw", "--new", "新"}}) {
        QdbResult r = Qdb(args, {limit});
        EXPECT_EQ(r.exitCode, 1) << args[0] << ": " << r.err;
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << args[0] << ": " << r.err;
        EXPECT_EQ(Leftovers(), std::vector<std::string>()) << args[0];
        EXPECT_EQ(ReadAll(file), before) << args[0];
    }
    EXPECT_EQ(Ok({"dump", file, "Docs", "--password", "pw"}), rows);
    EXPECT_EQ(Ok({"verify", file, "--password", "pw"}), "ok\n");
}

TEST_F(QdbDamageTest, CreatesOutOfSpaceLeaveNoFile) {
    struct Case {
        Args args;
        std::string made;
        long limit;
    } cases[] = {
        {{"create", folder + "/a.qdb"}, folder + "/a.qdb", 1000},
        {{"create", folder + "/b.qdb", "--comment", "说明"}, folder + "/b.qdb", 1000},
        {{"create-library", folder + "/c", "--password", "pw"}, folder + "/c.qdb", 1000},
        // Room for the file header but not for the tables of a library.
        {{"create-library", folder + "/d"}, folder + "/d.qdb", 8192},
    };
    for (const Case& c : cases) {
        QdbResult r = Qdb(c.args, {c.limit});
        EXPECT_EQ(r.exitCode, 1) << c.made << ": " << r.err;
        EXPECT_FALSE(fs::exists(c.made)) << c.made;
    }
    EXPECT_EQ(Leftovers(), std::vector<std::string>());
}

TEST_F(QdbDamageTest, AutoIncrementStopsAtItsLargestValue) {
    Ok({"create", file});
    Ok({"create-table", file, "Docs", "ID:AutoInc", "Name:String:20"});
    EXPECT_EQ(Ok({"put", file, "Docs", "ID=2147483646", "Name=a"}), "2147483646\n");
    EXPECT_EQ(Ok({"put", file, "Docs", "Name=b"}), "2147483647\n");
    const std::string full = ReadAll(file);
    QdbResult r = Qdb({"put", file, "Docs", "Name=c"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Auto-increment values are used up"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(file), full);  // nothing written
    EXPECT_EQ(Ok({"verify", file}), "ok\n");

    // A counter below an ID in use would hand that ID out again.
    std::string behind = full;
    PutI32At(behind, FirstHeader(full) + kTHAutoIncCounter, 5);
    WriteAll(file, behind);
    r = Qdb({"verify", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("auto-increment counter 5 is below the highest ID 2147483647"), std::string::npos) << r.out;
}

// A counter left behind the highest ID must not hand out an ID in use.
TEST_F(QdbDamageTest, ANewRecordTakesAnIdPastTheHighestWhenTheCounterIsBehind) {
    Ok({"create-library", file});
    for (const char* name : {"甲", "乙", "丙"})
        Ok({"put", file, "Docs", "PID=0", std::string("DocName=") + name});
    std::string bytes = ReadAll(file);
    int64_t docs = -1;
    for (int t = 0; t < GetI32(reinterpret_cast<const uint8_t*>(bytes.data()) + kTableDirectoryOffset); ++t) {
        const int32_t at =
            GetI32(reinterpret_cast<const uint8_t*>(bytes.data()) + kTableDirectoryOffset + kDirOffsets + 4 * t);
        if (bytes.compare(static_cast<size_t>(at), 5, std::string("Docs\0", 5)) == 0)
            docs = at;
    }
    ASSERT_GE(docs, 0);
    for (const int32_t behind : {0, 1, 2}) {
        std::string bad = bytes;
        PutI32At(bad, docs + kTHAutoIncCounter, behind);
        WriteAll(file, bad);
        EXPECT_EQ(Ok({"put", file, "Docs", "PID=0", "DocName=丁"}), "4\n") << behind;
        EXPECT_EQ(Ok({"verify", file}), "ok\n") << behind;
    }
}

// Compact refuses a value that does not decode; repair keeps every other
// record and says how many it left out.
TEST_F(QdbDamageTest, CompactRefusesAValueThatDoesNotDecodeRepairLeavesItsRecordOut) {
    std::string bytes;
    const size_t stored = StoreMemo({"create", file}, std::string(5000, 'x'), bytes);
    ASSERT_NE(stored, std::string::npos);
    Ok({"put", file, "Docs", "Txt=kept"});
    bytes = ReadAll(file);
    bytes[stored + 6] = '\x07';  // first deflate block of a reserved type
    WriteAll(file, bytes);
    QdbResult r = Qdb({"compact", file});
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.err.find("data error"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(file), bytes);
    EXPECT_EQ(Leftovers(), std::vector<std::string>());

    r = Qdb({"repair", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Left out 1 record(s) that could not be read"), std::string::npos) << r.err;
    EXPECT_EQ(Ok({"verify", file}), "ok\n");
    EXPECT_EQ(Ok({"dump", file, "Docs"}), "{\"ID\":2,\"Txt\":\"kept\"}\n");
    EXPECT_EQ(Leftovers(), std::vector<std::string>());
}

TEST_F(QdbDamageTest, ADirectoryListingFewerTablesFailsVerifyAndStopsRebuilds) {
    Ok({"create-library", file});
    Ok({"put", file, "Docs", "PID=0", "DocName=甲", "Txt=一"});
    const std::string good = ReadAll(file);
    const int32_t tables = GetI32(reinterpret_cast<const uint8_t*>(good.data()) + kTableDirectoryOffset);
    ASSERT_GT(tables, 1);
    struct Damage {
        const char* what;
        void (*apply)(std::string& bytes, int32_t tables);
    } damages[] = {
        {"directory zeroed",
         [](std::string& b, int32_t) {
             b.replace(kTableDirectoryOffset, kTableDirectorySize, kTableDirectorySize, '\0');
         }},
        {"count lowered by one",
         [](std::string& b, int32_t n) { PutI32At(b, kTableDirectoryOffset + kDirTableCount, n - 1); }},
        {"count lowered to one",
         [](std::string& b, int32_t) { PutI32At(b, kTableDirectoryOffset + kDirTableCount, 1); }},
    };
    for (const Damage& damage : damages) {
        std::string bad = good;
        damage.apply(bad, tables);
        WriteAll(file, bad);
        QdbResult r = Qdb({"verify", file});
        EXPECT_EQ(r.exitCode, 1) << damage.what;
        EXPECT_NE(r.out.find("the table directory: lists"), std::string::npos) << damage.what << ": " << r.out;
        for (const char* command : {"compact", "repair"}) {
            r = Qdb({command, file});
            EXPECT_EQ(r.exitCode, 1) << damage.what << ", " << command;
            EXPECT_NE(r.err.find("damaged"), std::string::npos) << damage.what << ", " << command << ": " << r.err;
            EXPECT_EQ(ReadAll(file), bad) << damage.what << ", " << command;
            EXPECT_EQ(Leftovers(), std::vector<std::string>()) << damage.what << ", " << command;
        }
    }
}

// A stored value whose zlib stream decodes to the declared length but whose
// Adler-32 at the end no longer matches: the bytes were changed.
TEST_F(QdbDamageTest, AFlippedBitInACompressedValueIsDamage) {
    for (const bool crc : {false, true}) {
        SCOPED_TRACE(crc ? "with --crc32" : "without --crc32");
        fs::remove(file);
        const std::string text(5000, 'x');
        std::string bytes;
        const size_t stored = StoreMemo(crc ? Args{"create", file, "--crc32"} : Args{"create", file}, text, bytes);
        ASSERT_NE(stored, std::string::npos);
        const size_t descriptor = bytes.find(I32Bytes(static_cast<int32_t>(stored)));
        ASSERT_NE(descriptor, std::string::npos);
        const int32_t size = GetI32(reinterpret_cast<const uint8_t*>(bytes.data()) + descriptor + kBDSize);
        // The last byte of the stream is the low byte of its Adler-32; a CRC32
        // value, if any, follows the stream.
        size_t last = stored + 4;
        {
            z_stream z{};
            inflateInit(&z);
            std::string out(text.size() + 16, '\0');
            z.next_in = reinterpret_cast<Bytef*>(bytes.data() + stored + 4);
            z.avail_in = static_cast<uInt>(size - 4);
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            ASSERT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
            last = stored + 4 + z.total_in - 1;
            inflateEnd(&z);
        }
        bytes[last] = static_cast<char>(bytes[last] ^ 0x01);
        WriteAll(file, bytes);
        QdbResult r = Qdb({"verify", file});
        EXPECT_EQ(r.exitCode, 1) << r.out;
        r = Qdb({"dump", file, "Docs"});
        EXPECT_EQ(r.exitCode, 1) << r.out;
        EXPECT_EQ(r.out.find(text), std::string::npos);
    }
}

// zlib stream of `size` bytes of 'a' behind its stored length prefix.
std::string HugeStoredValue(int32_t size) {
    std::string out = I32Bytes(size);
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    const std::string chunk(1 << 20, 'a');
    std::string buffer(1 << 16, '\0');
    for (int32_t left = size; left >= 0;) {
        const uInt n = static_cast<uInt>(std::min<int32_t>(left, static_cast<int32_t>(chunk.size())));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
        z.avail_in = n;
        left -= static_cast<int32_t>(n);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        int rc = Z_OK;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer.data());
            z.avail_out = static_cast<uInt>(buffer.size());
            rc = deflate(&z, flush);
            out.append(buffer.data(), buffer.size() - z.avail_out);
        } while (z.avail_out == 0);
        if (rc == Z_STREAM_END)
            break;
    }
    deflateEnd(&z);
    return out;
}

TEST_F(QdbDamageTest, VerifyOfAGigabyteMemoInASmallFileStaysSmall) {
    Ok({"create", file});
    Ok({"create-table", file, "Docs", "ID:AutoInc", "Txt:Memo"});
    // A value that hardly compresses gets an area large enough for the hostile one.
    std::string noise;
    uint32_t seed = 11;
    for (int i = 0; i < 1'400'000; ++i)
        noise += static_cast<char>('!' + (seed = seed * 1103515245 + 12345) % 90);
    WriteAll(folder + "/noise.txt", noise);
    Ok({"put", file, "Docs", "Txt=@" + folder + "/noise.txt"});
    fs::remove(folder + "/noise.txt");
    std::string bytes = ReadAll(file);
    const size_t stored = bytes.find(I32Bytes(static_cast<int32_t>(noise.size())) + "\x78");
    ASSERT_NE(stored, std::string::npos);
    const size_t descriptor = bytes.find(I32Bytes(static_cast<int32_t>(stored)));
    ASSERT_NE(descriptor, std::string::npos);
    const std::string hostile = HugeStoredValue(1'000'000'000);
    const int32_t area = GetI32(reinterpret_cast<const uint8_t*>(bytes.data()) + descriptor + kBDAreaSize);
    ASSERT_LE(hostile.size(), static_cast<size_t>(area));
    bytes.replace(stored, hostile.size(), hostile);
    PutI32At(bytes, static_cast<int64_t>(descriptor) + kBDSize, static_cast<int32_t>(hostile.size()));
    WriteAll(file, bytes);
    ASSERT_LT(bytes.size(), 2'000'000u);

    QdbResult r = Qdb({"verify", file});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_LT(r.maxResidentKb, 300 * 1024);
}

// ASan keeps freed memory in a quarantine that counts as resident; a child
// run inside this scope frees at once, so its peak is what it holds.
class FreedMemoryReturned {
public:
    FreedMemoryReturned() {
        const char* now = getenv("ASAN_OPTIONS");
        if (now)
            saved_ = now;
        had_ = now != nullptr;
        setenv("ASAN_OPTIONS", (saved_ + (saved_.empty() ? "" : ":") + "quarantine_size_mb=0").c_str(), 1);
    }
    ~FreedMemoryReturned() {
        if (had_)
            setenv("ASAN_OPTIONS", saved_.c_str(), 1);
        else
            unsetenv("ASAN_OPTIONS");
    }

private:
    std::string saved_;
    bool had_ = false;
};

// 48 MB of spaces stored in a few hundred kilobytes: export hands the value
// to the file in pieces instead of holding it (several times over) whole.
TEST_F(QdbDamageTest, ExportOfAValueFarLargerThanTheFileStaysSmall) {
    Ok({"create-library", file});
    const size_t size = 48u << 20;
    WriteAll(folder + "/spaces.txt", std::string(size, ' '));
    Ok({"put", file, "Docs", "PID=0", "DocName=bomb", "Txt=@" + folder + "/spaces.txt"});
    fs::remove(folder + "/spaces.txt");
    ASSERT_LT(fs::file_size(file), 1'000'000u);
    QdbResult r;
    {
        FreedMemoryReturned scope;
        r = Qdb({"export", file, folder + "/out"});
    }
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(fs::file_size(folder + "/out/bomb.txt"), size);
    EXPECT_LT(r.maxResidentKb, 200 * 1024);
}

// One manuscript whose text no longer decodes: the others are exported, it
// is named, nothing is left for it in the folder, and the exit code is 1.
TEST_F(QdbDamageTest, ExportWritesEveryManuscriptItCanRead) {
    Ok({"create-library", file});
    Ok({"put", file, "Docs", "PID=0", "DocName=甲", "Txt=" + std::string(3000, 'a')});
    Ok({"put", file, "Docs", "PID=0", "DocName=坏", "Txt=" + std::string(5000, 'x')});
    Ok({"put", file, "Docs", "PID=0", "DocName=乙", "Txt=" + std::string(3000, 'b')});
    std::string bytes = ReadAll(file);
    const size_t stored = bytes.find(I32Bytes(5000) + "\x78");
    ASSERT_NE(stored, std::string::npos);
    bytes[stored + 6] = '\x07';  // first deflate block of a reserved type
    WriteAll(file, bytes);
    const std::string out = folder + "/out";
    QdbResult r = Qdb({"export", file, out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Cannot export '坏'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Not exported (1 of 3): '坏'"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(out + "/甲.txt"), std::string(3000, 'a'));
    EXPECT_EQ(ReadAll(out + "/乙.txt"), std::string(3000, 'b'));
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(out))
        written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"乙.txt", "甲.txt"}));
}

}  // namespace
}  // namespace qdbtest
