// qdb stats and qdb history on a library whose manuscripts were saved through
// the application's save path; the library that gained the new tables still
// passes qdb verify.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "QdbProcess.h"
#include "library/ManuscriptSaves.h"

namespace qdbtest {
namespace {

using Args = std::vector<std::string>;

class QdbWritingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path().toStdString();
        QString name;
        ASSERT_TRUE(data.CreateDocData(dir.path() + "/books", QString(), "pw", true, true, false, 2, &name));
        ASSERT_TRUE(data.OpenDocData(name, [] { return QStringLiteral("pw"); }));
        library = name.toStdString();
        // Saved yesterday at noon: still inside --days 3 should midnight pass meanwhile.
        day = std::floor(tomedb::Now()) - 1;
        TManuscriptSaves saves(data, [this] { return clock; });
        doc = data.NewDoc(0).ID;
        for (const auto& [minutes, text] :
             {std::pair{0, "春眠"}, std::pair{10, "春眠不觉晓"}, std::pair{20, "处处闻啼鸟 birds"}}) {
            clock = day + 0.5 + minutes / 1440.0;
            const QString t = QString::fromUtf8(text);
            TDocAttr attr;
            attr.Txt = t;
            attr.cnCount = QString::number(t.count(QRegularExpression("[\\x{4e00}-\\x{9fff}]")));
            attr.enCount = t.contains("birds") ? "1" : "0";
            saves.Save(doc, attr, {60, false, true});
        }
        data.CloseDocData();
    }
    std::string Ok(const Args& args) {
        QdbResult r = RunQdb(folder, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    QTemporaryDir dir;
    TqlvDocData data;
    std::string folder, library;
    double day = 0, clock = 0;
    int doc = 0;
};

TEST_F(QdbWritingTest, StatsPrintsOneObjectADayNewestLast) {
    const std::string out = Ok({"stats", library, "--days", "3", "--password", "pw"});
    const std::string row =
        "{\"day\":\"" + TWriteLog::DayText(int(day)).toStdString() + "\",\"chars\":5,\"words\":1,\"seconds\":180}\n";
    EXPECT_NE(out.find(row), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
    EXPECT_NE(RunQdb(folder, {"stats", library}).exitCode, 0);  // no password, no figures
}

TEST_F(QdbWritingTest, HistoryListsVersionsAndShowsOne) {
    const std::string docID = std::to_string(doc);
    const std::string list = Ok({"history", library, docID, "--password", "pw"});
    EXPECT_NE(list.find("{\"n\":1,\"saved\":"), std::string::npos) << list;
    EXPECT_NE(list.find(",\"chars\":5}\n{\"n\":2,"), std::string::npos) << list;
    EXPECT_EQ(Ok({"history", library, docID, "--show", "2", "--password", "pw"}), "春眠");
    EXPECT_EQ(RunQdb(folder, {"history", library, docID, "--show", "9", "--password", "pw"}).exitCode, 1);
    EXPECT_EQ(Ok({"history", library, "999", "--password", "pw"}), "");
}

TEST_F(QdbWritingTest, ALibraryWithTheNewTablesPassesVerify) { Ok({"verify", library, "--password", "pw"}); }

}  // namespace
}  // namespace qdbtest
