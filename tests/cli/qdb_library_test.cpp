// The library commands of qdb run as a process: create-library, import,
// tree and export through the library data layer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "QdbProcess.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class QdbLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdb-lib-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        library = folder + "/books.qdb";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Ok(const Args& args) {
        QdbResult r = RunQdb(folder, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string folder;
    std::string library;
};

TEST_F(QdbLibraryTest, ImportTreeAndExportThroughTheLibraryLayer) {
    EXPECT_EQ(Ok({"create-library", folder + "/books", "--password", "pw", "--comment", "书"}),
              library + "\n");
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
        Ok({"put", library, "Docs", "PID=0", std::string("DocName=") + name,
            "Txt=text " + std::to_string(++n)});
    const std::string out = folder + "/out";
    Ok({"export", library, out});
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(out)) files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"a_b.txt", "...txt", "同名.txt"}));
    EXPECT_FALSE(fs::exists(folder + "/b.txt"));
    EXPECT_EQ(ReadAll(out + "/同名.txt"), "text 4");  // one file, the one exported last
    EXPECT_EQ(ReadAll(out + "/a_b.txt"), "text 1");
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
    };
    for (const Case& c : cases) {
        QdbResult r = RunQdb(folder, c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args[0];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_NE(Ok({"tree", library, "--password", "pw"}).find("\"docs\":[]"), std::string::npos);
}

}  // namespace
}  // namespace qdbtest
