// Shared fixture of the dataset tests: a fresh folder per test and a small
// library-like database ("Docs": ID auto-increment, PID, DocName, dates, a
// memo; index "ByPID" on PID).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tomedb/TomeDB.h"

namespace dstest {

using namespace tomedb;

inline std::string MakeTempFolder() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/dataset-test.XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

inline std::vector<TTomeFieldItem> DocsFields() {
    return {MakeFieldItem("ID", ftAutoInc, 0, 1),        MakeFieldItem("PID", ftInteger, 0, 1),
            MakeFieldItem("DocName", ftString, 100, 0),  MakeFieldItem("DocCDate", ftDate, 0, 1),
            MakeFieldItem("DocMDate", ftDateTime, 0, 1), MakeFieldItem("Txt", ftMemo, 0, 0),
            MakeFieldItem("Flag", ftBoolean, 0, 1)};
}

class DatasetFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder = MakeTempFolder();
        path = folder + "/lib.qdb";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Creates the database file with table Docs and index ByPID.
    void CreateDocsDatabase(bool encrypt = false, const std::string& password = std::string()) {
        TTomeDatabase creator;
        ASSERT_TRUE(creator.CreateDatabase(path, true, 1, "zLIB", encrypt, "blowfish", password, false));
        creator.SetDatabaseName(path);
        creator.Open();
        if (encrypt)
            creator.SetPassword(password);
        ASSERT_TRUE(creator.CreateTable("Docs", DocsFields()));
        ASSERT_TRUE(creator.CreateIndex("Docs", "ByPID", 0, {"PID"}));
        creator.Close();
    }

    // Appends one record through an open table.
    static int64_t AddDoc(TTomeTable& table, int pid, const std::string& name,
                          const std::string& text = std::string()) {
        table.Append();
        table.FieldByName("PID").SetAsInteger(pid);
        table.FieldByName("DocName").SetAsString(name);
        if (!text.empty())
            table.FieldByName("Txt").SetAsString(text);
        table.Post();
        return table.FieldByName("ID").AsInteger();
    }

    std::string folder;
    std::string path;
};

}  // namespace dstest
