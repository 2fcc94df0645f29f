// The record cache of table storage: cached fixed parts are reused across
// locks only while nobody has written the file, a change by another process
// (or another descriptor) is seen on the next read, and a change by this
// object is seen at once.
#include <sys/wait.h>
#include <unistd.h>

#include "storage_fixture.h"

using namespace storage_test;

namespace {

constexpr int kRecords = 5;

// T: 0 N integer, 1 S string(20), 2 Txt memo. Values "v<n>" and n * 10.
void CreateFile(const std::string& path) {
    TTomeDBFileIO creator;
    ASSERT_TRUE(creator.CreateDatabase(path, true, 1, "zLIB", false, "blowfish", "", false));
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, false, false);
    ASSERT_TRUE(io.CreateTable("T", {Field("N", ftInteger), Field("S", ftString, 20), Field("Txt", ftMemo)}));
    TTomeTableIO table(io, "T");
    table.Open();
    for (int i = 0; i < kRecords; ++i) {
        Record r(table);
        r.Int(0, i * 10).Str(1, "v" + std::to_string(i)).Blob(2, std::string(3000, 'a'));
        table.AppendRecord(r.Buffers, false);
    }
}

std::string ReadS(TTomeTableIO& table, int position) {
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(0), position);
    return r.GetStr(1);
}

// Rewrites S of the record at position in place (the image keeps its size).
void ModifyS(TTomeTableIO& table, int position, const std::string& value) {
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(0), position);
    r.Str(1, value);
    table.ModifyRecord(r.Buffers, position);
}

// Reads every record under one lock; the next lock must trust what was read
// (nobody wrote in between), so that the next read really comes from the cache.
void WarmCache(TTomeDBFileIO& io, TTomeTableIO& table) {
    uint64_t epoch = 0;
    {
        TTomeFileLock lock(io);
        for (int i = 0; i < kRecords; ++i)
            ReadS(table, i);
        epoch = io.CacheEpoch();
    }
    TTomeFileLock lock(io);
    ASSERT_EQ(io.CacheEpoch(), epoch) << "the cache was not trusted across locks";
    ASSERT_EQ(table.CachedRecordCount(), static_cast<size_t>(kRecords));
}

struct Opened {
    explicit Opened(const std::string& path) : Table(Io, "T") {
        Io.Open(path, mtDisk, 0, false, false);
        Table.Open();
    }
    TTomeDBFileIO Io;
    TTomeTableIO Table;
};

}  // namespace

TEST(RecordCache, ModifyByAnotherProcessIsSeenOnTheNextRead) {
    TempDir dir;
    const std::string path = dir.File("cache.tdb");
    CreateFile(path);
    Opened reader(path);
    WarmCache(reader.Io, reader.Table);
    ASSERT_EQ(ReadS(reader.Table, 2), "v2");

    const pid_t pid = fork();
    if (pid == 0) {
        int code = 0;
        try {
            Opened writer(path);
            ModifyS(writer.Table, 2, "changed");
        } catch (...) {
            code = 1;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(ReadS(reader.Table, 2), "changed");
    EXPECT_EQ(ReadS(reader.Table, 3), "v3");
}

// Another descriptor in this process is another writer as far as the file is
// concerned; the same detection applies.
TEST(RecordCache, ModifyThroughAnotherDescriptorIsSeenOnTheNextRead) {
    TempDir dir;
    const std::string path = dir.File("cache.tdb");
    CreateFile(path);
    Opened reader(path);
    WarmCache(reader.Io, reader.Table);
    {
        Opened writer(path);
        ModifyS(writer.Table, 1, "other");
    }
    EXPECT_EQ(ReadS(reader.Table, 1), "other");
}

TEST(RecordCache, OwnModifyIsSeenAtOnce) {
    TempDir dir;
    const std::string path = dir.File("cache.tdb");
    CreateFile(path);
    Opened db(path);
    WarmCache(db.Io, db.Table);
    {
        // Inside one lock: the cached fixed part must not outlive the write.
        TTomeFileLock lock(db.Io);
        ASSERT_EQ(ReadS(db.Table, 4), "v4");
        ModifyS(db.Table, 4, "mine");
        EXPECT_EQ(ReadS(db.Table, 4), "mine");
    }
    EXPECT_EQ(ReadS(db.Table, 4), "mine");
    ModifyS(db.Table, 0, "first");
    EXPECT_EQ(ReadS(db.Table, 0), "first");
    EXPECT_EQ(ReadS(db.Table, 1), "v1");
}

// A memory image can be shared by several file layers without any lock, so
// nothing read from it is kept.
TEST(RecordCache, MemoryImagesAreNotCached) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("N", ftInteger), Field("S", ftString, 20)}));
    TTomeTableIO table(*db.Io, "T");
    table.Open();
    Record r(table);
    r.Int(0, 1).Str(1, "x");
    table.AppendRecord(r.Buffers, false);
    TTomeFileLock lock(*db.Io);
    EXPECT_EQ(ReadS(table, 0), "x");
    EXPECT_EQ(table.CachedRecordCount(), 0u);
}

namespace {

// A shared image whose file times never move, as on a file system with coarse
// timestamps when every write falls into the same tick: only the change
// counter can tell that someone else wrote. Counts the reads of fixed parts.
class FrozenTimesMedium final : public TTomeMedium {
public:
    explicit FrozenTimesMedium(TTomeMemoryImage& image) : Image_(image) {}
    size_t ReadAt(int64_t position, void* buffer, size_t count) override {
        if (count == RecordBytes)
            ++RecordReads;
        return Image_.ReadAt(position, buffer, count);
    }
    void WriteAt(int64_t position, const void* buffer, size_t count) override {
        Image_.WriteAt(position, buffer, count);
    }
    int64_t Size() override { return Image_.Size(); }
    void Flush() override {}
    bool TryLock() override { return true; }
    void Unlock() override {}
    bool ChangeStamp(TTomeMediumStamp& stamp) override {
        stamp = TTomeMediumStamp{};
        stamp.Size = Image_.Size();
        return true;
    }
    size_t RecordBytes = 0;
    int RecordReads = 0;

private:
    TTomeMemoryImage& Image_;
};

struct FrozenDb {
    explicit FrozenDb(TTomeMemoryImage& image) : Medium(image), Table(Io, "T") {
        Io.OpenMedium(Medium, "frozen", false);
        Table.Open();
        Medium.RecordBytes = static_cast<size_t>(Table.RecordSize());
    }
    FrozenTimesMedium Medium;
    TTomeDBFileIO Io;
    TTomeTableIO Table;
};

// Five records "v0".."v4" in table T of a memory image, indexed on N when asked.
void FillImage(MemoryDb& db, bool indexed = false) {
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("N", ftInteger), Field("S", ftString, 20), Field("Txt", ftMemo)}));
    if (indexed)
        ASSERT_TRUE(db.Io->CreateIndex("T", "ByN", 0, {"N"}));
    auto table = db.Table("T");
    for (int i = 0; i < kRecords; ++i) {
        Record r(*table);
        r.Int(0, i * 10).Str(1, "v" + std::to_string(i)).Blob(2, std::string(300, 'b'));
        table->AppendRecord(r.Buffers, false);
    }
}

void ReadAll(TTomeTableIO& table) {
    for (int i = 0; i < kRecords; ++i)
        ReadS(table, i);
}

}  // namespace

TEST(RecordCache, UnchangedImageIsReadOnceAcrossLocks) {
    MemoryDb image;
    FillImage(image);
    FrozenDb db(image.Image);
    ReadAll(db.Table);
    ASSERT_EQ(db.Medium.RecordReads, kRecords);
    ReadAll(db.Table);
    EXPECT_EQ(db.Medium.RecordReads, kRecords);
}

// The file times and size say "unchanged"; the change counter says otherwise.
TEST(RecordCache, ForeignWriteWithUnchangedFileTimesIsSeen) {
    MemoryDb image;
    FillImage(image);
    FrozenDb reader(image.Image);
    FrozenDb writer(image.Image);
    ASSERT_EQ(ReadS(reader.Table, 3), "v3");
    ModifyS(writer.Table, 3, "theirs");
    EXPECT_EQ(ReadS(reader.Table, 3), "theirs");
    ModifyS(reader.Table, 1, "ours");
    EXPECT_EQ(ReadS(writer.Table, 1), "ours");
    EXPECT_EQ(ReadS(writer.Table, 3), "theirs");
}

// Our own writes are copied into the cache instead of dropping it: after a
// modify and an append every earlier record still comes from the cache.
TEST(RecordCache, OwnWritesKeepTheCacheExact) {
    MemoryDb image;
    FillImage(image);
    FrozenDb db(image.Image);
    ReadAll(db.Table);
    ModifyS(db.Table, 2, "rewritten");
    Record extra(db.Table);
    extra.Int(0, 99).Str(1, "appended").Blob(2, std::string(5000, 'c'));
    db.Table.AppendRecord(extra.Buffers, false);
    const int readsAfterWrites = db.Medium.RecordReads;
    EXPECT_EQ(ReadS(db.Table, 2), "rewritten");
    ReadAll(db.Table);
    EXPECT_EQ(db.Medium.RecordReads, readsAfterWrites);
    EXPECT_EQ(ReadS(db.Table, kRecords), "appended");
    FrozenDb fresh(image.Image);
    for (int i = 0; i < kRecords; ++i)
        EXPECT_EQ(ReadS(fresh.Table, i), ReadS(db.Table, i)) << "record " << i;
}

namespace {

// The S of the record whose N is key, found through index ByN under one
// lock; empty when no record has that key.
std::string FindByN(TTomeTableIO& table, int key) {
    TTomeFileLock lock(table.FileIO());
    Record probe(table);
    probe.Int(0, key);
    int result = 0;
    const int p = table.SearchIndex(probe.Buffers, table.IndexList(1), 0, result, 0, false);
    if (result != 0)
        return std::string();
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(1), p);
    return r.GetStr(1);
}

void ModifyN(TTomeTableIO& table, int position, int value) {
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(0), position);
    r.Int(0, value);
    table.ModifyRecord(r.Buffers, position);
}

// The Txt of the record at position, read in the same lock period as the record.
std::string ReadTxt(TTomeTableIO& table, int position) {
    TTomeFileLock lock(table.FileIO());
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(0), position);
    return r.GetBlob(2);
}

}  // namespace

// Searches keep the keys they met; a key changed by this object or by
// another one (file times unchanged) must not be found under its old value.
TEST(RecordCache, KeySearchSeesEveryKeyChange) {
    MemoryDb image;
    FillImage(image, true);
    FrozenDb reader(image.Image);
    FrozenDb writer(image.Image);
    for (int i = 0; i < kRecords; ++i)
        ASSERT_EQ(FindByN(reader.Table, i * 10), "v" + std::to_string(i));
    const struct {
        FrozenDb* by;
        int position, from, to;
    } changes[] = {{&writer, 2, 20, 25}, {&reader, 3, 30, 5}, {&reader, 0, 0, 45}};
    for (const auto& change : changes) {
        ModifyN(change.by->Table, change.position, change.to);
        const std::string name = "v" + std::to_string(change.position);
        EXPECT_EQ(FindByN(reader.Table, change.from), "") << "old key " << change.from;
        EXPECT_EQ(FindByN(reader.Table, change.to), name) << "new key " << change.to;
    }
    EXPECT_EQ(FindByN(reader.Table, 10), "v1");
    EXPECT_EQ(FindByN(reader.Table, 40), "v4");
}

// A blob's descriptor is taken from the cached fixed part under the lock: a
// value that grew (and so moved) is read from its new place, whoever wrote it.
TEST(RecordCache, BlobThatMovedIsReadFromItsNewPlace) {
    MemoryDb image;
    FillImage(image);
    FrozenDb reader(image.Image);
    FrozenDb writer(image.Image);
    for (int i = 0; i < kRecords; ++i)
        ASSERT_EQ(ReadTxt(reader.Table, i), std::string(300, 'b'));
    const struct {
        FrozenDb* by;
        int position;
        std::string value;
    } changes[] = {{&writer, 1, std::string(9000, 'w')}, {&reader, 2, std::string(7000, 'r')}};
    for (const auto& change : changes) {
        Record r(change.by->Table);
        change.by->Table.ReadRecord(r.Buffers, change.by->Table.IndexList(0), change.position);
        r.Blob(2, change.value);
        change.by->Table.ModifyRecord(r.Buffers, change.position);
        EXPECT_EQ(ReadTxt(reader.Table, change.position), change.value) << "record " << change.position;
    }
    EXPECT_EQ(ReadTxt(reader.Table, 3), std::string(300, 'b'));
}
