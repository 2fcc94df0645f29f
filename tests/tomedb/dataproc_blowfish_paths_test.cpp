// Blowfish deciphering through each path (portable, and the wide one where
// this processor has it): published vectors, and runs of every length and
// alignment against blocks enciphered one at a time, the bytes around a run
// left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tomedb/dataproc/Blowfish.h"

using namespace tomedb;
using blowfish::TDecipherPath;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const std::string& h) {
    Bytes out;
    for (size_t i = 0; i + 1 < h.size(); i += 2)
        out.push_back(uint8_t(std::stoul(h.substr(i, 2), nullptr, 16)));
    return out;
}

constexpr size_t kBlock = TEnc_Blowfish::kBlockSize;
constexpr uint8_t kGuard = 0xA5;
constexpr size_t kGuardBytes = 16;

class DecipherPath : public ::testing::TestWithParam<TDecipherPath> {
protected:
    void SetUp() override {
        if (!blowfish::PathAvailable(GetParam()))
            GTEST_SKIP() << "this processor cannot run the path";
    }

    // Deciphers `cipher` (whole blocks) placed `offset` bytes into a guarded
    // buffer; checks the guards and returns the deciphered bytes.
    Bytes Decipher(const Bytes& cipher, size_t offset) {
        Bytes buffer(offset + cipher.size() + kGuardBytes, kGuard);
        std::copy(cipher.begin(), cipher.end(), buffer.begin() + long(offset));
        c.DecodeBlocksVia(GetParam(), buffer.data() + offset, cipher.size() / kBlock);
        for (size_t i = 0; i < offset; ++i)
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " before the run";
        for (size_t i = offset + cipher.size(); i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i - offset - cipher.size() << " after the run";
        return Bytes(buffer.begin() + long(offset), buffer.begin() + long(offset + cipher.size()));
    }

    TEnc_Blowfish c;
};

// Published ECB vectors (key, plaintext, ciphertext), each ciphertext repeated
// into runs that the wide path takes whole, padded, or not at all.
TEST_P(DecipherPath, PublishedVectorsInRunsOfEveryShape) {
    const struct {
        const char *key, *plain, *cipher;
    } vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    };
    for (const auto& v : vectors) {
        const Bytes key = Hex(v.key), plain = Hex(v.plain), cipher = Hex(v.cipher);
        c.Init(key.data(), key.size());
        for (size_t blocks : {1, 7, 8, 63, 64, 65, 200}) {
            SCOPED_TRACE(std::string("key ") + v.key + ", " + std::to_string(blocks) + " blocks");
            Bytes run, expected;
            for (size_t i = 0; i < blocks; ++i) {
                run.insert(run.end(), cipher.begin(), cipher.end());
                expected.insert(expected.end(), plain.begin(), plain.end());
            }
            EXPECT_EQ(Decipher(run, 3), expected);
        }
    }
}

// Distinct blocks enciphered one by one come back in their places for every
// run length up to a few wide passes and every alignment.
TEST_P(DecipherPath, EveryLengthAndAlignmentUndoesEnciphering) {
    const Bytes key = Hex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
    c.Init(key.data(), key.size());
    constexpr size_t kMostBlocks = 200;
    Bytes plain(kMostBlocks * kBlock);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = uint8_t(i * 167 + i / 7);
    Bytes cipher = plain;
    for (size_t at = 0; at < cipher.size(); at += kBlock)
        c.EncodeBlock(cipher.data() + at);
    for (size_t blocks = 0; blocks <= kMostBlocks; ++blocks)
        for (size_t offset = 0; offset < kBlock; ++offset) {
            SCOPED_TRACE(std::to_string(blocks) + " blocks at offset " + std::to_string(offset));
            const auto end = long(blocks * kBlock);
            EXPECT_EQ(Decipher(Bytes(cipher.begin(), cipher.begin() + end), offset),
                      Bytes(plain.begin(), plain.begin() + end));
        }
}

INSTANTIATE_TEST_SUITE_P(Paths, DecipherPath, ::testing::Values(TDecipherPath::Portable, TDecipherPath::Avx512Vbmi),
                         [](const auto& info) {
                             return info.param == TDecipherPath::Portable ? std::string("Portable")
                                                                          : std::string("Avx512Vbmi");
                         });

}  // namespace
