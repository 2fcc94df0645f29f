// The qdb tool run as a process: records round trip, passwords, verify on
// damaged files, rebuilds and usage errors.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "QdbFolderTest.h"
#include "QdbProcess.h"
#include "tomedb/storage/TomeFormat.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class QdbTest : public QdbFolderTest {
protected:
    void SetUp() override {
        QdbFolderTest::SetUp();
        file = folder + "/lib.qdb";
    }

    QdbResult Qdb(const Args& args) { return RunQdb(folder, args); }

    // A file with table Docs (auto-increment ID, PID, Name, a memo) and index ByPID.
    void CreateDocs(const Args& extra = {}) {
        Args create{"create", file, "--comment", "说明"};
        create.insert(create.end(), extra.begin(), extra.end());
        Ok(create);
        Args table{"create-table", file, "Docs", "ID:AutoInc", "PID:Integer", "Name:String:40", "Txt:Memo"};
        table.insert(table.end(), extra.begin(), extra.end());
        Ok(table);
        Args index{"create-index", file, "Docs", "ByPID", "PID"};
        index.insert(index.end(), extra.begin(), extra.end());
        Ok(index);
    }

    std::string Put(int pid, const std::string& name, const std::string& text = "") {
        return Ok({"put", file, "Docs", "PID=" + std::to_string(pid), "Name=" + name, "Txt=" + text});
    }

    std::string file;
};

TEST_F(QdbTest, RoundTripOfEveryFieldType) {
    Ok({"create", file});
    Ok({"create-table", file, "All", "ID:AutoInc", "S:String:20", "I:Integer", "B:Boolean", "D:Date", "T:Time",
        "DT:DateTime", "M:Memo", "Bl:Blob", "F:Float", "Si:SmallInt", "W:Word", "C:Currency", "L:LargeInt",
        "X:FixedChar:4", "N:3"});
    const std::string blobFile = folder + "/blob.bin";
    std::ofstream(blobFile, std::ios::binary) << std::string("\x00\x01\xff", 3);
    EXPECT_EQ(Ok({"put", file, "All", "S=中文 text", "I=-42", "B=true", "D=2024-02-29", "T=23:59:58",
                  "DT=1999-12-31T08:09:10", "M=第一行\n第二行", "Bl=@" + blobFile, "F=2.5", "Si=-7", "W=65535",
                  "C=12.25", "L=9000000000", "X=ab", "N=5"}),
              "1\n");
    EXPECT_EQ(Ok({"dump", file, "All"}),
              "{\"ID\":1,\"S\":\"中文 text\",\"I\":-42,\"B\":true,\"D\":\"2024-02-29\","
              "\"T\":\"23:59:58.000\",\"DT\":\"1999-12-31T08:09:10.000\",\"M\":\"第一行\\n第二行\","
              "\"Bl\":\"AAH/\",\"F\":2.5,\"Si\":-7,\"W\":65535,\"C\":12.25,\"L\":9000000000,"
              "\"X\":\"ab\",\"N\":5}\n");
    const std::string info = Ok({"info", file});
    EXPECT_NE(info.find("\"tables\":[{\"name\":\"All\",\"records\":1,\"auto_inc_counter\":1"), std::string::npos)
        << info;
    EXPECT_NE(info.find("{\"name\":\"X\",\"type\":23,\"size\":4,\"dpmode\":0}"), std::string::npos);
    EXPECT_NE(info.find("{\"name\":\"ID\",\"options\":[\"primary\"],\"fields\":[\"ID\"]}"), std::string::npos);
}

// What put accepts comes back from dump in dump's own form.
TEST_F(QdbTest, PutReadsTheFormsDumpPrints) {
    Ok({"create", file});
    Ok({"create-table", file, "V", "ID:AutoInc", "X:String:10"});
    struct Case {
        std::string type, input, printed;
    } cases[] = {
        {"Boolean", "1", "true"},
        {"Boolean", "false", "false"},
        {"Date", "0001-01-01", "\"0001-01-01\""},
        {"Time", "07:08:09.123", "\"07:08:09.123\""},
        {"DateTime", "1800-01-01T06:00:00.250", "\"1800-01-01T06:00:00.250\""},
        {"DateTime", "2024-06-01T23:59:59.999", "\"2024-06-01T23:59:59.999\""},
        {"SmallInt", "-32768", "-32768"},
        {"Word", "0", "0"},
        {"LargeInt", "-9223372036854775808", "-9223372036854775808"},
        {"Currency", "-0.5", "-0.5"},
        {"Blob", "", "\"\""},
        {"Memo", "多行\r\n文字", "\"多行\\r\\n文字\""},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string table = "T" + std::to_string(++n);
        Ok({"create-table", file, table, "ID:AutoInc", "F:" + c.type});
        Ok({"put", file, table, "F=" + c.input});
        EXPECT_EQ(Ok({"dump", file, table}), "{\"ID\":1,\"F\":" + c.printed + "}\n") << c.type;
    }
    for (const char* bad :
         {"SmallInt:32768", "Word:-1", "Date:2023-02-29", "Time:24:00:00", "Boolean:yes", "Blob:not base64!"}) {
        const std::string definition = bad;
        const std::string table = "B" + std::to_string(++n);
        Ok({"create-table", file, table, "F:" + definition.substr(0, definition.find(':'))});
        QdbResult r = Qdb({"put", file, table, "F=" + definition.substr(definition.find(':') + 1)});
        EXPECT_EQ(r.exitCode, 1) << bad;
        EXPECT_NE(r.err.find("field 'F'"), std::string::npos) << r.err;
    }
}

TEST_F(QdbTest, SetDelIndexAndFilter) {
    CreateDocs();
    EXPECT_EQ(Put(3, "c"), "1\n");
    EXPECT_EQ(Put(1, "a"), "2\n");
    EXPECT_EQ(Put(2, "b"), "3\n");
    Ok({"set", file, "Docs", "2", "Name=changed", "PID=9"});
    Ok({"del", file, "Docs", "1"});
    EXPECT_EQ(Ok({"dump", file, "Docs", "--index", "ByPID"}),
              "{\"ID\":3,\"PID\":2,\"Name\":\"b\",\"Txt\":\"\"}\n"
              "{\"ID\":2,\"PID\":9,\"Name\":\"changed\",\"Txt\":\"\"}\n");
    EXPECT_EQ(Ok({"dump", file, "Docs", "--filter", "Name='CHA*'", "--case-insensitive"}),
              "{\"ID\":2,\"PID\":9,\"Name\":\"changed\",\"Txt\":\"\"}\n");
    EXPECT_EQ(Ok({"dump", file, "Docs", "--filter", "Name='CHA*'"}), "");
    EXPECT_EQ(Ok({"dump", file, "Docs", "--filter", "Name='cha*'", "--no-partial"}), "");
    QdbResult missing = Qdb({"del", file, "Docs", "1"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Record not found"), std::string::npos);
}

TEST_F(QdbTest, ErrorsNameWhatFailedInReadableText) {
    CreateDocs();
    Ok({"create-table", file, "书目", "页数:Integer"});
    struct Case {
        std::string assignment, expected;
    } cases[] = {
        {"PID=abc", "PID"},
        {"PID=99999999999", "PID"},
        {"Nope=1", "Nope"},
    };
    for (const Case& c : cases) {
        QdbResult r = Qdb({"put", file, "Docs", c.assignment});
        EXPECT_EQ(r.exitCode, 1) << c.assignment;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
    }
    // Engine messages carry GB18030 names; they reach the terminal as UTF-8.
    for (const Case& c : {Case{"页数=abc", "field '页数'"}, Case{"页=1", "'页'"}}) {
        QdbResult r = Qdb({"put", file, "书目", c.assignment});
        EXPECT_EQ(r.exitCode, 1) << c.assignment;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
    }
    EXPECT_EQ(Ok({"dump", file, "Docs"}), "");  // nothing was appended
    EXPECT_EQ(Qdb({"dump", file, "目录"}).err, "Table '目录' not found\n");
}

TEST_F(QdbTest, EncryptedFileNeedsTheRightPassword) {
    CreateDocs({"--password", "秘密"});
    EXPECT_EQ(Ok({"put", file, "Docs", "PID=1", "Name=x", "--password", "秘密"}), "1\n");
    EXPECT_EQ(Ok({"dump", file, "Docs", "--password", "秘密"}), "{\"ID\":1,\"PID\":1,\"Name\":\"x\",\"Txt\":\"\"}\n");
    for (const Args& args : {Args{"dump", file, "Docs", "--password", "wrong"}, Args{"dump", file, "Docs"},
                             Args{"put", file, "Docs", "PID=2"}}) {
        QdbResult r = Qdb(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Access denied\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_NE(Ok({"info", file}).find("\"encrypted\":true,\"encrypt_algo\":\"blowfish\""), std::string::npos);
    EXPECT_NE(Ok({"info", file, "--password", "wrong"}).find("\"comment\":null"), std::string::npos);
    EXPECT_NE(Ok({"info", file, "--password", "秘密"}).find("\"comment\":\"说明\""), std::string::npos);
}

// Passwords are bytes: one that is not valid UTF-8 is refused, never decoded
// with replacement characters (which would let any such password of the same
// length open the file).
TEST_F(QdbTest, PasswordsThatAreNotValidTextAreRefused) {
    CreateDocs({"--password", "中文"});
    Ok({"put", file, "Docs", "PID=1", "Name=x", "--password", "中文"});
    const std::vector<std::string> invalid = {
        "\xFF\xFF\xFF\xFF",  // what used to open this file
        "\xD6\xD0\xCE\xC4",  // "中文" typed in a GBK terminal
        "ab\xC3",            // cut in the middle of a character
        "\xED\xA0\x80",      // an encoded surrogate
    };
    for (const std::string& password : invalid) {
        for (const Args& args : {Args{"dump", file, "Docs", "--password", password},
                                 Args{"passwd", file, "--password", "中文", "--new", password}}) {
            const QdbResult r = Qdb(args);
            EXPECT_EQ(r.exitCode, 1) << args[0];
            EXPECT_NE(r.err.find("not valid text"), std::string::npos) << r.err;
            EXPECT_EQ(r.out, "");
        }
    }
    const std::string created = folder + "/new.qdb";
    EXPECT_EQ(Qdb({"create", created, "--password", "\xFF"}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(created));
    EXPECT_EQ(Ok({"dump", file, "Docs", "--password", "中文"}), "{\"ID\":1,\"PID\":1,\"Name\":\"x\",\"Txt\":\"\"}\n");
}

TEST_F(QdbTest, PasswdDecryptsAndEncryptsAgain) {
    CreateDocs({"--password", "old"});
    Ok({"put", file, "Docs", "PID=4", "Name=kept", "--password", "old"});
    const std::string rows = Ok({"dump", file, "Docs", "--password", "old"});
    Ok({"passwd", file, "--decrypt", "--password", "old"});
    EXPECT_EQ(Ok({"dump", file, "Docs"}), rows);
    EXPECT_NE(Ok({"info", file}).find("\"encrypted\":false"), std::string::npos);
    Ok({"passwd", file, "--new", "new"});
    EXPECT_EQ(Qdb({"dump", file, "Docs"}).exitCode, 1);
    EXPECT_EQ(Qdb({"dump", file, "Docs", "--password", "old"}).exitCode, 1);
    EXPECT_EQ(Ok({"dump", file, "Docs", "--password", "new"}), rows);
    EXPECT_NE(Ok({"info", file, "--password", "new"}).find("\"comment\":\"说明\""), std::string::npos);
}

TEST_F(QdbTest, CompactShrinksTheFileAndKeepsTheRecords) {
    CreateDocs();
    for (int i = 1; i <= 12; ++i)
        Put(i % 3, "n" + std::to_string(i), std::string(2000, 'a' + i));
    for (int id = 1; id <= 10; ++id)
        Ok({"del", file, "Docs", std::to_string(id)});
    const std::string rows = Ok({"dump", file, "Docs", "--index", "ByPID"});
    const auto before = fs::file_size(file);
    Ok({"compact", file});
    EXPECT_LT(fs::file_size(file), before);
    EXPECT_EQ(Ok({"dump", file, "Docs", "--index", "ByPID"}), rows);
    EXPECT_EQ(Ok({"verify", file}), "ok\n");
    Ok({"repair", file});
    EXPECT_EQ(Ok({"dump", file, "Docs", "--index", "ByPID"}), rows);
    EXPECT_EQ(Put(1, "after"), "13\n");  // numbering continues
}

// Offset of record r's item in the first record tab chunk of the first table.
int64_t RecordTabItem(const std::string& path, int r) {
    using namespace tomedb::format;
    const std::string bytes = ReadAll(path);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const int32_t header = GetI32(p + kTableDirectoryOffset + kDirOffsets);
    return GetI32(p + header + kTHRecTabOffset) + 4 + r * kRecordTabItemSize;
}

void Patch(const std::string& path, int64_t at, uint8_t value, bool flip) {
    std::fstream io(path, std::ios::in | std::ios::out | std::ios::binary);
    io.seekg(at);
    char old = 0;
    io.get(old);
    io.seekp(at);
    io.put(static_cast<char>(flip ? (static_cast<uint8_t>(old) ^ value) : value));
}

TEST_F(QdbTest, VerifyReportsDamageWithoutCrashing) {
    CreateDocs();
    for (int i = 1; i <= 6; ++i)
        Put(i, "n" + std::to_string(i), std::string(300, 'x'));
    EXPECT_EQ(Ok({"verify", file}), "ok\n");
    const std::string good = ReadAll(file);
    struct Case {
        const char* what;
        int64_t at;
        uint8_t value;
        bool flip;
    } cases[] = {
        {"delete flag", RecordTabItem(file, 2) + 4, 0x7f, false},
        {"offset high byte", RecordTabItem(file, 2) + 3, 0x40, true},
        {"offset low byte", RecordTabItem(file, 2), 0xff, true},
        {"offset middle byte", RecordTabItem(file, 3) + 1, 0xff, true},
    };
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << good;
        Patch(file, c.at, c.value, c.flip);
        QdbResult r = Qdb({"verify", file});
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_NE(r.out.find("table 'Docs', record"), std::string::npos) << c.what << ": " << r.out;
    }
    for (size_t keep : {good.size() - 200, good.size() / 2, size_t{3000}}) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << good.substr(0, keep);
        QdbResult r = Qdb({"verify", file});
        EXPECT_EQ(r.exitCode, 1) << keep;
        EXPECT_FALSE(r.out.empty() && r.err.empty()) << keep;
    }
}

TEST_F(QdbTest, BadUsageExitsTwo) {
    CreateDocs();
    const Args cases[] = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", file, "--bogus"},
        {"info", file, "--password"},
        {"dump", file},
        {"create", folder + "/x.qdb", "--level", "9"},
        {"create-table", file, "T", "A"},
        {"create-table", file, "T", "A:NoSuchType"},
        {"put", file, "Docs", "novalue"},
        {"passwd", file},
        {"count"},
    };
    for (const Args& args : cases) {
        QdbResult r = Qdb(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("usage: qdb"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(folder + "/x.qdb"));
}

TEST_F(QdbTest, CreateNeverOverwritesAFile) {
    CreateDocs();
    Put(1, "kept");
    QdbResult r = Qdb({"create", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("already exists"), std::string::npos);
    EXPECT_EQ(Ok({"dump", file, "Docs"}), "{\"ID\":1,\"PID\":1,\"Name\":\"kept\",\"Txt\":\"\"}\n");
}

TEST_F(QdbTest, CountAndPinyin) {
    const std::string text = folder + "/t.txt";
    std::ofstream(text, std::ios::binary) << "Hello world, 你好。\r\nagain";
    EXPECT_EQ(Ok({"count", text}), "{\"english\":3,\"chinese\":3}\n");
    EXPECT_EQ(Qdb({"count", folder + "/missing.txt"}).exitCode, 1);
    EXPECT_FALSE(Ok({"pinyin", "中"}).empty());
    EXPECT_EQ(Qdb({"pinyin"}).exitCode, 2);
}

}  // namespace
}  // namespace qdbtest
