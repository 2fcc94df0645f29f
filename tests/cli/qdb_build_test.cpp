// qdb build as a process: a book of the library or one folder in the format
// its extension names; bad input (an unknown extension, a folder that cannot
// be written, a full disk, a wrong password) gives a message, a non-zero exit
// and no file under the name.
#include <filesystem>
#include <random>

#include "QdbFolderTest.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class QdbBuildTest : public QdbFolderTest {
protected:
    void SetUp() override {
        QdbFolderTest::SetUp();
        library = folder + "/books.qdb";
        out = folder + "/out";
        fs::create_directory(out);
    }

    // Two manuscripts at the root, and 第二部 (ID 1) with one of its own.
    void MakeLibrary(const Args& password = {}) {
        Args create{"create-library", library};
        create.insert(create.end(), password.begin(), password.end());
        Ok(create);
        Args import{"import", library, Write("乙.txt", "乙的正文\n"), Write("甲.txt", "甲的正文\n")};
        import.insert(import.end(), password.begin(), password.end());
        Ok(import);
        Args put{"put", library, "DocFloder", "PID=0", "FloderName=第二部"};
        put.insert(put.end(), password.begin(), password.end());
        Ok(put);
        Args inFolder{"import", library, Write("丙.txt", "丙的正文\n"), "--folder", "1"};
        inFolder.insert(inFolder.end(), password.begin(), password.end());
        Ok(inFolder);
    }
    std::vector<std::string> OutFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string library, out;
};

TEST_F(QdbBuildTest, BooksOfTheLibraryAndOfAFolder) {
    MakeLibrary();
    const std::string md = out + "/全书.md";
    EXPECT_EQ(Ok({"build", library, md, "--title", "全书", "--author", "某人"}),
              "{\"file\":\"" + md + "\",\"parts\":1,\"chapters\":3}\n");
    EXPECT_EQ(ReadAll(md),
              "# 全书\n\n某人\n\n## 乙\n\n　　乙的正文\n\n## 甲\n\n　　甲的正文\n\n"
              "## 第二部\n\n### 丙\n\n　　丙的正文\n\n");
    // A folder by name or by ID; its name is the default title.
    for (const std::string& which : {"第二部", "1"}) {
        const std::string part = out + "/part.md";
        Ok({"build", library, part, "--folder", which});
        EXPECT_EQ(ReadAll(part), "# 第二部\n\n## 丙\n\n　　丙的正文\n\n") << which;
    }
    for (const char* extension : {".epub", ".docx", ".odt", ".html", ".txt", ".pdf"}) {
        const std::string book = out + "/book" + extension;
        Ok({"build", library, book});
        const std::string bytes = ReadAll(book);
        EXPECT_GT(bytes.size(), 20u) << extension;
        if (std::string(extension) == ".pdf")
            EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    }
}

TEST_F(QdbBuildTest, EncryptedLibraryNeedsItsPassword) {
    MakeLibrary({"--password", "芝麻"});
    const std::string book = out + "/book.md";
    QdbResult wrong = RunQdb(folder, {"build", library, book, "--password", "错"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err, "Access denied\n");
    EXPECT_FALSE(fs::exists(book));
    Ok({"build", library, book, "--password", "芝麻"});
    EXPECT_NE(ReadAll(book).find("　　丙的正文"), std::string::npos);
}

TEST_F(QdbBuildTest, BadInputLeavesNoFile) {
    MakeLibrary();
    // Text no compression shrinks much: random CJK characters.
    std::mt19937 random(7);
    std::string big;
    for (int i = 0; i < 60000; ++i) {
        const char32_t c = 0x4E00 + random() % 0x5000;
        big += static_cast<char>(0xE0 | (c >> 12));
        big += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        big += static_cast<char>(0x80 | (c & 0x3F));
        if (i % 50 == 49)
            big += "\n";
    }
    Ok({"import", library, Write("大.txt", big)});
    const std::string fileName = out + "/book";
    Write("not-a-folder", "x");
    struct Case {
        const char* what;
        Args args;
        QdbLimits limits;
        std::string message;
    };
    const Case cases[] = {
        {"unknown extension", {"build", library, fileName + ".xyz"}, {}, "无法识别“book.xyz”的书稿格式"},
        {"no extension", {"build", library, fileName}, {}, "无法识别“book”的书稿格式"},
        {"folder missing", {"build", library, folder + "/no/such/book.epub"}, {}, "无法在"},
        {"folder is a file", {"build", library, folder + "/not-a-folder/book.epub"}, {}, "无法在"},
        {"unknown folder", {"build", library, fileName + ".epub", "--folder", "无此夹"}, {}, "not found"},
        {"full disk (epub)", {"build", library, fileName + ".epub"}, {64 * 1024}, "无法写入书稿"},
        {"full disk (docx)", {"build", library, fileName + ".docx"}, {64 * 1024}, "无法写入书稿"},
        {"full disk (text)", {"build", library, fileName + ".txt"}, {64 * 1024}, "无法写入书稿"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QdbResult r = RunQdb(folder, c.args, c.limits);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(OutFiles().empty()) << OutFiles().front();
    }
    EXPECT_FALSE(fs::exists(folder + "/no"));
}

TEST_F(QdbBuildTest, AmbiguousFolderNameAsksForAnID) {
    MakeLibrary();
    Ok({"put", library, "DocFloder", "PID=1", "FloderName=第二部"});
    const QdbResult r = RunQdb(folder, {"build", library, out + "/b.md", "--folder", "第二部"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Folder name '第二部' is ambiguous (IDs 1, 2); give an ID\n");
    EXPECT_TRUE(OutFiles().empty());
}

}  // namespace
}  // namespace qdbtest
