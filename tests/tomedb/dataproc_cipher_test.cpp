// Block ciphers, SHA-0 and the chaining modes: published vectors, the key
// derivation from a password, each mode's defining relations, and Blowfish's
// deciphering paths held to the same answers.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tomedb/dataproc/Blowfish.h"
#include "tomedb/dataproc/DataProc.h"

using namespace tomedb;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Hex(const std::string& h) {
    Bytes out;
    for (size_t i = 0; i + 1 < h.size(); i += 2)
        out.push_back(uint8_t(std::stoul(h.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const uint8_t* p, size_t n) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}
std::string ToHex(const Bytes& b) { return ToHex(b.data(), b.size()); }

Bytes EncryptBlock(TEncrypt& c, const std::string& keyHex, const std::string& plainHex) {
    Bytes key = Hex(keyHex), block = Hex(plainHex);
    c.Init(key.data(), key.size());
    c.EncodeBlock(block.data());
    return block;
}

struct BlockVector {
    std::string key, plain, cipher;
};

void CheckVectors(TEncrypt& c, const std::vector<BlockVector>& vectors) {
    for (const auto& v : vectors) {
        SCOPED_TRACE("key " + v.key);
        Bytes block = EncryptBlock(c, v.key, v.plain);
        EXPECT_EQ(ToHex(block), v.cipher);
        c.DecodeBlock(block.data());
        EXPECT_EQ(ToHex(block), v.plain);
    }
}

}  // namespace

TEST(Sha0, PublishedVectors) {
    auto hex = [](std::string_view m) {
        auto d = THash_SHA::Calc(m);
        return ToHex(d.data(), d.size());
    };
    EXPECT_EQ(hex("abc"), "0164B8A914CD2A5E74C4F7FF082C4D97F1EDF880");
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "D2516EE1ACFA5BAF33DFC1C471E438449EF134C8");
}

TEST(Sha0, IncrementalEqualsOneShot) {
    std::string msg(1000, '\0');
    for (size_t i = 0; i < msg.size(); ++i)
        msg[i] = char(i * 7);
    THash_SHA h;
    for (size_t pos = 0, step = 1; pos < msg.size(); pos += step, step = step * 2 + 1)
        h.Update(msg.data() + pos, std::min(step, msg.size() - pos));
    EXPECT_EQ(h.Final(), THash_SHA::Calc(msg));
}

// Published ECB vectors: key, plaintext, ciphertext.
const std::vector<BlockVector> kBlowfishEcbVectors = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
};

TEST(Blowfish, PublishedEcbVectors) {
    TEnc_Blowfish c;
    CheckVectors(c, kBlowfishEcbVectors);
    EXPECT_TRUE(c.TestVector());
}

// Published variable-key-length set: prefixes of one key, fixed plaintext.
TEST(Blowfish, PublishedVariableKeyVectors) {
    const std::string key = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
    const char* expected[] = {"F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
                              "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
                              "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
                              "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
                              "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
                              "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080"};
    TEnc_Blowfish c;
    std::vector<BlockVector> vectors;
    for (size_t n = 1; n <= 24; ++n)
        vectors.push_back({key.substr(0, 2 * n), "FEDCBA9876543210", expected[n - 1]});
    CheckVectors(c, vectors);
}

TEST(Twofish, PublishedKnownAnswers) {
    TEnc_Twofish c;
    const std::string zero16 = std::string(32, '0');
    CheckVectors(c,
                 {
                     {zero16, zero16, "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
                     {std::string(48, '0'), zero16, "EFA71F788965BD4453F860178FC19101"},
                     {std::string(64, '0'), zero16, "57FF739D4DC92C1BD7FC01700CC8216F"},
                     {"0123456789ABCDEFFEDCBA98765432100011223344556677", zero16, "CFD1D2E5A9BE9CDF501F13B892BD2248"},
                     {"0123456789ABCDEFFEDCBA987654321000112233445566778899AABBCCDDEEFF", zero16,
                      "37527BE0052334B89F0CFCCAE87CFA20"},
                 });
    EXPECT_TRUE(c.TestVector());
}

// Shorter keys are zero-extended: 20 bytes act as the 24-byte key.
TEST(Twofish, TwentyByteKeyIsZeroExtendedTo192Bits) {
    TEnc_Twofish c;
    const std::string key20 = "0123456789ABCDEFFEDCBA987654321000112233";
    EXPECT_EQ(ToHex(EncryptBlock(c, key20, std::string(32, '0'))),
              ToHex(EncryptBlock(c, key20 + "00000000", std::string(32, '0'))));
}

// S-box set id-tc26-gost-28147-param-Z; example of GOST R 34.12-2015.
TEST(Gost, PublishedVector) {
    TEnc_Gost c;
    CheckVectors(c, {{"FFEEDDCCBBAA99887766554433221100F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF", "FEDCBA9876543210",
                      "4EE901E5C2D8CA3D"}});
    EXPECT_TRUE(c.TestVector());
}

// ---- Key setup and cipher state ---------------------------------------------

struct CipherCase {
    const char* name;
    std::unique_ptr<TEncrypt> (*make)();
    size_t keyBytes;  // digest bytes plus zero extension
};

class EachCipher : public ::testing::TestWithParam<CipherCase> {
protected:
    std::unique_ptr<TEncrypt> c = GetParam().make();
};

static const CipherCase kCiphers[] = {
    {"TEnc_Blowfish", [] { return std::unique_ptr<TEncrypt>(new TEnc_Blowfish); }, 20},
    {"TEnc_Twofish", [] { return std::unique_ptr<TEncrypt>(new TEnc_Twofish); }, 24},
    {"TEnc_Gost", [] { return std::unique_ptr<TEncrypt>(new TEnc_Gost); }, 32},
};
INSTANTIATE_TEST_SUITE_P(Ciphers, EachCipher, ::testing::ValuesIn(kCiphers),
                         [](const auto& info) { return std::string(info.param.name).substr(5); });

TEST_P(EachCipher, UseWithoutKeyRaisesEncryptException) {
    uint8_t buf[16] = {};
    try {
        c->EncodeBuffer(buf, buf, sizeof(buf));
        FAIL() << "no exception";
    } catch (const EEncryptException& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string(GetParam().name) + " is not initialized call Init() or InitKey() before.");
    }
    EXPECT_THROW(c->DecodeBuffer(buf, buf, sizeof(buf)), EEncryptException);
    c->InitKey("pw");
    c->Protect();
    EXPECT_THROW(c->EncodeBuffer(buf, buf, sizeof(buf)), EEncryptException);
}

// InitKey uses the SHA-0 digest of the password (zero-extended for Twofish and
// GOST) as key, the IV is E(all 0xFF), and it leaves the feedback at the IV.
TEST_P(EachCipher, InitKeyDerivesKeyFromDigestAndIvFromOnes) {
    c->InitKey("密码 secret");
    EXPECT_TRUE(c->Initialized());
    EXPECT_TRUE(c->Keyed());
    const size_t b = c->BlockSize();
    Bytes iv(c->IV(), c->IV() + b);
    EXPECT_EQ(Bytes(c->Feedback(), c->Feedback() + b), iv);

    auto reference = GetParam().make();
    Bytes key(GetParam().keyBytes, 0);
    auto digest = THash_SHA::Calc("密码 secret");
    std::memcpy(key.data(), digest.data(), digest.size());
    reference->Init(key.data(), key.size());
    Bytes ones(b, 0xFF);
    reference->EncodeBlock(ones.data());
    EXPECT_EQ(ones, iv);

    Bytes plain(3 * b + 3, 0x5A), a(plain.size()), r(plain.size());
    c->EncodeBuffer(plain.data(), a.data(), plain.size());
    reference->EncodeBuffer(plain.data(), r.data(), plain.size());
    EXPECT_EQ(a, r);
}

TEST_P(EachCipher, KeyLongerThanMaximumIsCut) {
    size_t blockSize, maxKey, schedule;
    c->GetContext(blockSize, maxKey, schedule);
    EXPECT_EQ(blockSize, c->BlockSize());
    Bytes key(maxKey + 10, 0x3C), block(blockSize, 1), block2(blockSize, 1);
    c->Init(key.data(), key.size());
    c->EncodeBlock(block.data());
    c->Init(key.data(), maxKey);
    c->EncodeBlock(block2.data());
    EXPECT_EQ(block, block2);
}

TEST_P(EachCipher, SetModeRejectsUnknownModes) {
    EXPECT_THROW(c->SetMode(5), EDatabaseError);
    EXPECT_THROW(c->SetMode(-1), EDatabaseError);
    c->SetMode(4);
    EXPECT_EQ(c->GetMode(), 4);
}

// Every mode keeps the length, round-trips after Done, works in place, and
// leaves the bytes changed for a non-empty input (except mode 4's tail).
TEST_P(EachCipher, EveryModeRoundTripsAtEverySize) {
    c->InitKey("round trip");
    const size_t b = c->BlockSize();
    for (int mode = 0; mode < TEncrypt::ModeCount; ++mode) {
        c->SetMode(mode);
        for (size_t size : {size_t(0), size_t(1), size_t(5), b - 1, b, b + 1, 2 * b + 3, size_t(4096 + 7)}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " size " << size);
            Bytes plain(size);
            for (size_t i = 0; i < size; ++i)
                plain[i] = uint8_t(i * 31 + 7);
            Bytes enc(size), dec(size);
            c->EncodeBuffer(plain.data(), enc.data(), size);
            c->Done();
            Bytes inPlace = plain;
            c->EncodeBuffer(inPlace.data(), inPlace.data(), size);
            c->Done();
            EXPECT_EQ(inPlace, enc);
            if (size >= b) {
                EXPECT_NE(Bytes(enc.begin(), enc.begin() + b), Bytes(plain.begin(), plain.begin() + b));
            }
            c->DecodeBuffer(enc.data(), dec.data(), size);
            c->Done();
            EXPECT_EQ(dec, plain);
            c->DecodeBuffer(enc.data(), enc.data(), size);
            c->Done();
            EXPECT_EQ(enc, plain);
        }
    }
}

// ---- The rows of the mode table, checked against the raw block cipher -------

class ModeRows : public EachCipher {
protected:
    void SetUp() override {
        c->InitKey("modes");
        b = c->BlockSize();
        iv.assign(c->IV(), c->IV() + b);
        for (size_t i = 0; i < 2 * b + 5; ++i)
            plain.push_back(uint8_t(0xA0 + i));
    }
    Bytes E(Bytes x) {
        c->EncodeBlock(x.data());
        return x;
    }
    Bytes D(Bytes x) {
        c->DecodeBlock(x.data());
        return x;
    }
    static Bytes Xor(const Bytes& x, const Bytes& y) {
        Bytes r(std::min(x.size(), y.size()));
        for (size_t i = 0; i < r.size(); ++i)
            r[i] = x[i] ^ y[i];
        return r;
    }
    Bytes Block(const Bytes& data, size_t i) {
        return Bytes(data.begin() + i * b, data.begin() + std::min(data.size(), (i + 1) * b));
    }
    Bytes Encode(int mode) {
        c->SetMode(mode);
        Bytes out(plain.size());
        c->EncodeBuffer(plain.data(), out.data(), out.size());
        c->Done();
        return out;
    }
    size_t b = 0;
    Bytes iv, plain;
};
INSTANTIATE_TEST_SUITE_P(Ciphers, ModeRows, ::testing::ValuesIn(kCiphers),
                         [](const auto& info) { return std::string(info.param.name).substr(5); });

TEST_P(ModeRows, Mode0) {
    Bytes out = Encode(0), f = iv;
    for (size_t i = 0; i < 2; ++i) {
        Bytes cBlock = E(Xor(Block(plain, i), f));
        EXPECT_EQ(Block(out, i), cBlock);
        f = Xor(cBlock, f);
    }
    EXPECT_EQ(Block(out, 2), Xor(Block(plain, 2), E(f)));
    // Decryption of a full block: P = D(C) xor F.
    EXPECT_EQ(Xor(D(Block(out, 0)), iv), Block(plain, 0));
}

TEST_P(ModeRows, Mode1) {
    Bytes out = Encode(1), f = iv;
    for (size_t i = 0; i < 2; ++i) {
        f = E(Xor(Block(plain, i), f));
        EXPECT_EQ(Block(out, i), f);
    }
    EXPECT_EQ(Block(out, 2), Xor(Block(plain, 2), E(f)));
}

TEST_P(ModeRows, Mode2And3FirstBytesAndFeedbackShift) {
    Bytes k0 = E(iv);
    Bytes out2 = Encode(2), out3 = Encode(3);
    EXPECT_EQ(out2[0], plain[0] ^ k0[0]);
    EXPECT_EQ(out3[0], plain[0] ^ k0[0]);
    Bytes f2(iv.begin() + 1, iv.end()), f3 = f2;
    f2.push_back(out2[0]);
    f3.push_back(k0[0]);
    EXPECT_EQ(out2[1], plain[1] ^ E(f2)[0]);
    EXPECT_EQ(out3[1], plain[1] ^ E(f3)[0]);
    // Output feedback decrypts with the same operation.
    c->SetMode(3);
    Bytes back(out3.size());
    c->DecodeBuffer(out3.data(), back.data(), back.size());
    EXPECT_EQ(back, plain);
}

TEST_P(ModeRows, Mode4CodebookCopiesTail) {
    Bytes out = Encode(4);
    EXPECT_EQ(Block(out, 0), E(Block(plain, 0)));
    EXPECT_EQ(Block(out, 1), E(Block(plain, 1)));
    EXPECT_EQ(Block(out, 2), Block(plain, 2));
}

// A 5-byte value in mode 0 is one partial block: XOR with E(IV).
TEST_P(ModeRows, FiveByteValueIsOnePartialBlock) {
    c->SetMode(0);
    Bytes value = {'h', 'e', 'l', 'l', 'o'}, out(5);
    c->EncodeBuffer(value.data(), out.data(), 5);
    EXPECT_EQ(out, Xor(value, E(iv)));
}

// Chaining continues across calls until Done: two calls equal one.
TEST_P(ModeRows, ChainingContinuesAcrossCallsUntilDone) {
    for (int mode = 0; mode < TEncrypt::ModeCount; ++mode) {
        Bytes whole = Encode(mode), parts(plain.size());
        c->EncodeBuffer(plain.data(), parts.data(), b);
        c->EncodeBuffer(plain.data() + b, parts.data() + b, plain.size() - b);
        c->Done();
        EXPECT_EQ(parts, whole) << "mode " << mode;
    }
}

// Mode 0 as stored values use it: a known answer (a password key, seven
// blocks and a partial one), and a value of many chunks decoded in one call,
// in place and not, equals the chaining rule applied block by block.
TEST(Blowfish, Mode0KnownAnswer) {
    TEnc_Blowfish c;
    c.InitKey("known answer");
    c.SetMode(0);
    Bytes plain(61);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = uint8_t(i * 29 + 3);
    Bytes out(plain.size());
    c.EncodeBuffer(plain.data(), out.data(), out.size());
    c.Done();
    EXPECT_EQ(ToHex(out),
              "5F2AC619CC8D48F0CE47642DD50B1A66F9E1B87610F099B9BEBA19A14495FB1329CE8F002C961B91"
              "15A6CAC6D9F56F168DB34AAC36532794A6CC7D1A65");
    c.DecodeBuffer(out.data(), out.data(), out.size());
    EXPECT_EQ(out, plain);
}

TEST_P(ModeRows, Mode0DecodesLongValuesAsBlockByBlock) {
    c->SetMode(0);
    Bytes cipher(3 * 4096 + 5 * b + 3);
    for (size_t i = 0; i < cipher.size(); ++i)
        cipher[i] = uint8_t(i * 131 + i / 251);
    Bytes expected(cipher.size()), f = iv;
    size_t at = 0;
    for (; at + b <= cipher.size(); at += b) {
        const Bytes block = Block(cipher, at / b);
        const Bytes p = Xor(D(block), f);
        std::copy(p.begin(), p.end(), expected.begin() + long(at));
        f = Xor(f, block);
    }
    const Bytes tail = Xor(Bytes(cipher.begin() + long(at), cipher.end()), E(f));
    std::copy(tail.begin(), tail.end(), expected.begin() + long(at));
    Bytes decoded(cipher.size());
    c->DecodeBuffer(cipher.data(), decoded.data(), cipher.size());
    c->Done();
    EXPECT_EQ(decoded, expected);
    Bytes inPlace = cipher;
    c->DecodeBuffer(inPlace.data(), inPlace.data(), inPlace.size());
    c->Done();
    EXPECT_EQ(inPlace, expected);
}

// ---- Blowfish deciphering paths ---------------------------------------------
// Each path (portable, and the wide one where this processor has it): the
// published vectors, and runs of every length and alignment against blocks
// enciphered one at a time, the bytes around a run left alone.

using blowfish::TDecipherPath;

namespace {

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

// The published ECB vectors, each ciphertext repeated into runs that the wide
// path takes whole, padded, or not at all.
TEST_P(DecipherPath, PublishedVectorsInRunsOfEveryShape) {
    for (const BlockVector& v : kBlowfishEcbVectors) {
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
