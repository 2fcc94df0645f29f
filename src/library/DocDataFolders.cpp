// TqlvDocData: the folder tree (table DocFloder).
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"

using namespace tableaccess;

namespace {
const QString kRootCaption = QStringLiteral("稿件夹");
const QString kNewFolder = QStringLiteral("新建稿件夹");
}  // namespace

TViewNode TqlvDocData::LoadFolderTree() {
    TViewNode root;
    root.Caption = kRootCaption;
    root.ID = 0;
    root.Expanded = true;
    root.Selected = true;
    if (m_opened)
        FillFolderNode(root);
    return root;
}

// The tree is filled level by level: all children of the nodes of one level
// are read through one "PID" filter (kept in creation order per parent), and
// only then is the next level read, so the shared table's filter is reset at
// every level and never read while a deeper level fills.
void TqlvDocData::FillFolderNode(TViewNode& root) {
    FillTreeLevels(Flodertable, "FloderName", root);
}

TViewNode TqlvDocData::NewFolder(int selectedNodeID) {
    TViewNode node;
    node.Caption = kNewFolder;
    node.ID = AddFolder(selectedNodeID, kNewFolder);
    node.Selected = true;
    node.EditInPlace = true;
    return node;
}

int TqlvDocData::AddFolder(int parentID, const QString& name) {
    Flodertable.SetFiltered(false);
    Flodertable.Append();
    Flodertable.FieldByName("PID").SetAsInteger(parentID);
    SetFieldText(Flodertable, "FloderName", name);
    Flodertable.Post();
    return CurrentID(Flodertable);
}

void TqlvDocData::RenameFolder(int folderID, const QString& name) {
    if (!FindByID(Flodertable, folderID))
        return;
    Flodertable.Edit();
    SetFieldText(Flodertable, "FloderName", name);
    Flodertable.Post();
}

void TqlvDocData::MoveFolder(int folderID, int newParentID) {
    if (!FindByID(Flodertable, folderID))
        return;
    Flodertable.Edit();
    Flodertable.FieldByName("PID").SetAsInteger(newParentID);
    Flodertable.Post();
}

// Deletes the folders below `folderID` at any depth, level by level along
// PID links (each level through a "PID" filter, deleting what it shows), and
// returns their IDs.
QList<int> TqlvDocData::CollectSubFolders(int folderID) {
    QList<int> found;
    QList<int> level{folderID};
    while (!level.isEmpty()) {
        level = DeleteWhereAny(Flodertable, QStringLiteral("PID"), level);
        found += level;
    }
    return found;
}

// The folder record, every folder below it, and every manuscript filed in
// any of them with its marks and pictures; nothing else.
void TqlvDocData::DeleteFolder(int folderID) {
    if (folderID <= 0)
        return;  // the root stands for the whole library and is never deleted
    if (FindByID(Flodertable, folderID))
        Flodertable.Delete();
    QList<int> folders = CollectSubFolders(folderID);
    folders.prepend(folderID);
    const QList<int> docs = DeleteWhereAny(Doctable, QStringLiteral("PID"), folders);
    DeleteWhereAny(Marktable, QStringLiteral("MarkParent"), docs);
    DeleteWhereAny(Pictable, QStringLiteral("PicParent"), docs);
}
