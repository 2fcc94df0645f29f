// TqlvDocuments: the materials store, Documents.tdb in the application folder
// (AppPath). One process-wide instance, `Documents`, is created at start-up;
// the constructor opens the store (creating it with its two tables when the
// file is missing) and keeps it open until the object dies.
//
// It owns the database and the tables `Docs` (materials) and `DocFolder`
// (folders). Like TqlvDocData it fills no widgets: operations take the IDs the
// application reads from its views and return TViewNode / TViewItem records.
// Keys that are not found change nothing. An operation of several steps holds
// the store's file lock for all of them. Engine errors (a damaged or
// unreadable store) are raised as tomedb::EDatabaseError, also from the
// constructor.
#pragma once

#include "library/DocDataTypes.h"
#include "library/RecordExchange.h"
#include "tomedb/TomeDB.h"

#include <QList>
#include <QString>

class TqlvDocuments : public TRecordStore {
public:
    TqlvDocuments();
    virtual ~TqlvDocuments();
    TqlvDocuments(const TqlvDocuments&) = delete;
    TqlvDocuments& operator=(const TqlvDocuments&) = delete;

    // Path of Documents.tdb (AppPath + "Documents.tdb").
    QString FileName() const { return m_fileName; }

    // ---- folders ---------------------------------------------------------------
    // Root "资料夹" (ID 0, selected, expanded) with every folder below it.
    TViewNode LoadFolderTree();
    TViewNode NewFolder(int selectedNodeID);
    int AddFolder(int parentID, const QString& name);
    void RenameFolder(int folderID, const QString& name);
    void MoveFolder(int folderID, int newParentID);
    void DeleteFolder(int folderID);

    // ---- materials -------------------------------------------------------------
    TViewItems LoadDocList(int folderID);
    TViewItem NewDoc(int folderID);
    QString LoadDocText(int selectedDocID);
    void SaveDocText(int docID, const QString& text);
    void GetDoc(int docID, TDocAttr& attr);
    void RenameSelectedDoc(int selectedDocID, const QString& name);
    // Returns the IDs whose items leave the list.
    QList<int> DeleteSelectedDocs(const QList<int>& selectedDocIDs);
    void MoveDoc(int docID, int newFolderID);
    int AddDoc(int folderID, const TDocAttr& attr);

    // ---- TRecordStore (imports and exports) -----------------------------------------
    int AddRecord(int folderID, const TDocAttr& attr) override { return AddDoc(folderID, attr); }
    void ReadRecord(int id, TDocAttr& attr) override { GetDoc(id, attr); }
    void RemoveRecords(const QList<int>& ids) override { DeleteSelectedDocs(ids); }
    std::unique_ptr<tomedb::TTomeWriteBatch> BeginWrites() override;

    // Compacts the store without any message; the engine's result.
    bool CompressDocuments();

private:
    tomedb::TTomeDatabase TomeDB;
    tomedb::TTomeTable Doctable;
    tomedb::TTomeTable Foldertable;

    void CreateStore();
    void FillFolderNode(TViewNode& node);
    QList<int> DeleteSubFolders(int folderID);

    QString m_fileName;
};
