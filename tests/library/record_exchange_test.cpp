// TRecordExchange over a real library, with a store that fails where a disk
// or a damaged record would.
#include "LibraryFixture.h"
#include "library/RecordExchange.h"
#include "platform/TextCodec.h"
#include "tomedb/dataset/TomeVariant.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace {

// The library, failing the appends from the failAt-th on (a full disk) and
// the reads of one record (a damaged manuscript).
class TFaultyStore : public TRecordStore {
public:
    explicit TFaultyStore(TqlvDocData& data) : data_(data) {}
    int failAt = 0;     // 0: never
    int damagedID = 0;  // 0: none
    int AddRecord(int folderID, const TDocAttr& attr) override {
        if (failAt && ++appends_ >= failAt)
            throw std::runtime_error("Disk full");
        return data_.AddRecord(folderID, attr);
    }
    void ReadRecord(int id, TDocAttr& attr) override {
        if (id == damagedID)
            throw std::runtime_error("Record damaged");
        data_.ReadRecord(id, attr);
    }
    void RemoveRecords(const QList<int>& ids) override { data_.RemoveRecords(ids); }
    std::unique_ptr<tomedb::TTomeWriteBatch> BeginWrites() override { return data_.BeginWrites(); }

private:
    TqlvDocData& data_;
    int appends_ = 0;
};

class RecordExchangeTest : public LibraryTest {
protected:
    TImportFile File(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return {QFile::encodeName(Path(name))};
    }
};

// A failure while storing removes what the run stored: a retry does not
// duplicate anything.
TEST_F(RecordExchangeTest, ImportThatFailsMidwayStoresNothing) {
    TFaultyStore store(data);
    store.failAt = 3;
    TRecordExchange exchange(store);
    const QList<TImportFile> files{File("a.txt", "a"), File("b.txt", "b"), File("c.txt", "c")};
    EXPECT_THROW(exchange.Import(files, 0), std::runtime_error);
    EXPECT_TRUE(data.LoadDocList(0).empty());
}

// An imported manuscript is made today and shows its real size and counts
// at once, in the list and in its attributes, as a saved one does.
TEST_F(RecordExchangeTest, ImportedManuscriptIsDatedTodayWithItsCounts) {
    TRecordExchange exchange(data);
    const QString text = QStringLiteral("春眠不觉晓 two words\r\n处处闻啼鸟");
    const TImportTally tally = exchange.Import({File("诗.txt", ToGB(text))}, 0);
    ASSERT_TRUE(tally.Succeeded());
    ASSERT_EQ(tally.stored.size(), 1);
    TDocAttr attr;
    data.GetDocAttr(tally.stored[0].id, attr);
    EXPECT_EQ(attr.DocCDate, tomedb::Today());
    EXPECT_EQ(attr.DocMDate, tomedb::Today());
    EXPECT_EQ(attr.cnCount, "10");
    EXPECT_EQ(attr.enCount, "2");
    EXPECT_EQ(attr.DocSize, QString::number(ToGB(attr.Txt).size()));
    EXPECT_EQ(data.LoadDocList(0)[0].SubItems, (QStringList{"0", "0"}));
}

TEST_F(RecordExchangeTest, CancelledImportStoresNothing) {
    TRecordExchange exchange(data);
    exchange.SetProgress([](int done, int, const QString&) { return done < 1; });
    const TImportTally tally = exchange.Import({File("a.txt", "a"), File("b.txt", "b")}, 0);
    EXPECT_TRUE(tally.cancelled);
    EXPECT_TRUE(tally.stored.isEmpty());
    EXPECT_TRUE(data.LoadDocList(0).empty());
}

// One damaged manuscript is named; the others are still written.
TEST_F(RecordExchangeTest, DamagedRecordDoesNotStopExport) {
    const int first = data.AddDoc(0, Imported(QStringLiteral("甲"), QStringLiteral("一")));
    const int damaged = data.AddDoc(0, Imported(QStringLiteral("坏"), QStringLiteral("二")));
    const int last = data.AddDoc(0, Imported(QStringLiteral("乙"), QStringLiteral("三")));
    TFaultyStore store(data);
    store.damagedID = damaged;
    TRecordExchange exchange(store);
    const QString out = Path("out");
    QDir().mkpath(out);
    const TExportTally tally = exchange.Export({first, damaged, last}, out);
    ASSERT_EQ(tally.written.size(), 2);
    EXPECT_EQ(tally.written[0].name, QStringLiteral("甲"));
    EXPECT_EQ(tally.written[1].name, QStringLiteral("乙"));
    ASSERT_EQ(tally.failures.size(), 1);
    EXPECT_EQ(tally.failures[0].fault, TExchangeFault::Damaged);
    EXPECT_EQ(tally.failures[0].detail, QStringLiteral("Record damaged"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);
}

// What an import recognises as text, and what it refuses.
TEST(ImportedTextTest, RecognisesEncodingsAndRefusesBinaries) {
    const struct {
        const char* label;
        QByteArray bytes;
        std::optional<QString> text;
    } cases[] = {
        {"GB18030", QByteArray("\xC4\xE3\xBA\xC3"), QStringLiteral("你好")},
        {"UTF-8", QByteArray("\xE4\xBD\xA0"), QStringLiteral("你")},
        {"UTF-16 LE without mark", QByteArray("a\0\x60\x4F", 4), QStringLiteral("a你")},
        {"UTF-16 BE without mark", QByteArray("\0a\x4F\x60", 4), QStringLiteral("a你")},
        {"UTF-16 LE with mark",
         QByteArray("\xFF\xFE"
                    "a\0",
                    4),
         QStringLiteral("a")},
        {"NUL bytes on both sides", QByteArray("\0\0ab", 4), std::nullopt},
        {"NUL in an odd length", QByteArray("a\0b", 3), std::nullopt},
        {"invalid everywhere", QByteArray("\x80\xFF"), std::nullopt},
        {"empty", QByteArray(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeImportedText(c.bytes), c.text) << c.label;
}

}  // namespace
