// qdb grep and qdb replace run as a process over an encrypted library.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "QdbFolderTest.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// An encrypted library: "开头.txt" at the root, "卷二.txt" in folder 1.
class QdbSearchTest : public QdbFolderTest {
protected:
    void SetUp() override {
        QdbFolderTest::SetUp();
        library = folder + "/books.qdb";
        Ok({"create-library", folder + "/books", "--password", "pw"});
        Ok({"put", library, "DocFloder", "PID=0", "FloderName=卷", "--password", "pw"});
        Ok({"import", library, Write("开头.txt", "林黛玉进了贾府\nAnna 与 ａｎｎａ\n"), "--password", "pw"});
        Ok({"import", library, Write("卷二.txt", "ANNA 林黛玉，\U00020000林黛玉\n"), "--folder", "1", "--password",
            "pw"});
    }

    std::string library;
};

TEST_F(QdbSearchTest, GrepPrintsOneObjectPerHit) {
    const std::string first = "{\"id\":1,\"name\":\"开头\",\"line\":1,\"text\":\"林黛玉进了贾府\"}\n";
    const std::string second = "{\"id\":2,\"name\":\"卷二\",\"line\":1,\"text\":\"ANNA 林黛玉，\U00020000林黛玉\"}\n";
    const struct {
        Args options;
        std::string out;
    } cases[] = {
        {{"林黛玉"}, first + second + second},
        {{"\U00020000林", "--regex"}, second},
        {{"林黛玉", "--folder", "1"}, second + second},
        {{"anna"}, ""},
        {{"anna", "--ignore-case"},
         "{\"id\":1,\"name\":\"开头\",\"line\":2,\"text\":\"Anna 与 ａｎｎａ\"}\n" +
             std::string("{\"id\":2,\"name\":\"卷二\",\"line\":1,\"text\":\"ANNA 林黛玉，\U00020000林黛玉\"}\n")},
    };
    for (const auto& c : cases) {
        Args args{"grep", library};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"--password", "pw"});
        SCOPED_TRACE(c.options.front());
        EXPECT_EQ(Ok(args), c.out);
    }
}

TEST_F(QdbSearchTest, ReplacePrintsTheCountAndChangesTheTexts) {
    EXPECT_EQ(Ok({"replace", library, "林(黛)玉", "\\1玉儿", "--regex", "--password", "pw"}), "3\n");
    const std::string line = "{\"id\":2,\"name\":\"卷二\",\"line\":1,\"text\":\"ANNA 黛玉儿，\U00020000黛玉儿\"}\n";
    EXPECT_EQ(Ok({"grep", library, "黛玉儿", "--folder", "1", "--password", "pw"}), line + line);
    EXPECT_EQ(Ok({"grep", library, "林", "--password", "pw"}), "");
    EXPECT_EQ(Ok({"replace", library, "林", "木", "--password", "pw"}), "0\n");
}

TEST_F(QdbSearchTest, RefusalsAreErrors) {
    const struct {
        Args args;
        int exitCode;
        std::string err;  // a part of it
    } cases[] = {
        {{"grep", library, "(", "--regex", "--password", "pw"}, 1, "第 2 列"},
        {{"replace", library, "x?", "y", "--regex", "--password", "pw"}, 1, "空文本"},
        {{"grep", library, "林"}, 1, "Access denied"},
        {{"grep", library, "林", "--folder", "7", "--password", "pw"}, 1, "Folder 7 not found"},
        {{"replace", library, "林"}, 2, "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const QdbResult r = RunQdb(folder, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    fs::permissions(library, fs::perms::owner_read);
    const QdbResult r = RunQdb(folder, {"replace", library, "林", "木", "--password", "pw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("只读"), std::string::npos) << r.err;
    fs::permissions(library, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Ok({"grep", library, "木", "--password", "pw"}), "");
}

}  // namespace
}  // namespace qdbtest
