// TqlvDocData: the folder tree (table DocFloder).
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"

using namespace tableaccess;

namespace {
const QString kRootCaption = QStringLiteral("稿件夹");
const QString kNewFolder = QStringLiteral("新建稿件夹");
}  // namespace

TViewNode TqlvDocData::LoadFolderTree() {
    const tomedb::TTomeLockScope batch(TomeDB);
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
void TqlvDocData::FillFolderNode(TViewNode& root) { FillTreeLevels(Flodertable, "FloderName", root); }

TViewNode TqlvDocData::NewFolder(int selectedNodeID) {
    return NewFolderNode(AddFolder(selectedNodeID, kNewFolder), kNewFolder);
}

int TqlvDocData::AddFolder(int parentID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    return AppendFolder(Flodertable, "FloderName", parentID, name);
}

void TqlvDocData::RenameFolder(int folderID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordText(Flodertable, folderID, "FloderName", name);
}

void TqlvDocData::MoveFolder(int folderID, int newParentID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordInt(Flodertable, folderID, "PID", newParentID);
}

QList<int> TqlvDocData::CollectSubFolders(int folderID) { return DeleteFolderLevels(Flodertable, folderID); }

// The folder record, every folder below it, and every manuscript filed in
// any of them with its marks and pictures; nothing else.
void TqlvDocData::DeleteFolder(int folderID) {
    if (folderID <= 0)
        return;  // the root stands for the whole library and is never deleted
    // One write batch: the deletions cost one pair of disk syncs, not one each.
    tomedb::TTomeWriteBatch batch(TomeDB);
    if (FindByID(Flodertable, folderID))
        Flodertable.Delete();
    QList<int> folders = CollectSubFolders(folderID);
    folders.prepend(folderID);
    const QList<int> docs = DeleteWhereAny(Doctable, QStringLiteral("PID"), folders);
    DeleteWhereAny(Marks(), QStringLiteral("MarkParent"), docs);
    DeleteWhereAny(Pics(), QStringLiteral("PicParent"), docs);
    batch.Finish();
}
