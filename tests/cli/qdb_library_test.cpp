// The library commands of qdb run as a process: create-library, import,
// tree and export through the library data layer.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "QdbFolderTest.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class QdbLibraryTest : public QdbFolderTest {
protected:
    void SetUp() override {
        QdbFolderTest::SetUp();
        library = folder + "/books.qdb";
    }

    std::string library;
};

TEST_F(QdbLibraryTest, ImportTreeAndExportThroughTheLibraryLayer) {
    EXPECT_EQ(Ok({"create-library", folder + "/books", "--password", "pw", "--comment", "书"}), library + "\n");
    // UTF-8 with bare LF, and GB18030 ("第二章" / "你好") with CR LF.
    const std::string one = Write("第一章.txt", "开头\nend\n");
    const std::string two = Write("第二章.txt", "\xC4\xE3\xBA\xC3\r\n");
    EXPECT_EQ(Ok({"import", library, one, two, "--password", "pw"}),
              "{\"id\":1,\"name\":\"第一章\"}\n{\"id\":2,\"name\":\"第二章\"}\n");
    EXPECT_EQ(Ok({"tree", library, "--password", "pw"}),
              "{\"id\":0,\"name\":\"稿件夹\",\"children\":[],\"docs\":[{\"id\":1,\"name\":"
              "\"第一章\"},{\"id\":2,\"name\":\"第二章\"}]}\n");
    const std::string out = folder + "/out";
    Ok({"export", library, out, "--password", "pw"});
    // GB18030 with CR LF: "开头" is BF AA CD B7.
    EXPECT_EQ(ReadAll(out + "/第一章.txt"), "\xBF\xAA\xCD\xB7\r\nend\r\n");
    EXPECT_EQ(ReadAll(out + "/第二章.txt"), "\xC4\xE3\xBA\xC3\r\n");
}

TEST_F(QdbLibraryTest, ExportNamesStayInsideTheFolder) {
    Ok({"create-library", library});
    int n = 0;
    for (const char* name : {"a/b", "..", "同名", "同名"})
        Ok({"put", library, "Docs", "PID=0", std::string("DocName=") + name, "Txt=text " + std::to_string(++n)});
    const std::string out = folder + "/out";
    Ok({"export", library, out});
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(out))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"a_b.txt", "...txt", "同名.txt", "同名 (2).txt"}));
    EXPECT_FALSE(fs::exists(folder + "/b.txt"));
    EXPECT_EQ(ReadAll(out + "/同名.txt"), "text 3");
    EXPECT_EQ(ReadAll(out + "/同名 (2).txt"), "text 4");
    EXPECT_EQ(ReadAll(out + "/a_b.txt"), "text 1");
}

// Every record of an export lands in a file of its own, whatever its name.
TEST_F(QdbLibraryTest, ExportKeepsEveryRecordInAFileOfItsOwn) {
    Ok({"create-library", library});
    const std::string longChinese = [] {
        std::string s;
        for (int i = 0; i < 100; ++i)
            s += "长";
        return s;
    }();
    const char* names[] = {"x/y", "x_y", "新建稿件", "新建稿件", "新建稿件", "新建稿件 (2)"};
    std::vector<std::string> all(std::begin(names), std::end(names));
    all.push_back(longChinese);
    all.push_back(longChinese);
    for (size_t i = 0; i < all.size(); ++i)
        Ok({"put", library, "Docs", "PID=0", "DocName=" + all[i], "Txt=text " + std::to_string(i + 1)});
    const std::string out = folder + "/out";
    const std::string printed = Ok({"export", library, out});
    std::map<std::string, std::string> contents;  // file name -> text
    for (const auto& entry : fs::directory_iterator(out))
        contents[entry.path().filename().string()] = ReadAll(entry.path().string());
    ASSERT_EQ(contents.size(), all.size());
    std::set<std::string> texts;
    for (const auto& [name, text] : contents) {
        texts.insert(text);
        EXPECT_LE(name.size() + 11, 255u) << name;  // room for the temporary suffix
        EXPECT_NE(printed.find(out + "/" + name), std::string::npos) << name;
    }
    EXPECT_EQ(texts.size(), all.size());  // nothing overwritten
    EXPECT_EQ(contents["x_y.txt"], "text 1");
    EXPECT_EQ(contents["x_y (2).txt"], "text 2");
    EXPECT_EQ(contents["新建稿件 (3).txt"], "text 5");
    // A record really called "新建稿件 (2)" comes after the generated name.
    EXPECT_EQ(contents["新建稿件 (2) (2).txt"], "text 6");
    // Long names are cut between characters: the shortened names are still UTF-8.
    for (const auto& [name, text] : contents) {
        if (name.size() > 200)
            EXPECT_EQ(name.rfind("长长", 0), 0u) << name;
    }
}

TEST_F(QdbLibraryTest, ExportReplacesALinkInsteadOfWritingThroughIt) {
    Ok({"create-library", library});
    Ok({"put", library, "Docs", "PID=0", "DocName=链接", "Txt=new"});
    const std::string outside = Write("outside.txt", "keep me");
    const std::string out = folder + "/out";
    fs::create_directories(out);
    fs::create_symlink(outside, out + "/链接.txt");
    Ok({"export", library, out});
    EXPECT_EQ(ReadAll(outside), "keep me");
    EXPECT_FALSE(fs::is_symlink(out + "/链接.txt"));
    EXPECT_EQ(ReadAll(out + "/链接.txt"), "new");
}

TEST_F(QdbLibraryTest, OneFailedFileDoesNotStopTheExport) {
    Ok({"create-library", library});
    for (const char* name : {"甲", "坏", "乙"})
        Ok({"put", library, "Docs", "PID=0", std::string("DocName=") + name, std::string("Txt=") + name});
    const std::string out = folder + "/out";
    fs::create_directories(out + "/坏.txt/inside");  // a folder stands where the file should go
    QdbResult r = RunQdb(folder, {"export", library, out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Not exported (1 of 3): '坏'"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(out + "/甲.txt"), "\xBC\xD7");  // GB18030
    EXPECT_EQ(ReadAll(out + "/乙.txt"), "\xD2\xD2");
    EXPECT_NE(r.out.find("乙.txt"), std::string::npos);
}

// A non-ASCII password keys the file the same way in every command and in the
// library layer.
TEST_F(QdbLibraryTest, ChinesePasswordWorksAcrossToolAndLibraryLayer) {
    Ok({"create-library", library, "--password", "密码"});
    Ok({"put", library, "Docs", "PID=0", "DocName=甲", "--password", "密码"});
    EXPECT_EQ(Ok({"verify", library, "--password", "密码"}), "ok\n");
    Ok({"passwd", library, "--password", "密码", "--new", "新密码"});
    EXPECT_NE(Ok({"tree", library, "--password", "新密码"}).find("\"name\":\"甲\""), std::string::npos);
    EXPECT_EQ(RunQdb(folder, {"tree", library, "--password", "密码"}).exitCode, 1);

    const std::string plain = folder + "/plain.qdb";
    Ok({"create", plain, "--password", "中文", "--comment", "注"});
    Ok({"create-table", plain, "T", "ID:AutoInc", "--password", "中文"});
    EXPECT_EQ(Ok({"verify", plain, "--password", "中文"}), "ok\n");
    EXPECT_NE(Ok({"info", plain, "--password", "中文"}).find("\"comment\":\"注\""), std::string::npos);
    Ok({"compact", plain, "--password", "中文"});
    EXPECT_EQ(Ok({"dump", plain, "T", "--password", "中文"}), "");
}

TEST_F(QdbLibraryTest, RefusalsAreErrors) {
    Ok({"create-library", library, "--password", "pw"});
    const std::string text = Write("x.txt", "x");
    struct Case {
        Args args;
        std::string message;
    } cases[] = {
        {{"tree", library}, "Access denied"},
        {{"tree", library, "--password", "bad"}, "Access denied"},
        {{"import", library, text, "--folder", "42", "--password", "pw"}, "Folder 42 not found"},
        {{"import", library, folder + "/none.txt", "--password", "pw"}, "Cannot open file"},
        {{"create-library", library}, "稿件库已经存在！"},
        {{"tree", folder + "/none.qdb"}, "not found"},
        // Bytes that are not text would all become U+FFFD: any such password
        // of the same length would open the library.
        {{"tree", library, "--password", "\xFF\xFF"}, "not valid text in the terminal's encoding"},
        {{"create-library", folder + "/other", "--password", "\xFF\xFF"}, "not valid text in the terminal's encoding"},
    };
    for (const Case& c : cases) {
        QdbResult r = RunQdb(folder, c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args[0];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_NE(Ok({"tree", library, "--password", "pw"}).find("\"docs\":[]"), std::string::npos);
}

// Import checks every file before it stores any: one file that cannot be
// imported stores nothing and exits 1, naming the file.
TEST_F(QdbLibraryTest, ImportIsAllOrNothing) {
    Ok({"create-library", library});
    const std::string good = Write("good.txt", "text");
    const std::string fifo = folder + "/pipe.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string binary = Write("tool.txt", std::string("\x7F"
                                                             "ELF\x02\x01\x00\x00\x00\x01\x02",
                                                             11));
    const std::string invalid = Write("bad.txt", "\xFF\xFF\x80\x80");  // neither UTF-8 nor GB18030
    struct Case {
        std::string file;
        std::string message;
    } cases[] = {
        {folder + "/none.txt", "Cannot open file '" + folder + "/none.txt'"},
        {fifo, "Refused '" + fifo + "': not a regular file"},
        {folder, "Refused '" + folder + "': not a regular file"},
        {binary, "Refused '" + binary + "': not a text file"},
        {invalid, "Refused '" + invalid + "': not a text file"},
    };
    for (const Case& c : cases) {
        QdbResult r = RunQdb(folder, {"import", library, good, c.file});
        EXPECT_EQ(r.exitCode, 1) << c.file;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.file;
    }
    EXPECT_NE(Ok({"tree", library}).find("\"docs\":[]"), std::string::npos);
    // count refuses a FIFO instead of waiting for a writer.
    QdbResult count = RunQdb(folder, {"count", fifo});
    EXPECT_EQ(count.exitCode, 1);
    EXPECT_NE(count.err.find("not a regular file"), std::string::npos) << count.err;
}

// Names and texts in the encodings found in archives made elsewhere.
TEST_F(QdbLibraryTest, ImportReadsForeignNamesAndUtf16WithoutMark) {
    Ok({"create-library", library});
    // "第一章" in GBK as the file name: not valid UTF-8.
    const std::string gbkName = Write("\xB5\xDA\xD2\xBB\xD5\xC2.txt", "gbk");
    // "Hi 你" in UTF-16 without a byte-order mark.
    const std::string le = Write("le.txt", std::string("H\0i\0 \0\x60\x4F", 8));
    const std::string be = Write("be.txt", std::string("\0H\0i\0 \x4F\x60", 8));
    EXPECT_EQ(Ok({"import", library, gbkName, le, be}),
              "{\"id\":1,\"name\":\"第一章\"}\n{\"id\":2,\"name\":\"le\"}\n{\"id\":3,\"name\":\"be\"}\n");
    const std::string out = folder + "/out";
    Ok({"export", library, out});
    EXPECT_EQ(ReadAll(out + "/第一章.txt"), "gbk");
    EXPECT_EQ(ReadAll(out + "/le.txt"), "Hi \xC4\xE3");  // GB18030 "你"
    EXPECT_EQ(ReadAll(out + "/be.txt"), "Hi \xC4\xE3");
}

}  // namespace
}  // namespace qdbtest
