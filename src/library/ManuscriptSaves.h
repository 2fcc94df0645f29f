// TManuscriptSaves: the one save path of a manuscript's text for every caller
// (the save command, the auto-save tick, a replace across the library, a
// restore). Save writes the manuscript through TqlvDocData::SaveDoc and around
// it keeps the replaced text as a version (DocHistory.h) and adds the change
// in counts to the day's row of the writing log (WriteLog.h); all in one
// write batch. DeleteDocs and DeleteFolder delete manuscripts with their versions (their log
// rows stay). Restore brings a version back as a save that keeps the current
// text first.
//
// Owned by the application context, one per TqlvDocData, with the writing
// services it hands out. Failures: EUserError for a version that is damaged
// or gone; engine errors pass through. A damaged log or history row never
// stops a save (it is skipped with a trace note).
#pragma once

#include "library/DocHistory.h"
#include "library/WriteLog.h"
#include "library/WritingGoals.h"
#include "library/WritingTables.h"

#include <QHash>

#include <functional>
#include <span>

struct TDocSave {
    int DocID = 0;
    TDocAttr Attr;
};

struct TSaveOptions {
    int TypingSeconds = 0;      // from the editor's TTypingTimer
    bool ForceVersion = false;  // replace across the library, restore: always keep a version
    bool KeepHistory = true;    // the "保留历史版本" option
};

class TManuscriptSaves {
public:
    // clock: tomedb::Now when empty (tests inject one to cross midnight).
    explicit TManuscriptSaves(TqlvDocData& data, TClock clock = {});

    // Saves attr (size, counts, text) as TqlvDocData::SaveDoc does, keeping
    // the replaced text as a version when it changed (unless a version was
    // kept less than two minutes ago and the save is not forced) and logging
    // the deltas of the counts. Nothing when docID does not exist.
    void Save(int docID, const TDocAttr& attr, const TSaveOptions& options = {});
    // Saves several manuscripts as Save does each, in one write batch, with
    // every version kept and made durable before any new text is written: a
    // power cut part-way leaves no new text without its replaced one kept
    // (a bulk edit stays undoable). The part-way commit needs this batch to
    // be the outermost one (inside another batch the versions are kept but
    // commit with it). written(i) is called once saves[i] is written; a
    // failure raises after the texts written so far.
    void SaveAll(std::span<const TDocSave> saves, const TSaveOptions& options,
                 const std::function<void(size_t)>& written = {});
    // The text of the version, saved as the manuscript's text (counts from
    // `counted`, which the caller fills from the version text with its
    // counter); the current text is kept as a version first. Returns the
    // restored text. EUserError when the version is damaged or gone.
    QString Restore(int docID, int versionID, TDocAttr counted, const TSaveOptions& options = {});
    // TqlvDocData::DeleteSelectedDocs plus the versions of the deleted manuscripts.
    QList<int> DeleteDocs(const QList<int>& docIDs);
    // TqlvDocData::DeleteFolder plus the versions of the manuscripts it deleted.
    QList<int> DeleteFolder(int folderID);

    TWriteLog& Log() { return m_log; }
    TDocHistory& History() { return m_history; }
    TWritingGoals& Goals() { return m_goals; }

    static constexpr double kVersionGapDays = 2.0 / (24 * 60);  // two minutes
    // The gap between kept versions of one manuscript (kVersionGapDays unless
    // changed; the application shortens it only for its tests).
    void SetVersionGap(double days) { m_versionGap = days; }

private:
    struct TPrevious {
        TKeptText Text;  // its stored form (or bytes); read only for history
        int Chinese = 0;
        int English = 0;
        tomedb::TDateTime SavedAt = 0;
    };
    bool ReadPrevious(int docID, bool withText, TPrevious& previous);
    bool KeepVersion(int docID, const TPrevious& previous, const std::string& newText, const TSaveOptions& options,
                     tomedb::TDateTime now);
    void WriteText(int docID, const TDocAttr& attr, const std::string& text, const TPrevious& previous,
                   const TSaveOptions& options, tomedb::TDateTime now);
    void ThinAfterKeeping(int docID, tomedb::TDateTime keptSavedAt, tomedb::TDateTime now);
    void ForgetDocs(const QList<int>& removed);
    bool WantsVersion(int docID, const TPrevious& previous, const std::string& newText, const TSaveOptions& options,
                      tomedb::TDateTime now);

    TqlvDocData& m_data;
    TClock m_clock;
    double m_versionGap = kVersionGapDays;
    TWritingTables m_tables;
    TWriteLog m_log;
    TDocHistory m_history;
    TWritingGoals m_goals;
    QString Key(int docID) const;
    // When each manuscript's text was last saved in this session (the record
    // keeps only the day), and its newest version; by library and ID.
    QHash<QString, tomedb::TDateTime> m_savedAt;
    QHash<QString, tomedb::TDateTime> m_lastKept;
    // When thinning a manuscript's versions can next drop one (NextThinning;
    // 0: never while nothing is kept).
    QHash<QString, tomedb::TDateTime> m_thinDue;
};
