// Library files: naming, creation, schema, opening with and without a
// password, closing, attributes, maintenance and the registry list.
#include "LibraryFixture.h"

#include "support/TempHome.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct NameCase {
    const char* given;
    const char* created;
};

class LibraryNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(LibraryNames, CreatesTheExpectedFile) {
    QTemporaryDir dir;
    TqlvDocData data;
    QString created;
    ASSERT_TRUE(data.CreateDocData(dir.path() + "/" + QString::fromUtf8(GetParam().given), {}, {}, true, false, false,
                                   2, &created));
    EXPECT_EQ(created, dir.path() + "/" + QString::fromUtf8(GetParam().created));
    EXPECT_TRUE(QFileInfo::exists(created));
    EXPECT_TRUE(data.OpenDocData(created));
}

INSTANTIATE_TEST_SUITE_P(Names, LibraryNames,
                         ::testing::Values(NameCase{"abc", "abc.qdb"}, NameCase{"abc.qdb", "abc.qdb"},
                                           NameCase{"abc.qdb.old", "abc.qdb.old"}, NameCase{"abc.QDB", "abc.QDB.qdb"},
                                           NameCase{"小说", "小说.qdb"}));

TEST(LibraryCreate, RelativeNameIsTakenFromTheCurrentFolder) {
    QTemporaryDir dir;
    TqlvDocData data;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    QString created;
    const bool ok = data.CreateDocData(QStringLiteral("相对"), {}, {}, true, false, true, 0, &created);
    QDir::setCurrent(before);
    ASSERT_TRUE(ok);
    EXPECT_EQ(created, QDir(dir.path()).absoluteFilePath(QStringLiteral("相对.qdb")));
    ASSERT_TRUE(data.OpenDocData(created));
    TDBAttr attr;
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.CompressLevel, QStringLiteral("最快"));
}

TEST(LibraryCreate, EmptyNameIsRefused) {
    TqlvDocData data;
    QString caption;
    int icon = 0;
    EXPECT_EQ(UserErrorOf([&] { data.CreateDocData(QString(), {}, {}, true, false, false, 2); }, &caption, &icon),
              QStringLiteral("稿件库名称不能为空！"));
    EXPECT_EQ(caption, QStringLiteral("新建稿件库"));
    EXPECT_EQ(icon, 1);
    EXPECT_FALSE(data.Opened());
}

TEST(LibraryCreate, ExistingFileIsRefusedAndKept) {
    QTemporaryDir dir;
    TqlvDocData data;
    const QString path = dir.path() + "/old.qdb";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a library");
    file.close();
    int icon = 0;
    EXPECT_EQ(
        UserErrorOf([&] { data.CreateDocData(dir.path() + "/old", {}, {}, true, false, false, 2); }, nullptr, &icon),
        QStringLiteral("稿件库已经存在！"));
    EXPECT_EQ(icon, 2);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a library"));
}

TEST(LibraryCreate, LevelIndexMapsToEngineLevel) {
    const int expected[][2] = {{0, 3}, {1, 2}, {2, 1}, {3, 0}, {-1, 1}, {4, 1}};
    for (const auto& pair : expected)
        EXPECT_EQ(TqlvDocData::CompressLevelOf(pair[0]), pair[1]) << pair[0];
}

// The library file as another reader of it sees it: its database and tables.
struct TLibraryFileTables {
    explicit TLibraryFileTables(const QString& file) {
        const std::string path = file.toStdString();
        db.SetDatabaseName(path);
        db.Open();
        const char* names[] = {"Docs", "DocFloder", "DocMark", "Pics"};
        for (int i = 0; i < 4; ++i) {
            tables[i].SetDatabaseName(path);
            tables[i].SetTableName(names[i]);
            tables[i].Open();
        }
    }
    ~TLibraryFileTables() {
        for (tomedb::TTomeTable& table : tables)
            table.Close();
        db.Close();
    }
    tomedb::TTomeDatabase db;
    tomedb::TTomeTable tables[4];  // Docs, DocFloder, DocMark, Pics
};

TEST_F(LibraryTest, NewLibraryHasFourEmptyTablesAndTwoIndexes) {
    data.CloseDocData();
    TLibraryFileTables reader(file);
    std::vector<std::string> names;
    reader.db.GetTableNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Docs", "DocFloder", "Docmark", "Pics"}));
    for (const tomedb::TTomeTable& table : reader.tables)
        EXPECT_EQ(table.RecordCount(), 0);
    auto hasIndex = [](const tomedb::TTomeTable& table, const std::string& name, const std::string& fields) {
        for (const auto& def : table.IndexDefs())
            if (def.Name == name)
                return def.Fields == fields && (def.Options & tomedb::ixPrimary) == 0;
        return false;
    };
    EXPECT_TRUE(hasIndex(reader.tables[1], "ByParentID", "PID"));
    EXPECT_TRUE(hasIndex(reader.tables[2], "ByParnetID", "markParent"));
    const auto& fields = reader.tables[0].FieldDefs();
    ASSERT_EQ(fields.size(), 15u);
    EXPECT_EQ(fields[3].Name, "DocName");
    EXPECT_EQ(fields[3].Size, 255);
    EXPECT_EQ(fields[14].DataType, tomedb::ftMemo);
}

TEST_F(LibraryTest, FreshLibraryAttributes) {
    TDBAttr attr;
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.FileName, file);
    EXPECT_EQ(attr.Size, QString::number(QFileInfo(file).size()) + QStringLiteral(" 字节"));
    EXPECT_EQ(attr.Comment, QStringLiteral("测试库"));
    EXPECT_EQ(attr.FolderCount, "0");
    EXPECT_EQ(attr.DocCount, "0");
    EXPECT_EQ(attr.PicCount, "0");
    EXPECT_EQ(attr.MarkCount, "0");
    EXPECT_FALSE(attr.FileDate.isEmpty());
    EXPECT_EQ(attr.Compressed, QStringLiteral("是"));
    EXPECT_EQ(attr.CompressLevel, QStringLiteral("标准"));
    EXPECT_EQ(attr.Encrypted, QStringLiteral("否"));
    EXPECT_FALSE(data.IsEncrypted());
}

TEST_F(LibraryTest, AttributeCountsIgnoreFilters) {
    const int folder = data.AddFolder(0, "a");
    data.AddFolder(folder, "b");
    const int doc = NewDocNamed(folder, "d");
    AddMarkTo(doc, "m");
    data.LoadDocList(12345);  // leaves Docs filtered on an empty folder
    TDBAttr attr;
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.FolderCount, "2");
    EXPECT_EQ(attr.DocCount, "1");
    EXPECT_EQ(attr.MarkCount, "1");
    data.SetDocDataComment(QStringLiteral("新的描述"));
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.Comment, QStringLiteral("新的描述"));
}

TEST_F(LibraryTest, MissingPathKeepsOpenLibrary) {
    const int folder = data.AddFolder(0, "kept");
    EXPECT_FALSE(data.OpenDocData(Path("nothing.qdb")));
    EXPECT_TRUE(data.Opened());
    EXPECT_EQ(data.GetDocDataName(), file);
    EXPECT_EQ(data.LoadFolderTree().Children.at(0).ID, folder);
}

TEST_F(LibraryTest, FileThatIsNoLibraryRaisesAndLeavesNothingOpen) {
    QFile junk(Path("junk.qdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_THROW(data.OpenDocData(junk.fileName()), tomedb::EDatabaseError);
    EXPECT_FALSE(data.Opened());
    EXPECT_TRUE(data.GetDocDataName().isEmpty());
    EXPECT_TRUE(data.OpenDocData(file));  // and the next open works
}

// Where table `name`'s header lies in a closed library file.
int64_t TableHeaderAt(const QString& file, const std::string& name) {
    tomedb::TTomeDBFileIO io;
    io.Open(file.toStdString(), tomedb::mtDisk, 0, true, false);
    return io.TableHeaderOffset(io.FindTable(name));
}

void PatchFile(const QString& file, int64_t at, const QByteArray& bytes) {
    QFile patched(file);
    ASSERT_TRUE(patched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(patched.seek(at));
    ASSERT_EQ(patched.write(bytes), bytes.size());
}

QByteArray Int32(int32_t value) {
    QByteArray bytes(4, '\0');
    tomedb::format::PutI32(reinterpret_cast<uint8_t*>(bytes.data()), value);
    return bytes;
}

// The mark and picture tables open on first use. A missing one, or one whose
// header is damaged, still fails the open with the engine's error and leaves
// nothing open; damage deeper in (here a record tab chunk linking outside the
// file, in a library opened read-only, so that nothing is settled at open)
// shows when the table is first used, while folders and manuscripts work.
TEST_F(LibraryTest, DamagedMarkOrPictureTableFailsTheOpenOrItsFirstUse) {
    const int folder = data.AddFolder(0, "kept");
    const int doc = NewDocNamed(folder, "d");
    data.RunWriteBatch([&] {
        for (int i = 0; i < 1100; ++i) {  // two record tab chunks in each table
            data.AddMark(TMark{QStringLiteral("标签"), QStringLiteral("d"), QStringLiteral("备注"), doc, 1});
            data.AddPicture(QStringLiteral("/图片/%1.jpg").arg(i), doc);
        }
    });
    data.CloseDocData();
    QFile::copy(file, Path("good.qdb"));
    struct Damage {
        const char* what;
        const char* table;
        int offset;  // in the table's header
        QByteArray bytes;
        const char* openError;  // empty: the open succeeds and the first use fails
    };
    const Damage damages[] = {
        {"no fields", "Docmark", tomedb::format::kTHFieldCount, Int32(0), "is damaged"},
        {"no fields", "Pics", tomedb::format::kTHFieldCount, Int32(0), "is damaged"},
        {"renamed", "Docmark", tomedb::format::kTHTableName, QByteArray("Xocmark"), "Table 'DocMark' not found"},
        {"renamed", "Pics", tomedb::format::kTHTableName, QByteArray("Xics"), "Table 'Pics' not found"},
        {"record tab link", "Docmark", -1, Int32(0x7FFFFF00), ""},
        {"record tab link", "Pics", -1, Int32(0x7FFFFF00), ""},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(std::string(damage.table) + ", " + damage.what);
        QFile::remove(file);
        ASSERT_TRUE(QFile::copy(Path("good.qdb"), file));
        const int64_t header = TableHeaderAt(file, damage.table);
        int64_t at = header + damage.offset;
        if (damage.offset < 0) {  // the first record tab chunk's link to the next
            tomedb::TTomeDBFileIO io;
            io.Open(file.toStdString(), tomedb::mtDisk, 0, true, false);
            tomedb::TTableHeader read;
            io.ReadTableHeader(io.FindTable(damage.table), read);
            at = read.RecTabOffset() + tomedb::format::kChunkNextOffset;
        }
        PatchFile(file, at, damage.bytes);
        if (*damage.openError) {
            try {
                data.OpenDocData(file);
                ADD_FAILURE() << "opened";
            } catch (const tomedb::EDatabaseError& error) {
                EXPECT_NE(std::string(error.what()).find(damage.openError), std::string::npos) << error.what();
            }
            EXPECT_FALSE(data.Opened());
            EXPECT_TRUE(data.GetDocDataName().isEmpty());
            continue;
        }
        data.SetReadOnly(true);
        ASSERT_TRUE(data.OpenDocData(file));
        EXPECT_EQ(data.LoadFolderTree().Children.at(0).ID, folder);
        EXPECT_EQ(data.LoadDocList(folder).size(), 1u);
        if (std::string(damage.table) == "Pics")
            EXPECT_THROW(data.LoadPicList(doc), tomedb::EDatabaseError);
        else
            EXPECT_THROW(data.LoadMarkList(std::nullopt), tomedb::EDatabaseError);
        data.CloseDocData();
        data.SetReadOnly(false);
    }
}

TEST_F(LibraryTest, CloseIsHarmlessTwice) {
    data.CloseDocData();
    data.CloseDocData();
    EXPECT_FALSE(data.Opened());
    EXPECT_TRUE(data.GetDocDataName().isEmpty());
    EXPECT_FALSE(data.LoadMarkList(std::nullopt).has_value());
}

class EncryptedLibrary : public LibraryTest {
protected:
    QString Encrypted(const QString& name, const QString& password) {
        QString created;
        TqlvDocData maker;
        EXPECT_TRUE(maker.CreateDocData(Path(name), {}, password, true, true, false, 2, &created));
        maker.CloseDocData();
        return created;
    }
};

TEST_F(EncryptedLibrary, WrongOrCancelledPasswordLeavesNothingOpen) {
    const QString locked = Encrypted("locked", "secret");
    for (const QString& answer : {QStringLiteral("wrong"), QString()}) {
        ASSERT_TRUE(data.OpenDocData(file));  // another library open before
        passwords.queue << answer;            // an empty answer is what a cancel yields
        QString caption;
        EXPECT_EQ(UserErrorOf([&] { data.OpenDocData(locked, passwords.Prompt()); }, &caption),
                  QStringLiteral("密码错误，无法打开稿件库！"))
            << answer.toStdString();
        EXPECT_EQ(caption, QStringLiteral("打开稿件库"));
        EXPECT_FALSE(data.Opened());
        EXPECT_TRUE(data.GetDocDataName().isEmpty());
    }
    passwords.queue << "secret";
    EXPECT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    EXPECT_TRUE(data.IsEncrypted());
}

TEST_F(EncryptedLibrary, EmptyPasswordStillAsksAndEmptyAnswerOpens) {
    const QString locked = Encrypted("empty", QString());
    EXPECT_TRUE(data.OpenDocData(locked, passwords.Prompt()));  // the prompt answers empty
    EXPECT_EQ(passwords.asked, 1);
}

TEST_F(EncryptedLibrary, UnencryptedLibraryOpensWithoutPrompt) {
    data.CloseDocData();
    EXPECT_TRUE(data.OpenDocData(file, passwords.Prompt()));
    EXPECT_EQ(passwords.asked, 0);
}

TEST_F(EncryptedLibrary, ChangePasswordToUnencryptedAndBack) {
    const QString locked = Encrypted("change", "old");
    passwords.queue << "old";
    ASSERT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    const int doc = NewDocNamed(0, QStringLiteral("保密稿件"));
    data.SaveDoc(doc, Saved("6", "3", "0", QStringLiteral("正文内容")));

    ASSERT_TRUE(data.ChangePassword(QString(), false));
    EXPECT_FALSE(data.IsEncrypted());
    data.CloseDocData();
    passwords.asked = 0;
    ASSERT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    EXPECT_EQ(passwords.asked, 0);
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("正文内容"));

    ASSERT_TRUE(data.ChangePassword("new", true));
    EXPECT_TRUE(data.IsEncrypted());
    data.CloseDocData();
    passwords.queue << "old";
    EXPECT_THROW(data.OpenDocData(locked, passwords.Prompt()), EUserError);
    passwords.queue << "new";
    ASSERT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("正文内容"));
}

TEST_F(EncryptedLibrary, CompactAndRepairKeepAnEncryptedLibraryAndItsPassword) {
    const QString locked = Encrypted("compact", "key");
    passwords.queue << "key";
    ASSERT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    const int folder = data.AddFolder(0, QStringLiteral("卷一"));
    const int doc = NewDocNamed(folder, "d");
    data.SaveDoc(doc, Saved("4", "2", "0", QStringLiteral("密文")));
    EXPECT_TRUE(data.CompressDocData());
    EXPECT_TRUE(data.RepairDocData());
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("密文"));
    data.CloseDocData();
    passwords.queue << "key";
    ASSERT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    EXPECT_TRUE(data.IsEncrypted());
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("密文"));
    EXPECT_EQ(Captions(data.LoadFolderTree()), QStringList{QStringLiteral("卷一")});
}

// Rebuilding an encrypted library of several tables needs no login: the
// rebuild keeps its target open, with its key, from the first table to the last.
TEST_F(EncryptedLibrary, RebuildOfEncryptedLibraryNeedsNoLoginHandler) {
    const QString locked = Encrypted("engine", "key");
    passwords.queue << "key";
    ASSERT_TRUE(data.OpenDocData(locked, passwords.Prompt()));
    tomedb::TDBLoginScope none(nullptr);
    EXPECT_NO_THROW(EXPECT_TRUE(data.CompressDocData()));
    EXPECT_NO_THROW(EXPECT_TRUE(data.ChangePassword(QStringLiteral("other"), true)));
}

TEST_F(LibraryTest, CompactAndRepairKeepDataAndReportSuccess) {
    const int doc = NewDocNamed(0, "d");
    data.SaveDoc(doc, Saved("4", "2", "0", QStringLiteral("文字")));
    EXPECT_TRUE(data.CompressDocData());
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("文字"));
    EXPECT_TRUE(data.RepairDocData());
    EXPECT_EQ(data.LoadDocList(0).size(), 1u);
    data.CloseDocData();
    EXPECT_FALSE(data.CompressDocData());  // nothing open: nothing done
}

TEST(LibraryCenter, RegistryListByFileName) {
    TTempHome home;
    TqlvDocData data;
    data.AddToDBCenter("/data/稿件/小说.qdb");
    data.AddToDBCenter("/data/稿件/小说.qdb");
    data.AddToDBCenter("/data/诗歌.qdb");
    QStringList names = data.GetDBCenterList();
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("小说"), QStringLiteral("诗歌")}));
    EXPECT_EQ(data.GetDBCenterPath(QStringLiteral("小说")), QStringLiteral("/data/稿件/小说.qdb"));
    data.AddToDBCenter("/other/小说.qdb");  // same file name: the later entry replaces
    EXPECT_EQ(data.GetDBCenterPath(QStringLiteral("小说")), QStringLiteral("/other/小说.qdb"));
    data.RemoveFromDBCenter(QStringLiteral("小说"));
    EXPECT_EQ(data.GetDBCenterList(), QStringList{QStringLiteral("诗歌")});
    EXPECT_TRUE(data.GetDBCenterPath(QStringLiteral("小说")).isEmpty());
}

}  // namespace
