// Registries, managers, the stream form of encryption, the password check
// string and CRC-32: what the database file layer relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tomedb/dataproc/DataProc.h"

using namespace tomedb;

namespace {

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(i * 131 + (i >> 8));
    return s;
}

// Restores the built-in registries after a test that changes them.
class RegistryFixture : public ::testing::Test {
protected:
    void TearDown() override {
        FreeDataProcessRegistries();
        InitDataProcessRegistries();
    }
};

class RenamedBlowfish : public TEncAlgo_Of<TEnc_Blowfish> {
public:
    using TEncAlgo_Of::TEncAlgo_Of;
};

}  // namespace

// ---- Registries ---------------------------------------------------------------

TEST_F(RegistryFixture, BuiltInsInStartUpOrder) {
    FreeDataProcessRegistries();
    InitDataProcessRegistries();
    EXPECT_EQ(CompressAlgoNames(), std::vector<std::string>({"ZLIB"}));
    EXPECT_EQ(EncryptAlgoNames(), std::vector<std::string>({"Blowfish", "Twofish", "Gost"}));
}

TEST_F(RegistryFixture, NamesMatchWithoutRegardToCase) {
    const struct {
        const char* name;
        int compress, encrypt;
    } cases[] = {{"zLIB", 0, -1}, {"zlib", 0, -1}, {"blowfish", -1, 0},  {"TWOFISH", -1, 1},
                 {"gOsT", -1, 2}, {"", -1, -1},    {"Blowfish2", -1, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(FindCompressAlgo(c.name), c.compress) << c.name;
        EXPECT_EQ(FindEncryptAlgo(c.name), c.encrypt) << c.name;
    }
}

TEST_F(RegistryFixture, ReRegisteringAClassRenamesItNewClassIsAppended) {
    RegisterEncryptAlgo<TEncAlgo_Twofish>("TF");
    RegisterEncryptAlgo<RenamedBlowfish>("Fish");
    EXPECT_EQ(EncryptAlgoNames(), std::vector<std::string>({"Blowfish", "TF", "Gost", "Fish"}));
    EXPECT_EQ(FindEncryptAlgo("twofish"), -1);
    TEncryptMgr mgr;
    mgr.SetAlgoName("tf");
    EXPECT_NE(dynamic_cast<TEncAlgo_Twofish*>(mgr.Algo()), nullptr);
}

// ---- Managers -----------------------------------------------------------------

TEST(Managers, UnknownNamesRaiseModuleNotFound) {
    TCompressMgr c;
    TEncryptMgr e;
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { c.AlgoIndex("LZMA"); }, "Compression algorithm module 'LZMA' not found"},
        {[&] { c.SetAlgoName("Blowfish"); }, "Compression algorithm module 'Blowfish' not found"},
        {[&] { e.AlgoIndex("AES"); }, "Encryption algorithm module 'AES' not found"},
        {[&] { e.SetAlgoName("zlib"); }, "Encryption algorithm module 'zlib' not found"},
    };
    for (const auto& tc : cases) {
        try {
            tc.call();
            ADD_FAILURE() << "no exception for " << tc.message;
        } catch (const EDatabaseError& err) {
            EXPECT_STREQ(err.what(), tc.message);
        }
    }
    EXPECT_EQ(c.AlgoIndex("Zlib"), 0);
    EXPECT_EQ(e.AlgoIndex("GOST"), 2);
    EXPECT_FALSE(c.HasAlgo());
    EXPECT_FALSE(e.HasAlgo());
}

TEST(Managers, WorkWithoutAlgorithmIsGeneralError) {
    TCompressMgr c;
    TEncryptMgr e;
    std::string out;
    char buf[8] = {};
    const std::function<void()> calls[] = {
        [&] { c.EncodeStream("x", out); },
        [&] { c.DecodeStream("x", out); },
        [&] { e.EncodeStream("x", out); },
        [&] { e.DecodeStream("x", out); },
        [&] { e.EncodeBuffer(buf, buf, 8); },
        [&] { e.DecodeBuffer(buf, buf, 8); },
        [&] { e.SetMode(0); },
        [&] { e.InitKey("pw"); },
        [&] { e.Done(); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const EDatabaseError& err) {
            EXPECT_STREQ(err.what(), "General error");
        }
    }
}

TEST(Managers, SelectingTheSameClassKeepsTheObjectAnotherReplacesIt) {
    TEncryptMgr e;
    e.SetAlgoName("blowfish");
    TEncryptAlgo* first = e.Algo();
    e.InitKey("pw");
    e.SetAlgoName("BLOWFISH");
    EXPECT_EQ(e.Algo(), first);
    EXPECT_NO_THROW(e.EncodeBuffer(std::string("still keyed")));
    e.SetAlgoName("Twofish");
    EXPECT_NE(dynamic_cast<TEncAlgo_Twofish*>(e.Algo()), nullptr);
    EXPECT_THROW(e.EncodeBuffer(std::string("no key yet")), EEncryptException);

    TCompressMgr c;
    c.SetAlgoName("zLIB");
    EXPECT_NE(dynamic_cast<TCompAlgo_Zlib*>(c.Algo()), nullptr);
}

// Every stored unit starts from the IV, so equal values give equal bytes and
// each unit decodes on its own, in any order.
TEST(Managers, EqualValuesEncryptToEqualBytes) {
    for (const char* algo : {"Blowfish", "Twofish", "Gost"}) {
        TEncryptMgr e;
        e.SetAlgoName(algo);
        e.InitKey("口令");
        const std::string a = e.EncodeBuffer(std::string("same value"));
        const std::string b = e.EncodeBuffer(std::string("same value"));
        EXPECT_EQ(a, b) << algo;
        std::string s1, s2;
        e.EncodeStream(Pattern(9000), s1);
        e.EncodeStream(Pattern(9000), s2);
        EXPECT_EQ(s1, s2) << algo;
        EXPECT_EQ(e.DecodeBuffer(b), "same value");
        EXPECT_EQ(e.DecodeStream(s2), Pattern(9000));
    }
}

// The stream form works in 4096-byte chunks with chaining across them, which
// must equal processing the whole unit at once, in every mode.
TEST(Managers, StreamEqualsBufferForEveryModeAndSize) {
    for (const char* algo : {"Blowfish", "Twofish", "Gost"}) {
        TEncryptMgr e;
        e.SetAlgoName(algo);
        e.InitKey("stream");
        for (int mode = 0; mode < 5; ++mode) {
            e.SetMode(mode);
            EXPECT_EQ(e.GetMode(), mode);
            for (size_t size : {size_t(0), size_t(5), size_t(4095), size_t(4096), size_t(4097), size_t(12345)}) {
                const std::string plain = Pattern(size);
                std::string streamed;
                e.EncodeStream(plain, streamed);
                EXPECT_EQ(streamed, e.EncodeBuffer(plain)) << algo << " mode " << mode << " size " << size;
                std::string back;
                e.DecodeStream(streamed, back);
                EXPECT_EQ(back, plain) << algo << " mode " << mode << " size " << size;
            }
        }
    }
}

TEST(Managers, StreamSizeAndProgress) {
    TEncryptMgr e;
    e.SetAlgoName("Blowfish");
    e.InitKey("p");
    std::vector<int> enc, dec;
    e.OnEncodeProgress = [&](int p) { enc.push_back(p); };
    e.OnDecodeProgress = [&](int p) { dec.push_back(p); };
    const std::string plain = Pattern(10000);
    std::string out;
    e.EncodeStream(plain, out, 8192);  // only the first two chunks
    EXPECT_EQ(out.size(), 8192u);
    EXPECT_EQ(enc, std::vector<int>({0, 50, 100, 0}));
    e.DecodeStream(out, out);
    EXPECT_EQ(out, plain.substr(0, 8192));
    EXPECT_EQ(dec, std::vector<int>({0, 50, 100, 0}));
    enc.clear();
    e.EncodeStream(plain, out);
    EXPECT_EQ(enc, std::vector<int>({0, 41, 82, 100, 0}));
    enc.clear();
    e.EncodeStream("", out);
    EXPECT_EQ(enc, std::vector<int>({0, 0}));

    TCompressMgr c;
    std::vector<int> cp;
    c.OnEncodeProgress = [&](int p) { cp.push_back(p); };
    c.SetAlgoName("ZLIB");  // handlers set before the algorithm still apply
    c.EncodeStream(plain, out);
    EXPECT_EQ(cp.back(), 0);
    EXPECT_NE(std::find(cp.begin(), cp.end(), 100), cp.end());
}

// A blob is compressed then encrypted; read back in the opposite order.
TEST(Managers, BlobPipelineRoundTrips) {
    TCompressMgr c;
    TEncryptMgr e;
    c.SetAlgoName("zLIB");
    e.SetAlgoName("blowfish");
    e.SetMode(0);
    e.InitKey("library password");
    const struct {
        const char* what;
        std::string value;
        size_t stored;
    } cases[] = {
        {"empty blob", "", 0},
        {"10 bytes that do not shrink", "0123456789", 14},
        {"text that compresses", std::string(5000, 'x'), 0},
    };
    for (const auto& tc : cases) {
        std::string packed, stored, read, plain;
        c.EncodeStream(tc.value, packed);
        e.EncodeStream(packed, stored);
        if (tc.stored) {
            EXPECT_EQ(stored.size(), tc.stored) << tc.what;
        }
        if (tc.value.empty()) {
            EXPECT_EQ(stored, "") << tc.what;
        }
        e.DecodeStream(stored, read);
        c.DecodeStream(read, plain);
        EXPECT_EQ(plain, tc.value) << tc.what;
    }
}

// The comment text: a private manager in mode 0, 257 bytes in place.
TEST(Managers, CommentBufferInPlaceAndWrongPassword) {
    std::string comment(257, '\0');
    comment.replace(0, 12, "My manuscrip");
    TEncryptMgr writer;
    writer.SetAlgoName("blowfish");
    writer.SetMode(0);
    writer.InitKey("right");
    std::string stored = comment;
    writer.EncodeBuffer(stored.data(), stored.data(), stored.size());
    EXPECT_NE(stored, comment);

    TEncryptMgr reader;
    reader.SetAlgoName("Blowfish");
    reader.SetMode(0);
    reader.InitKey("right");
    std::string back = stored;
    reader.DecodeBuffer(back.data(), back.data(), back.size());
    EXPECT_EQ(back, comment);

    reader.InitKey("wrong");
    const std::string garbage = reader.DecodeBuffer(stored);
    EXPECT_EQ(garbage.size(), comment.size());
    EXPECT_NE(garbage, comment);
}

// ---- Password check string ------------------------------------------------------

TEST(PasswordCheck, EncoderGrouping) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"abc", "YWJj"},
        {std::string("A\0\0", 3), "QQ"},               // standard Base64 would give QQAA
        {"a", "YQ=="},                                 // length 1 mod 3
        {"ab", "YWI="},                                // length 2 mod 3
        {std::string("abc\0\0\0abc", 9), "YWJjYWJj"},  // a zero group adds nothing
        {std::string("\0\0\0", 3), ""},
        {std::string("\0", 1), "=="},
        {std::string("\0\0\x01", 3), "AAAB"},  // only trailing zero values go
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckStringEncode(c.in), c.out);
}

TEST(PasswordCheck, CheckStringIsSha0DigestInTheEncoder) {
    // SHA-0("abc") = 0164b8a9...edf880; its last group F8 80 00 gives "+I",
    // where standard Base64 would end "+IA=".
    EXPECT_EQ(PasswordCheckString("abc"), "AWS4qRTNKl50xPf/CCxNl/Ht+I=");
    EXPECT_EQ(PasswordCheckString("abc"), CheckStringEncode(THash_SHA::CalcString("abc")));
    const std::string empty = PasswordCheckString("");
    EXPECT_LE(empty.size(), 28u);
    EXPECT_EQ(empty.back(), '=');
    EXPECT_NE(PasswordCheckString("Abc"), PasswordCheckString("abc"));
}

// ---- CRC-32 -----------------------------------------------------------------------

TEST(Crc32, StandardCheckValueAndIncrementalUse) {
    EXPECT_EQ(THash_CRC32::Calc("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    const std::string data = Pattern(100000);
    THash_CRC32 h;
    h.Init();
    h.Update(data.data(), 33333);
    h.Update(data.data() + 33333, data.size() - 33333);
    EXPECT_EQ(h.Final(), Crc32(data));
}
