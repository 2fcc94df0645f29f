// The zlib step of blob storage: stored format, raw fallback, level mapping,
// progress, and damaged input raising the zlib error instead of crashing.
#include <gtest/gtest.h>
#include <zlib.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "tomedb/dataproc/DataProc.h"

using namespace tomedb;

namespace {

std::string Int32LE(int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = char(uint32_t(v) >> (8 * i));
    return s;
}

int32_t Prefix(const std::string& s) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= uint32_t(uint8_t(s[i])) << (8 * i);
    return int32_t(u);
}

std::string Compressible(size_t n) {
    std::string s;
    while (s.size() < n)
        s += "稿件库 manuscript line " + std::to_string(s.size() % 97) + "\n";
    s.resize(n);
    return s;
}

std::string Incompressible(size_t n) {
    std::string s(n, '\0');
    uint32_t x = 12345;
    for (auto& ch : s) {
        x = x * 1103515245 + 12345;
        ch = char(x >> 24);
    }
    return s;
}

std::string Inflate(const std::string& zstream, size_t size) {
    std::string out(size, '\0');
    uLongf len = size;
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &len, reinterpret_cast<const Bytef*>(zstream.data()),
                         zstream.size()),
              Z_OK);
    out.resize(len);
    return out;
}

}  // namespace

TEST(ZlibStep, EmptyValueIsStoredAsNothing) {
    TCompAlgo_Zlib z;
    std::string out = "stale";
    z.EncodeStream("", out);
    EXPECT_EQ(out, "");
    out = "stale";
    z.DecodeStream("", out);
    EXPECT_EQ(out, "");
}

TEST(ZlibStep, ValueThatDoesNotShrinkIsStoredRawWithNegativeLength) {
    TCompAlgo_Zlib z;
    const std::string value = "0123456789";
    std::string out;
    z.EncodeStream(value, out);
    EXPECT_EQ(out, Int32LE(-10) + value);
    z.DecodeStream(out, out);
    EXPECT_EQ(out, value);  // in place: Dest may be Source

    const std::string noise = Incompressible(100000);
    z.EncodeStream(noise, out);
    EXPECT_EQ(Prefix(out), -100000);
    std::string back;
    z.DecodeStream(out, back);
    EXPECT_EQ(back, noise);
}

TEST(ZlibStep, CompressibleValueIsLengthThenZlibStream) {
    TCompAlgo_Zlib z;
    for (size_t size : {size_t(100), size_t(70000), size_t(1 << 20)}) {
        const std::string value = Compressible(size);
        std::string out, back;
        z.EncodeStream(value, out);
        ASSERT_GT(out.size(), 4u);
        EXPECT_EQ(Prefix(out), int32_t(size));
        EXPECT_LT(out.size(), size);
        EXPECT_EQ(Inflate(out.substr(4), size), value);
        z.DecodeStream(out, back);
        EXPECT_EQ(back, value);
    }
}

TEST(ZlibStep, DefaultLevelByteUsesZlibDefaultCompression) {
    TCompAlgo_Zlib z;
    EXPECT_EQ(z.GetLevel(), 1);
    const std::string value = Compressible(50000);
    std::string out;
    z.EncodeStream(value, out);
    std::string expected(compressBound(value.size()), '\0');
    uLongf len = expected.size();
    compress2(reinterpret_cast<Bytef*>(expected.data()), &len, reinterpret_cast<const Bytef*>(value.data()),
              value.size(), Z_DEFAULT_COMPRESSION);
    expected.resize(len);
    EXPECT_EQ(out.substr(4), expected);
}

TEST(ZlibStep, LevelByteMapping) {
    const struct {
        uint8_t level;
        int zlib;
    } cases[] = {{0, 9}, {1, Z_DEFAULT_COMPRESSION}, {2, 1}, {3, 1}, {4, 0}, {255, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TCompAlgo_Zlib::ZlibLevel(c.level), c.zlib) << int(c.level);
    // Level 0 of zlib stores without compression, so the raw form is used.
    TCompAlgo_Zlib z;
    z.SetLevel(4);
    std::string out;
    z.EncodeStream(Compressible(1000), out);
    EXPECT_EQ(Prefix(out), -1000);
}

TEST(ZlibStep, SizeLimitsTheInput) {
    TCompAlgo_Zlib z;
    const std::string value = Compressible(5000);
    std::string out, back;
    z.EncodeStream(value, out, 3000);
    z.DecodeStream(out, back);
    EXPECT_EQ(back, value.substr(0, 3000));
}

TEST(ZlibStep, ProgressStartsAndEndsWithZeroAndReaches100) {
    TCompAlgo_Zlib z;
    std::vector<int> enc, dec;
    z.OnEncodeProgress = [&](int p) { enc.push_back(p); };
    z.OnDecodeProgress = [&](int p) { dec.push_back(p); };
    std::string out, back;
    z.EncodeStream(Compressible(3 << 20), out);
    z.DecodeStream(out, back);
    for (const auto* events : {&enc, &dec}) {
        ASSERT_GE(events->size(), 3u);
        EXPECT_EQ(events->front(), 0);
        EXPECT_EQ(events->back(), 0);
        EXPECT_EQ((*events)[events->size() - 2], 100);
        for (size_t i = 2; i + 1 < events->size(); ++i)
            EXPECT_LE((*events)[i - 1], (*events)[i]);
    }
    EXPECT_GT(enc.size(), 4u);  // reports after each block, not only at the end
}

// Damaged stored values must raise the zlib error (an EDatabaseError), never
// crash or allocate what the prefix claims.
TEST(ZlibStep, DamagedInputRaisesZlibError) {
    TCompAlgo_Zlib z;
    std::string good;
    z.EncodeStream(Compressible(20000), good);
    std::string flipped = good;
    for (size_t i = 6; i < flipped.size(); i += 7)
        flipped[i] ^= 0x55;
    const struct {
        const char* what;
        std::string input;
    } cases[] = {
        {"shorter than the prefix", std::string("\x05\x00", 2)},
        {"truncated stream", good.substr(0, good.size() / 2)},
        {"prefix larger than the stream", Int32LE(20001) + good.substr(4)},
        {"huge prefix, tiny body", Int32LE(INT32_MAX) + good.substr(4, 10)},
        {"prefix without body", Int32LE(1000)},
        {"garbage body", Int32LE(100) + "not a zlib stream at all"},
        {"flipped bits", flipped},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_THROW(z.DecodeStream(c.input, out), EZlibError) << c.what;
    }
    try {
        std::string out;
        z.DecodeStream(Int32LE(100) + "garbage", out);
        ADD_FAILURE() << "no exception";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "data error");
    }
}

TEST(ZlibStep, OddButValidPrefixes) {
    TCompAlgo_Zlib z;
    std::string out;
    z.DecodeStream(Int32LE(INT32_MIN) + "raw", out);  // negative: bytes as they are
    EXPECT_EQ(out, "raw");
    z.DecodeStream(Int32LE(0) + "anything", out);  // zero bytes inflated
    EXPECT_EQ(out, "");
}

namespace {

// What decoding gives: the value, or the error's text.
struct TDecoded {
    bool failed = false;
    std::string valueOrError;
    bool operator==(const TDecoded&) const = default;
};

TDecoded DecodeWhole(const std::string& stored) {
    TCompAlgo_Zlib z;
    try {
        std::string out;
        z.DecodeStream(stored, out);
        return {false, out};
    } catch (const EZlibError& e) {
        return {true, e.what()};
    }
}

// DecodeInPieces always streams through zlib: the reference for every value size.
TDecoded DecodeStreamed(const std::string& stored) {
    TCompAlgo_Zlib z;
    try {
        std::string out;
        z.DecodeInPieces(stored, [&](const char* data, size_t size) { out.append(data, size); });
        return {false, out};
    } catch (const EZlibError& e) {
        return {true, e.what()};
    }
}

std::string Flip(std::string s, size_t at) {
    s[at] = char(s[at] ^ 0xFF);
    return s;
}

}  // namespace

// Small values are inflated whole, large ones streamed; damage must be
// refused alike on both sides of that line, and alike to the streamed zlib
// decoding: the same "data error", never a value.
TEST(ZlibStep, DamagedStreamsAreRefusedAsByStreamedZlib) {
    for (size_t size : {size_t(300), size_t(20000), size_t(3 << 20)}) {
        TCompAlgo_Zlib z;
        const std::string value = Compressible(size) + Incompressible(size / 4);
        std::string good;
        z.EncodeStream(value, good);
        ASSERT_GT(Prefix(good), 0) << size;
        const size_t n = good.size();
        const struct {
            const char* what;
            std::string stored;
        } cases[] = {
            {"last byte cut", good.substr(0, n - 1)},
            {"checksum cut", good.substr(0, n - 4)},
            {"half the stream cut", good.substr(0, 4 + (n - 4) / 2)},
            {"only the zlib header", good.substr(0, 6)},
            {"header byte flipped", Flip(good, 4)},
            {"byte in the data flipped", Flip(good, 4 + (n - 4) / 3)},
            {"last data byte flipped", Flip(good, n - 5)},
            {"checksum byte flipped", Flip(good, n - 1)},
            {"length one short", Int32LE(int32_t(value.size() - 1)) + good.substr(4)},
            {"length one long", Int32LE(int32_t(value.size() + 1)) + good.substr(4)},
            {"length halved", Int32LE(int32_t(value.size() / 2)) + good.substr(4)},
        };
        for (const auto& c : cases) {
            const TDecoded whole = DecodeWhole(c.stored);
            EXPECT_TRUE(whole.failed) << size << ": " << c.what;
            EXPECT_EQ(whole.valueOrError, "data error") << size << ": " << c.what;
            EXPECT_EQ(whole, DecodeStreamed(c.stored)) << size << ": " << c.what;
        }
    }
}

// What zlib accepts must still decode: bytes after the stream's end are
// ignored, and a stream of any zlib level (stored blocks included) reads back.
TEST(ZlibStep, AnyValidZlibStreamDecodes) {
    const std::string value = Compressible(40000) + Incompressible(3000);
    for (int level : {0, 1, 6, 9}) {
        std::string stream(compressBound(value.size()), '\0');
        uLongf len = stream.size();
        ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(stream.data()), &len, reinterpret_cast<const Bytef*>(value.data()),
                            value.size(), level),
                  Z_OK);
        stream.resize(len);
        const std::string stored = Int32LE(int32_t(value.size())) + stream;
        for (const std::string& input : {stored, stored + "trailing bytes"}) {
            const TDecoded whole = DecodeWhole(input);
            EXPECT_FALSE(whole.failed) << level << ": " << whole.valueOrError;
            EXPECT_TRUE(whole.valueOrError == value) << level;
            EXPECT_EQ(whole, DecodeStreamed(input)) << level;
        }
    }
}
