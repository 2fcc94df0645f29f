// TqlvDocData: the manuscript-library data layer. One process-wide instance,
// `DocData`, is created at start-up with no library open and lives until the
// process ends; at most one .qdb library file is open at a time.
//
// It owns, privately, the library database `TomeDB` and its four tables
// (`Doctable` Docs, `Flodertable` DocFloder, `Marktable` DocMark, `Pictable`
// Pics); the library layer's own services that keep tables in the same file
// reach them through TDocDataEngine (DocDataEngine.h). Every
// operation sets the Filter / Filtered / IndexName of the table it uses before
// reading or writing and leaves them so. Records are addressed by ID; a key
// that is not found makes an operation do nothing. An operation of several
// steps holds the library file's lock for all of them (TTomeLockScope), so it
// sees one state of the file and takes the lock once.
//
// No user interface: the data layer fills no widgets and shows no dialogs.
// Operations that the application drives from a tree or list view take what
// they need from the view (selected IDs, parent ID) and return TViewNode /
// TViewItem records to show; the password of an encrypted library is asked
// through the TPasswordPrompt the caller passes to OpenDocData.
//
// Failures: what the user can cause (empty name, existing file, wrong
// password, a picture path too long, a picture file that is gone) raises
// EUserError (UserError.h) with the message to show. Engine errors
// (tomedb::EDatabaseError) are not caught.
#pragma once

#include "library/DocDataTypes.h"
#include "library/RecordExchange.h"
#include "library/UserError.h"
#include "library/ZipFileList.h"
#include "tomedb/TomeDB.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Asks the user for a library's password; an empty text when cancelled.
using TPasswordPrompt = std::function<QString()>;

// One manuscript as ScanDocTexts hands it over: Text is the stored GB18030
// bytes (or, in a walk of stored forms, the value as the file keeps it, still
// compressed and encrypted), valid only during the visit, which may move it
// away rather than copy it; Index counts from 0 up to Count.
struct TStoredDocText {
    int ID = 0;
    int FolderID = 0;
    QString Name;
    std::string* Text = nullptr;
    int Index = 0;
    int Count = 0;
};
using TDocTextVisitor = std::function<bool(const TStoredDocText&)>;

class TqlvDocData : public TRecordStore {
public:
    TqlvDocData();
    virtual ~TqlvDocData();
    TqlvDocData(const TqlvDocData&) = delete;
    TqlvDocData& operator=(const TqlvDocData&) = delete;

    // ---- library file (DocDataFile.cpp) -----------------------------------------
    bool Opened() const { return m_opened; }
    void SetOpened(bool opened) { m_opened = opened; }
    // Creates a new library file. The name gets ".qdb" appended unless it
    // contains ".qdb"; a relative name is taken from the current directory.
    // *finalName receives the file name actually created. An empty name or an
    // existing file raises EUserError; false when the engine refused.
    bool CreateDocData(const QString& fileName, const QString& comment, const QString& password, bool compressBlob,
                       bool encrypt, bool crc32, int levelIndex, QString* finalName = nullptr);
    // False (nothing changed) when no such file exists. An encrypted library
    // asks askPassword once; a wrong answer raises EUserError and leaves no
    // library open. A damaged or foreign file raises the engine's error.
    bool OpenDocData(const QString& fileName, const TPasswordPrompt& askPassword = {});
    void OpenDocTables(const QString& fileName);
    void CloseDocData();
    // Brings the open file to rest (pending commit records settled), so that
    // a copy of it taken now matches the file as closing would leave it.
    // Failures are left for the next write or close to meet.
    void SettleForCopy();
    // Full path of the open library; empty when none is open.
    QString GetDocDataName() const;
    // The file name CreateDocData would create for `fileName`.
    static QString LibraryFileName(const QString& fileName);
    // LevelIndex of the create dialog ("最快", "较快", "标准", "最好") -> engine level.
    static int CompressLevelOf(int levelIndex);

    // ---- folders (DocDataFolders.cpp) -------------------------------------------
    // The root "稿件夹" (ID 0, selected, expanded) with every folder below it.
    TViewNode LoadFolderTree();
    // Adds "新建稿件夹" under the selected node; returns the node to add there
    // (selected, to be edited in place).
    TViewNode NewFolder(int selectedNodeID);
    int AddFolder(int parentID, const QString& name);
    void RenameFolder(int folderID, const QString& name);
    void MoveFolder(int folderID, int newParentID);
    void DeleteFolder(int folderID);

    // ---- manuscripts (DocDataDocs.cpp) -------------------------------------------
    TViewItems LoadDocList(int folderID);
    TViewItem NewDoc(int folderID);
    QString LoadDocText(int selectedDocID);
    void SaveDoc(int docID, const TDocAttr& attr);
    // SaveDoc with the text given as its GB18030 bytes (attr.Txt is not read),
    // for a caller that has encoded it already.
    void SaveDocBytes(int docID, const TDocAttr& attr, const std::string& txt);
    // Deletes the selected manuscripts with their marks and pictures; returns
    // the IDs whose items go (a record that no longer exists keeps its item).
    QList<int> DeleteSelectedDocs(const QList<int>& selectedDocIDs);
    void RenameSelectedDoc(int selectedDocID, const QString& name);
    void GetDocAttr(int docID, TDocAttr& attr);
    void SetDocAttr(int docID, const TDocAttr& attr);
    void MoveDoc(int docID, int newFolderID);
    void UpdateDocCounts(int docID);
    QString GetMarkCount(int docID);
    QString GetPicCount(int docID);
    // A new manuscript with attr's name, text, dates, size and counts (an
    // import dates it today); empty numbers and day 0 stay empty until its
    // first save.
    int AddDoc(int folderID, const TDocAttr& attr);
    // Reading and batch writing for library-wide work (DocDataScan.cpp).
    // Visits every manuscript of the folders `folderIDs` (every manuscript when
    // the list is empty) with its text as stored, holding the file's lock for
    // the whole walk; a visitor returning false ends it. Nothing when no
    // library is open.
    // With storedForms, each text is handed as the file keeps it, for one of
    // the DocTextDecoders to decode on another thread.
    void ScanDocTexts(const QList<int>& folderIDs, const TDocTextVisitor& visit, bool storedForms = false);
    // `count` decoders of stored texts (tomedb::TTomeBlobDecoder), each for
    // one thread, sharing nothing with the open library; empty when no
    // library is open or its texts cannot be decoded apart from it.
    std::vector<std::unique_ptr<tomedb::TTomeBlobDecoder>> DocTextDecoders(int count);
    // Runs body as one write batch (lock held, one pair of disk syncs);
    // body's exceptions pass through after the batch is ended.
    void RunWriteBatch(const std::function<void()>& body);
    // Runs body with the file lock held (other processes wait), so that what
    // it reads stays what is stored while it writes; no batch of its own, so
    // a batch body opens is the outermost one and may commit part-way.
    void RunLocked(const std::function<void()>& body);

    // ---- TRecordStore (imports and exports) -----------------------------------------
    int AddRecord(int folderID, const TDocAttr& attr) override { return AddDoc(folderID, attr); }
    void ReadRecord(int id, TDocAttr& attr) override { GetDocAttr(id, attr); }
    // An export reads the name only and streams the text from the store to
    // the file, so a value of any size is never held whole.
    void ReadRecordHead(int id, TDocAttr& attr) override;
    bool WriteRecordText(int id, const TDocAttr& head, const QString& path, QString* error) override;
    void RemoveRecords(const QList<int>& ids) override { DeleteSelectedDocs(ids); }
    std::unique_ptr<tomedb::TTomeWriteBatch> BeginWrites() override;

    // ---- marks (DocDataMarks.cpp) ------------------------------------------------
    TViewItem AddMark(const TMark& mark);
    void UpdateMark(const TMark& mark, int selectedMarkID);
    void RenameMarkParent(int docID, const QString& name);
    // Marks of the selected manuscript, or of the whole library with none
    // selected; nullopt when no library is open (the list is left alone).
    std::optional<TViewItems> LoadMarkList(std::optional<int> selectedDocID);
    void DeleteMark(int markID);
    void DeleteDocMarks(int docID);
    bool GetMark(int markID, TMark& mark);

    // ---- pictures (DocDataPics.cpp) -----------------------------------------------
    // Attaches the file to the selected manuscript; EUserError when the path
    // does not fit the picPath field.
    TViewItem AddPicture(const QString& fileName, int selectedDocID);
    // Pictures of the selected manuscript; with none selected an empty list
    // and the preview is to be emptied (*clearImage = true).
    TViewItems LoadPicList(std::optional<int> selectedDocID, bool* clearImage = nullptr);
    // The file to load into the preview; empty when the record is gone,
    // EUserError when its file is gone (the preview keeps what it shows).
    QString ShowPicture(int selectedPicID);
    QList<int> DeleteSelectedPics(const QList<int>& selectedPicIDs);
    void DeleteDocPics(int docID);
    void RenamePicture(int picID, const QString& name);
    void AddDocPicsToZip(TZipFileList& zip, int docID);
    static QString PictureDisplayName(const QString& fileName);

    // ---- library list and maintenance (DocDataCenter.cpp) --------------------------
    void AddToDBCenter(const QString& fileName);
    QStringList GetDBCenterList();
    void RemoveFromDBCenter(const QString& name);
    QString GetDBCenterPath(const QString& name);
    void GetDocDataAttr(TDBAttr& attr);
    // The same attributes for any open database and its four tables (the
    // library centre's own objects).
    static void GatherDBAttr(tomedb::TTomeDatabase& db, tomedb::TTomeTable& folders, tomedb::TTomeTable& docs,
                             tomedb::TTomeTable& pics, tomedb::TTomeTable& marks, TDBAttr& attr);
    void SetDocDataComment(const QString& comment);
    bool IsEncrypted();
    bool ChangePassword(const QString& newPassword, bool encrypt);
    // True when the library was rebuilt; false when none is open or the
    // engine reported failure (its errors are raised).
    bool CompressDocData();
    bool RepairDocData();

    // Called with the library's path just before an open library is closed
    // (CloseDocData, or opening or creating another); the application takes
    // its closing snapshot there. Must not throw; the library is still open.
    std::function<void(const QString& path)> BeforeClose;

    // ---- engine state the application needs (DocDataFile.cpp) ---------------------
    // True once the tables of an open library can be used (the manuscript and
    // folder tables are open; marks and pictures open on first use).
    bool TablesOpen() const;
    // The password the open library was opened with (empty when none), so a
    // snapshot of it can be opened without asking again.
    std::string OpenedPassword() const;
    // Called with the percentage done while CompressDocData / RepairDocData
    // run; the call comes from the thread doing the rebuild. Empty to stop.
    void SetRebuildProgress(std::function<void(int percent)> onProgress);
    // Makes the library refuse writes as a read-only file does (also for root).
    void SetReadOnly(bool readOnly);

private:
    friend class TDocDataEngine;

    tomedb::TTomeDatabase TomeDB;
    tomedb::TTomeTable Doctable;
    tomedb::TTomeTable Flodertable;
    tomedb::TTomeTable Marktable;
    tomedb::TTomeTable Pictable;

    // The mark and picture tables open on first use, so that opening a
    // library reads only what its first screen shows (folders, manuscripts).
    // Inactive while no library is open.
    tomedb::TTomeTable& Marks() { return OpenOnFirstUse(Marktable); }
    tomedb::TTomeTable& Pics() { return OpenOnFirstUse(Pictable); }
    tomedb::TTomeTable& OpenOnFirstUse(tomedb::TTomeTable& table);
    void CheckTableHeader(const char* name);
    void CreateSchema();
    void NotifyClosing();
    void FillFolderNode(TViewNode& node);
    QList<int> CollectSubFolders(int folderID);
    TViewItem DocItem();
    TViewItem MarkItem();
    TViewItem PicItem();

    bool m_opened = false;
};
