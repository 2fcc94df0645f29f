// TTomeTable: a blob value copied to another table in its stored form reads
// back byte for byte (compressed, and compressed and encrypted), and the copy
// is refused where the stored form would not decode the same; decoders of
// stored forms made apart from the database decode as the table reads.
#include "dataset_test_support.h"

#include <thread>

namespace dstest {
namespace {

struct Library {
    TTomeDatabase database;
    TTomeTable docs, kept;
};

class StoredBlobTest : public DatasetFixture, public ::testing::WithParamInterface<bool> {
protected:
    // Docs plus "Kept" (ID, Txt memo) in one file, both open.
    void OpenLibrary(Library& lib, const std::string& file, bool encrypt) {
        const std::string saved = path;
        path = file;
        CreateDocsDatabase(encrypt, "pw");
        path = saved;
        lib.database.SetDatabaseName(file);
        lib.database.SetKeepConnection(true);
        lib.database.Open();
        if (encrypt)
            lib.database.SetPassword("pw");
        ASSERT_TRUE(lib.database.CreateTable(
            "Kept", {MakeFieldItem("ID", ftAutoInc, 0, 1), MakeFieldItem("Txt", ftMemo, 0, 0)}));
        for (auto [table, name] : {std::pair{&lib.docs, "Docs"}, std::pair{&lib.kept, "Kept"}}) {
            table->SetDatabaseName(file);
            table->SetTableName(name);
            table->Open();
        }
    }
    static int Txt(TTomeTable& table) { return table.FieldByName("Txt").Index(); }
};

std::string Bytes() {
    std::string bytes;
    for (int i = 0; i < 30000; ++i)
        bytes += static_cast<char>((i * 131 + i / 7) % 256);
    return bytes;
}

TEST_P(StoredBlobTest, CopiedStoredFormReadsBackByteForByte) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    const std::string bytes = Bytes();
    AddDoc(lib.docs, 1, "one", bytes);
    const std::optional<std::string> stored = lib.docs.StoredBlobValue(Txt(lib.docs));
    ASSERT_TRUE(stored);
    EXPECT_NE(*stored, bytes);  // compressed (and encrypted)
    EXPECT_EQ(lib.docs.DecodeStoredBlobValue(Txt(lib.docs), *stored), bytes);
    lib.kept.Append();
    ASSERT_TRUE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), *stored));
    lib.kept.Post();
    lib.kept.Close();
    lib.kept.Open();
    lib.kept.Last();
    EXPECT_EQ(lib.kept.FieldByName("Txt").AsString(), bytes);
    EXPECT_EQ(lib.kept.StoredBlobValue(Txt(lib.kept)), stored);
}

TEST_P(StoredBlobTest, CopyIsRefusedOrDroppedWhereItCannotHold) {
    Library lib, other;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    OpenLibrary(other, folder + "/b.qdb", GetParam());
    AddDoc(lib.docs, 1, "one", "text of one");
    const std::string stored = *lib.docs.StoredBlobValue(Txt(lib.docs));
    // Not appending; another file (its own key); an indexed or non-blob field.
    EXPECT_FALSE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), stored));
    other.kept.Append();
    EXPECT_FALSE(other.kept.SetStoredBlobValue(Txt(other.kept), lib.docs, Txt(lib.docs), stored));
    other.kept.Cancel();
    lib.docs.Append();
    const int pid = lib.docs.FieldByName("PID").Index();
    EXPECT_FALSE(lib.docs.SetStoredBlobValue(pid, lib.docs, Txt(lib.docs), stored));
    EXPECT_EQ(lib.docs.StoredBlobValue(Txt(lib.docs)), std::nullopt);  // not browsing
    lib.docs.Cancel();
    // A cancelled append drops what it was handed.
    lib.kept.Append();
    ASSERT_TRUE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), stored));
    lib.kept.Cancel();
    lib.kept.Append();
    lib.kept.FieldByName("Txt").SetAsString("own value");
    lib.kept.Post();
    EXPECT_EQ(lib.kept.FieldByName("Txt").AsString(), "own value");
}

// A walk reads each value into one buffer; the value is what AsString gives,
// loaded or not, edited or not.
TEST_P(StoredBlobTest, ReadBlobIntoGivesTheValue) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    const std::string bytes = Bytes();
    AddDoc(lib.docs, 1, "one", bytes);
    AddDoc(lib.docs, 1, "two");
    std::string out = "old";
    lib.docs.First();
    ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    EXPECT_EQ(out, bytes);
    lib.docs.Next();
    ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    EXPECT_EQ(out, "");
    lib.docs.First();
    EXPECT_EQ(lib.docs.FieldByName("Txt").AsString(), bytes);  // now loaded in the buffer
    ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    EXPECT_EQ(out, bytes);
    EXPECT_FALSE(lib.docs.ReadBlobInto(lib.docs.FieldByName("PID").Index(), out));
    lib.docs.Edit();
    EXPECT_FALSE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    lib.docs.Cancel();
}

std::string Compressible(size_t size) {
    std::string text;
    while (text.size() < size)
        text += "line " + std::to_string(text.size() % 1013) + " of the manuscript\n";
    text.resize(size);
    return text;
}

// Whether a stored form decodes to a value is answered as decoding and
// comparing would answer it, for stored forms of every kind (nothing, raw,
// compressed) against the value itself and values close to it.
TEST_P(StoredBlobTest, StoredBlobHoldsAnswersAsDecodingWould) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    const std::vector<std::string> values = {"", "short", Bytes(), Compressible(70000)};
    for (const std::string& value : values)
        AddDoc(lib.docs, 1, "doc", value);
    lib.docs.First();
    for (const std::string& value : values) {
        SCOPED_TRACE(value.size());
        const std::string stored = lib.docs.StoredBlobValue(Txt(lib.docs)).value();
        std::string oneChanged = value.empty() ? "x" : value;
        oneChanged[oneChanged.size() / 2] = char(oneChanged[oneChanged.size() / 2] ^ 1);
        for (const std::string& candidate : {value, oneChanged, value + "x", std::string()}) {
            const bool same = lib.docs.DecodeStoredBlobValue(Txt(lib.docs), stored) == candidate;
            EXPECT_EQ(lib.docs.StoredBlobHolds(Txt(lib.docs), stored, candidate), same) << candidate.size();
        }
        // A damaged form never holds the value it was made from: it is told
        // apart, or raises as decoding it does.
        if (stored.size() > 16) {
            std::string damaged = stored;
            damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0xFF);
            bool holds = false;
            try {
                holds = lib.docs.StoredBlobHolds(Txt(lib.docs), damaged, value);
            } catch (const EDatabaseError&) {
            }
            EXPECT_FALSE(holds);
        }
        lib.docs.Next();
    }
}

// Values of every kind, decoded on two threads at once after the database
// is closed, give what the table read.
TEST_P(StoredBlobTest, DecodersMadeApartDecodeAsTheTableReads) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    const std::vector<std::string> values = {"", "short", Bytes(), Compressible(3 << 20), Compressible(70000)};
    for (const std::string& value : values)
        AddDoc(lib.docs, 1, "doc", value);
    std::vector<std::string> stored;
    lib.docs.First();
    for (size_t i = 0; i < values.size(); ++i, lib.docs.Next()) {
        std::string read;
        ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), read));
        ASSERT_EQ(read, values[i]);
        stored.push_back(lib.docs.StoredBlobValue(Txt(lib.docs)).value());
    }
    std::unique_ptr<TTomeBlobDecoder> decoders[2] = {lib.docs.NewBlobDecoder(Txt(lib.docs)),
                                                     lib.docs.NewBlobDecoder(Txt(lib.docs))};
    ASSERT_TRUE(decoders[0] && decoders[1]);
    EXPECT_EQ(lib.docs.NewBlobDecoder(lib.docs.FieldByName("PID").Index()), nullptr);  // not a blob
    lib.docs.Close();
    lib.kept.Close();
    lib.database.Close();
    bool same[2] = {true, true};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            std::string out = "stale";
            for (int round = 0; round < 3; ++round)
                for (size_t i = 0; i < values.size(); ++i) {
                    decoders[t]->Decode(stored[i], out);
                    same[t] = same[t] && out == values[i];
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(same[0]);
    EXPECT_TRUE(same[1]);
}

// What reading a damaged value through the table raises (error class and
// text), a decoder raises too.
TEST_P(StoredBlobTest, DecoderRaisesWhatReadingADamagedValueRaises) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    AddDoc(lib.docs, 1, "one", Compressible(20000));
    const std::string good = *lib.docs.StoredBlobValue(Txt(lib.docs));
    auto flipped = [&](size_t at) {
        std::string damaged = good;
        damaged[at] = char(damaged[at] ^ 0xFF);
        return damaged;
    };
    const struct {
        const char* what;
        std::string stored;
    } cases[] = {
        {"cut short", good.substr(0, good.size() - 9)},
        {"first byte flipped", flipped(0)},
        {"length byte flipped", flipped(3)},
        {"middle byte flipped", flipped(good.size() / 2)},
        {"last byte flipped", flipped(good.size() - 1)},
        {"three bytes", good.substr(0, 3)},
    };
    std::unique_ptr<TTomeBlobDecoder> decoder = lib.kept.NewBlobDecoder(Txt(lib.kept));
    ASSERT_TRUE(decoder);
    auto errorOf = [](auto&& read) {
        try {
            read();
        } catch (const EZlibError& e) {
            return std::string("zlib: ") + e.what();
        } catch (const EDatabaseError& e) {
            return std::string("database: ") + e.what();
        } catch (const std::exception& e) {
            return std::string("other: ") + e.what();
        }
        return std::string("no error");
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lib.kept.Append();
        ASSERT_TRUE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), c.stored));
        lib.kept.Post();
        lib.kept.Last();
        std::string value;
        const std::string read = errorOf([&] { lib.kept.ReadBlobInto(Txt(lib.kept), value); });
        std::string decoded;
        EXPECT_EQ(errorOf([&] { decoder->Decode(c.stored, decoded); }), read);
        if (read == "no error") {
            EXPECT_EQ(decoded, value);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, StoredBlobTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encrypted" : "Plain"; });

}  // namespace
}  // namespace dstest
