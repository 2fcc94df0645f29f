// TqlvDocData: construction, the library schema, create / open / close.
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"
#include "library/UserError.h"
#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeDBFileIO.h"

#include <QFile>
#include <QFileInfo>

using namespace tableaccess;
using tomedb::MakeFieldItem;
using tomedb::TTomeFieldItem;

namespace {

const QString kCreateCaption = QStringLiteral("新建稿件库");
const QString kOpenCaption = QStringLiteral("打开稿件库");

TTomeFieldItem Field(const char* name, int type, int size = 0, int dpMode = tomedb::dpmOriginal) {
    return MakeFieldItem(name, type, size, static_cast<uint8_t>(dpMode));
}

std::vector<TTomeFieldItem> DocsFields() {
    using namespace tomedb;
    return {Field("ID", ftAutoInc),
            Field("PID", ftInteger),
            Field("lastPID", ftInteger),
            Field("DocName", ftString, 255),
            Field("DocSize", ftInteger),
            Field("DocCDate", ftDate, 0, dpmDefault),
            Field("DocMDate", ftDate, 0, dpmDefault),
            Field("cnCount", ftInteger),
            Field("enCount", ftInteger),
            Field("PicCount", ftInteger),
            Field("MarkCount", ftInteger),
            Field("IsPublish", ftBoolean),
            Field("Publish", ftString, 255),
            Field("Money", ftInteger, 0, dpmDefault),
            Field("Txt", ftMemo, 0, dpmDefault)};
}

std::vector<TTomeFieldItem> FolderFields() {
    using namespace tomedb;
    return {Field("ID", ftAutoInc), Field("PID", ftInteger), Field("lastPID", ftInteger),
            Field("FloderName", ftString, 255)};
}

std::vector<TTomeFieldItem> MarkFields() {
    using namespace tomedb;
    return {Field("ID", ftAutoInc),         Field("markName", ftString, 255),       Field("markContent", ftString, 255),
            Field("markParent", ftInteger), Field("markParentName", ftString, 255), Field("markPosLine", ftInteger)};
}

std::vector<TTomeFieldItem> PicFields() {
    using namespace tomedb;
    return {Field("ID", ftAutoInc), Field("picParent", ftInteger), Field("picName", ftString, 255),
            Field("picPath", ftString, 255)};
}

}  // namespace

// Whatever the user saves is on disk when the call returns. Opening settles
// only the tables it reads (the marks and pictures wait for their first use).
TqlvDocData::TqlvDocData() {
    TomeDB.SetDurableWrites(true);
    TomeDB.SetSettleTablesOnUse(true);
}

TqlvDocData::~TqlvDocData() {
    // Tables go before the database they are attached to.
    CloseDocData();
}

QString TqlvDocData::LibraryFileName(const QString& fileName) {
    QString name = fileName;
    if (!name.contains(QStringLiteral(".qdb"), Qt::CaseSensitive))
        name += QStringLiteral(".qdb");
    return QFileInfo(name).absoluteFilePath();
}

int TqlvDocData::CompressLevelOf(int levelIndex) {
    switch (levelIndex) {
        case 0:
            return 3;
        case 1:
            return 2;
        case 2:
            return 1;
        case 3:
            return 0;
        default:
            return 1;
    }
}

bool TqlvDocData::CreateDocData(const QString& fileName, const QString& comment, const QString& password,
                                bool compressBlob, bool encrypt, bool crc32, int levelIndex, QString* finalName) {
    if (fileName.isEmpty())
        throw EUserError(QStringLiteral("稿件库名称不能为空！"), kCreateCaption, 1);
    const QString name = LibraryFileName(fileName);
    if (QFileInfo::exists(name))
        throw EUserError(QStringLiteral("稿件库已经存在！"), kCreateCaption, 2);
    CloseDocData();
    const std::string path = PathName(name);
    if (!TomeDB.CreateDatabase(path, compressBlob, CompressLevelOf(levelIndex), "zLIB", encrypt, "blowfish",
                               PasswordBytes(password), crc32))
        return false;
    try {
        TomeDB.SetDatabaseName(path);
        TomeDB.SetPassword(PasswordBytes(password));
        TomeDB.SetComments(Bytes(comment));
        CreateSchema();
    } catch (...) {
        // A library without its tables (a full disk, say) is no library:
        // nothing half-made is left behind under the name.
        CloseDocData();
        QFile::remove(name);
        throw;
    }
    m_opened = true;
    if (finalName)
        *finalName = name;
    return true;
}

void TqlvDocData::CreateSchema() {
    TomeDB.CreateTable("Docs", DocsFields());
    TomeDB.CreateTable("DocFloder", FolderFields());
    TomeDB.CreateTable("Docmark", MarkFields());
    TomeDB.CreateTable("Pics", PicFields());
    TomeDB.CreateIndex("DocFloder", "ByParentID", 0, {"PID"});
    TomeDB.CreateIndex("DocMark", "ByParnetID", 0, {"MarkParent"});
}

bool TqlvDocData::OpenDocData(const QString& fileName, const TPasswordPrompt& askPassword) {
    if (fileName.isEmpty() || !QFileInfo::exists(fileName))
        return false;
    NotifyClosing();
    m_opened = false;
    TomeDB.Close();
    try {
        TomeDB.SetDatabaseName(PathName(fileName));
        TomeDB.Open();
        if (!TomeDB.CanAccess()) {
            TomeDB.SetPassword(PasswordBytes(askPassword ? askPassword() : QString()));
            if (!TomeDB.CanAccess())
                throw EUserError(QStringLiteral("密码错误，无法打开稿件库！"), kOpenCaption, 1);
        }
        OpenDocTables(fileName);
    } catch (...) {
        // A wrong password, a damaged file or one that is no library: the
        // error goes on to the caller, and no half-open library is left
        // claiming to be open.
        CloseDocData();
        throw;
    }
    return true;
}

void TqlvDocData::OpenDocTables(const QString& fileName) {
    const tomedb::TTomeLockScope batch(TomeDB);
    const std::string path = PathName(fileName);
    const struct {
        tomedb::TTomeTable* table;
        const char* name;
    } tables[] = {{&Doctable, "Docs"}, {&Flodertable, "DocFloder"}, {&Marktable, "DocMark"}, {&Pictable, "Pics"}};
    for (const auto& entry : tables) {
        entry.table->SetDatabaseName(path);
        entry.table->SetTableName(entry.name);
    }
    Doctable.Open();
    Flodertable.Open();
    for (const char* later : {"DocMark", "Pics"})
        CheckTableHeader(later);
    m_opened = true;
}

// A table opened on first use is looked at when the library opens, so that
// one that is missing or whose header is damaged still fails the open with
// the engine's error; damage further in shows when the table is first used.
void TqlvDocData::CheckTableHeader(const char* name) {
    tomedb::TTomeDBFileIO* io = TomeDB.FileIO();
    std::vector<std::string> names;
    io->GetTableNames(names);
    for (size_t i = 0; i < names.size(); ++i)
        if (tomedb::SameNameAscii(names[i], name)) {
            tomedb::TTableHeader header;
            io->ReadTableHeader(static_cast<int>(i), header);
            return;
        }
    throw tomedb::EDatabaseError(tomedb::FormatMessage("Table '%s' not found", name));
}

tomedb::TTomeTable& TqlvDocData::OpenOnFirstUse(tomedb::TTomeTable& table) {
    if (m_opened && Doctable.Active() && !table.Active())
        table.Open();
    return table;
}

void TqlvDocData::NotifyClosing() {
    if (m_opened && Doctable.Active() && BeforeClose) {
        SettleForCopy();
        BeforeClose(GetDocDataName());
    }
}

void TqlvDocData::SettleForCopy() {
    tomedb::TTomeDBFileIO* io = TomeDB.FileIO();
    if (!m_opened || !io)
        return;
    try {
        io->SettleCommitSlots();
    } catch (const tomedb::EDatabaseError&) {
    }
}

void TqlvDocData::CloseDocData() {
    NotifyClosing();
    TomeDB.Close();
    TomeDB.SetDatabaseName(std::string());
    m_opened = false;
}

QString TqlvDocData::GetDocDataName() const { return PathText(TomeDB.DatabaseName()); }

bool TqlvDocData::TablesOpen() const { return Doctable.Active(); }

std::string TqlvDocData::OpenedPassword() const { return TomeDB.Password(); }

void TqlvDocData::SetRebuildProgress(std::function<void(int percent)> onProgress) {
    if (!onProgress) {
        TomeDB.OnOperationProgress = nullptr;
        return;
    }
    TomeDB.OnOperationProgress = [onProgress = std::move(onProgress)](void*, int percent) { onProgress(percent); };
}

void TqlvDocData::SetReadOnly(bool readOnly) { TomeDB.SetReadOnly(readOnly); }
