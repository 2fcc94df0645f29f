// TAppContext: the services of one running application, created before the
// main window and destroyed after it: the manuscript library (DocData), the
// materials store (Documents), the registry preferences (RegConfig), the
// Config.ini layout (IniConfig), the automatic library snapshots (Backups),
// the one save path of manuscripts with versions, the writing log and goals
// (Saves, on the library DocData has open),
// find and replace across the library with its undo (LibrarySearch,
// forgotten when a library closes)
// the dialog service through which every question to the user goes, and the
// skin the application draws in (Skin; the Qt dialog service draws in it while
// the context lives). TQuilloraApp owns it; the window and its command groups
// keep a reference. Constructing it opens Documents.tdb (creating it when missing); an engine error
// there propagates to the caller.
//
// QUILLORA_VERSION_GAP_SECONDS, when set to a number, replaces the two
// minutes Saves waits between kept versions of one manuscript. Only the
// window journeys set it, to keep versions of saves made seconds apart.
#pragma once

#include <memory>

class TBackupService;
class TDialogService;
class TLibrarySearch;
class TManuscriptSaves;
class TSkin;
class TqlvDocData;
class TqlvDocuments;
class TqlvIniConfig;
class TqlvRegConfig;

class TAppContext {
public:
    TAppContext();
    ~TAppContext();
    TAppContext(const TAppContext&) = delete;
    TAppContext& operator=(const TAppContext&) = delete;

    TqlvDocData& DocData() const { return *m_docData; }
    TqlvDocuments& Documents() const { return *m_documents; }
    TqlvRegConfig& RegConfig() const { return *m_regConfig; }
    TqlvIniConfig& IniConfig() const { return *m_iniConfig; }
    TBackupService& Backups() const { return *m_backups; }
    TManuscriptSaves& Saves() const { return *m_saves; }
    TLibrarySearch& LibrarySearch() const { return *m_search; }
    // The dialog service every question of the application goes through
    // (the Qt one, or a test's scripted one): the commands ask through it and
    // hand it to the dialogs they make.
    TDialogService& Dialogs() const;
    // The skin every window and dialog of the application draws in.
    TSkin& Skin() const { return *m_skin; }

private:
    std::unique_ptr<TSkin> m_skin;
    std::unique_ptr<TqlvDocData> m_docData;
    // Its tables attach to DocData's database: it goes before it.
    std::unique_ptr<TManuscriptSaves> m_saves;
    std::unique_ptr<TqlvDocuments> m_documents;
    std::unique_ptr<TqlvRegConfig> m_regConfig;
    std::unique_ptr<TqlvIniConfig> m_iniConfig;
    std::unique_ptr<TLibrarySearch> m_search;
    // Last: it hooks into DocData and must go before it.
    std::unique_ptr<TBackupService> m_backups;
};
