#include "materials/TqlvDocuments.h"

#include "library/TableAccess.h"
#include "platform/AppPaths.h"

#include <QFileInfo>

using namespace tableaccess;
using tomedb::MakeFieldItem;

namespace {
const QString kRootCaption = QStringLiteral("资料夹");
const QString kNewFolder = QStringLiteral("新建资料夹");
const QString kNewDoc = QStringLiteral("新建资料");
}  // namespace

TqlvDocuments::TqlvDocuments() : m_fileName(AppPath() + QStringLiteral("Documents.tdb")) {
    const std::string path = PathName(m_fileName);
    if (!QFileInfo::exists(m_fileName))
        CreateStore();
    TomeDB.SetDatabaseName(path);
    TomeDB.SetDurableWrites(true);  // what the user saves is on disk when the call returns
    Doctable.SetDatabaseName(path);
    Doctable.SetTableName("Docs");
    Foldertable.SetDatabaseName(path);
    Foldertable.SetTableName("DocFolder");
    Doctable.Open();
    Foldertable.Open();
}

TqlvDocuments::~TqlvDocuments() { TomeDB.Close(); }

// A first, empty store: the two tables with 255-byte strings and a memo text;
// the engine adds the primary index on each ID.
void TqlvDocuments::CreateStore() {
    using namespace tomedb;
    const std::string path = PathName(m_fileName);
    if (!TomeDB.CreateDatabase(path, true, 1, "zLIB", false, "blowfish", std::string(), false))
        throw EDatabaseError("Cannot create file " + path);
    TomeDB.SetDatabaseName(path);
    TomeDB.CreateTable(
        "Docs", {MakeFieldItem("ID", ftAutoInc, 0, dpmOriginal), MakeFieldItem("PID", ftInteger, 0, dpmOriginal),
                 MakeFieldItem("DocName", ftString, 255, dpmOriginal), MakeFieldItem("DocTxt", ftMemo, 0, dpmDefault)});
    TomeDB.CreateTable("DocFolder",
                       {MakeFieldItem("ID", ftAutoInc, 0, dpmOriginal), MakeFieldItem("PID", ftInteger, 0, dpmOriginal),
                        MakeFieldItem("FolderName", ftString, 255, dpmOriginal)});
    TomeDB.Close();
    TomeDB.SetDatabaseName(std::string());
}

TViewNode TqlvDocuments::LoadFolderTree() {
    const tomedb::TTomeLockScope batch(TomeDB);
    TViewNode root;
    root.Caption = kRootCaption;
    root.Expanded = true;
    root.Selected = true;
    FillFolderNode(root);
    return root;
}

void TqlvDocuments::FillFolderNode(TViewNode& root) { FillTreeLevels(Foldertable, "FolderName", root); }

TViewNode TqlvDocuments::NewFolder(int selectedNodeID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    return NewFolderNode(AddFolder(selectedNodeID, kNewFolder), kNewFolder);
}

int TqlvDocuments::AddFolder(int parentID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    return AppendFolder(Foldertable, "FolderName", parentID, name);
}

void TqlvDocuments::RenameFolder(int folderID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordText(Foldertable, folderID, "FolderName", name);
}

void TqlvDocuments::MoveFolder(int folderID, int newParentID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordInt(Foldertable, folderID, "PID", newParentID);
}

QList<int> TqlvDocuments::DeleteSubFolders(int folderID) { return DeleteFolderLevels(Foldertable, folderID); }

void TqlvDocuments::DeleteFolder(int folderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (folderID <= 0)
        return;  // the root stands for the whole store and is never deleted
    if (FindByID(Foldertable, folderID))
        Foldertable.Delete();
    QList<int> folders = DeleteSubFolders(folderID);
    folders.prepend(folderID);
    DeleteWhereAny(Doctable, QStringLiteral("PID"), folders);
}

TViewItems TqlvDocuments::LoadDocList(int folderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    TViewItems items;
    FilterBy(Doctable, QStringLiteral("PID"), folderID);
    const int count = Doctable.RecordCount();
    for (int i = 0; i < count; ++i) {
        TViewItem item;
        item.Caption = FieldText(Doctable, "DocName");
        item.ID = CurrentID(Doctable);
        item.ImageIndex = docimages::Material;
        items.push_back(std::move(item));
        Doctable.Next();
    }
    return items;
}

TViewItem TqlvDocuments::NewDoc(int folderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    Unfilter(Doctable);
    Doctable.Append();
    Doctable.FieldByName("PID").SetAsInteger(folderID);
    SetFieldText(Doctable, "DocName", kNewDoc);
    SetMemoText(Doctable, "DocTxt", QString());
    Doctable.Post();
    TViewItem item;
    item.Caption = kNewDoc;
    item.ID = CurrentID(Doctable);
    item.ImageIndex = docimages::Material;
    item.EditInPlace = true;
    return item;
}

QString TqlvDocuments::LoadDocText(int selectedDocID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    return FindByID(Doctable, selectedDocID) ? FieldText(Doctable, "DocTxt") : QString();
}

void TqlvDocuments::SaveDocText(int docID, const QString& text) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        return;
    Doctable.Edit();
    SetMemoText(Doctable, "DocTxt", text);
    Doctable.Post();
}

void TqlvDocuments::GetDoc(int docID, TDocAttr& attr) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        return;
    attr.DocName = FieldText(Doctable, "DocName");
    attr.Txt = FieldText(Doctable, "DocTxt");
}

void TqlvDocuments::RenameSelectedDoc(int selectedDocID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordText(Doctable, selectedDocID, "DocName", name);
}

QList<int> TqlvDocuments::DeleteSelectedDocs(const QList<int>& selectedDocIDs) {
    const tomedb::TTomeLockScope batch(TomeDB);
    QList<int> removed;
    for (int docID : selectedDocIDs) {
        if (!FindByID(Doctable, docID))
            continue;
        Doctable.Delete();
        removed.append(docID);
    }
    return removed;
}

void TqlvDocuments::MoveDoc(int docID, int newFolderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordInt(Doctable, docID, "PID", newFolderID);
}

int TqlvDocuments::AddDoc(int folderID, const TDocAttr& attr) {
    const tomedb::TTomeLockScope batch(TomeDB);
    Unfilter(Doctable);
    Doctable.Append();
    Doctable.FieldByName("PID").SetAsInteger(folderID);
    SetFieldText(Doctable, "DocName", attr.DocName);
    SetMemoText(Doctable, "DocTxt", attr.Txt);
    Doctable.Post();
    return CurrentID(Doctable);
}

bool TqlvDocuments::CompressDocuments() { return TomeDB.Compact(); }

std::unique_ptr<tomedb::TTomeWriteBatch> TqlvDocuments::BeginWrites() {
    return std::make_unique<tomedb::TTomeWriteBatch>(TomeDB);
}
