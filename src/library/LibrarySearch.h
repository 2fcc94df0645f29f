// TLibrarySearch: find and replace across the manuscripts of the open library
// (the whole library or one folder with its sub-folders), with an undo of the
// last replace. No widgets: the dialog collects the query, calls this service
// and shows what it returns.
//
// Ownership: the application context owns one service beside the TqlvDocData
// and the TManuscriptSaves it works through (both must outlive it). Replace
// and undo save every manuscript through TManuscriptSaves, so counts, date,
// the day's writing log and the kept versions follow as for any save. The service keeps the previous texts of
// the last replace for UndoReplace until ForgetUndo(), which the application
// calls when the library closes; a different library open meanwhile also
// makes the undo do nothing.
//
// Threading: Find, PlanReplace, ApplyReplace and UndoReplace are meant to run
// on a worker thread. While one runs it is the only user of the TqlvDocData:
// the caller keeps everything else (editor saves, timers) away from the data
// layer until it returns. Progress is called on that worker thread with
// (done, total) manuscripts; setting the cancel flag from any thread stops the
// work at the next manuscript. Find spreads decoding and matching over a few
// threads of its own for the length of the call (SetDecodeThreads); results,
// progress and the first error come as from one thread working in order.
//
// Text: stored texts are decoded (GB18030 -> QString) and matched as text;
// each manuscript is read once. Lines end at LF (a CR before it is no part of
// the line); matching is per line, so hits never span a line end.
//
// Failures raise EUserError with the message the application shows (caption
// "在稿件库中查找"): an invalid regular expression (error and column), one that
// matches the empty string, a library file that is read-only or gone, texts
// changed between the plan and its application. An empty pattern finds and
// changes nothing. Engine errors (tomedb::EDatabaseError) pass through.
#pragma once

#include "library/LineMatcher.h"
#include "library/ManuscriptSaves.h"
#include "library/TqlvDocData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// What to look for ("查找内容" and the three check boxes).
struct TSearchQuery {
    QString Pattern;
    bool Regex = false;           // "正则表达式"
    bool CaseSensitive = false;   // "区分大小写"
    std::optional<int> FolderID;  // "仅当前稿件夹": this folder and below; none = every manuscript
};

// One hit: the manuscript, its line (from 1), that line's text without its
// line break, and the hit inside it (UTF-16 units of LineText).
struct TSearchHit {
    int DocID = 0;
    int FolderID = 0;  // the manuscript's folder (0: the top folder)
    QString DocName;
    int Line = 0;
    QString LineText;
    TTextSpan Span;
};

struct TSearchResult {
    std::vector<TSearchHit> Hits;  // by manuscript ID, then line and column
    int HitCount = 0;
    int DocCount = 0;        // manuscripts with at least one hit
    bool Cancelled = false;  // the hits found before the cancel
    // "共找到 N 处，分布在 M 篇稿件中"
    QString Summary() const;
};

// Progress and cancel of a long operation; both optional.
struct TSearchControl {
    std::function<void(int done, int total)> Progress;
    const std::atomic_bool* Cancel = nullptr;
    bool Cancelled() const { return Cancel && Cancel->load(std::memory_order_relaxed); }
};

// One manuscript a replace changes: its texts before and after.
struct TReplaceChange {
    int DocID = 0;
    QString DocName;
    QString OldText;
    QString NewText;
    int Hits = 0;
};

// What "全部替换" would do ("将替换 N 处，涉及 M 篇稿件。"): computed first,
// applied by ApplyReplace. Skipped names manuscripts with hits whose stored
// bytes are not well-formed GB18030: saving them would alter bytes outside
// the hits, so they are left alone.
struct TReplacePlan {
    std::vector<TReplaceChange> Changes;
    int HitCount = 0;
    QStringList Skipped;
    bool Cancelled = false;  // an incomplete plan, not to be applied
    int DocCount() const { return int(Changes.size()); }
    // "将替换 N 处，涉及 M 篇稿件。"
    QString Question() const;
};

struct TReplaceOutcome {
    int HitCount = 0;
    int DocCount = 0;
    bool Cancelled = false;  // stopped before the first write: nothing changed
};

// What UndoReplace did: the manuscripts put back, and those left alone
// because they changed after the replace (Message names them; empty when none).
struct TUndoOutcome {
    int Restored = 0;
    QStringList Refused;
    QString Message;
};

class TLibrarySearch {
public:
    TLibrarySearch(TqlvDocData& data, TManuscriptSaves& saves);

    // Whether replace and undo keep the replaced texts as versions (the
    // "保留历史版本" option); on by default.
    void SetKeepHistory(bool keep) { m_keepHistory = keep; }
    // Threads Find decodes and matches texts on while the calling thread
    // reads them: -1 (the default) chooses by the machine's cores, 0 does
    // everything on the calling thread.
    void SetDecodeThreads(int threads) { m_decodeThreads = threads; }

    TSearchResult Find(const TSearchQuery& query, const TSearchControl& control = {});

    // Reads every manuscript in scope once and computes the new texts;
    // changes nothing.
    TReplacePlan PlanReplace(const TSearchQuery& query, const QString& replacement, const TSearchControl& control = {});
    // Saves every changed manuscript through the normal save path in one
    // write batch, all or nothing: it first checks the file and that every
    // planned text is still what was read (a cancel is honoured up to here),
    // then writes; a failing write puts back what was written and raises.
    // The previous texts become the undo.
    TReplaceOutcome ApplyReplace(const TReplacePlan& plan, const TSearchControl& control = {});

    bool CanUndo() const { return !m_undo.empty(); }
    // Puts back the texts of the last replace, byte for byte, except in the
    // manuscripts changed since (left alone, named in the outcome). The undo
    // is used up either way.
    TUndoOutcome UndoReplace();
    void ForgetUndo();

private:
    struct TUndoEntry {
        int DocID = 0;
        QString DocName;
        QString OldText;
        QByteArray WrittenHash;  // of the text the replace wrote
    };

    void RequireWritableLibrary(const QString& action) const;
    void SaveText(int docID, const QString& text);
    static TDocAttr CountedAttr(const QString& text);
    TSaveOptions ReplaceOptions() const;

    TqlvDocData& m_data;
    TManuscriptSaves& m_saves;
    bool m_keepHistory = true;
    int m_decodeThreads = -1;
    std::vector<TUndoEntry> m_undo;
    QString m_undoLibrary;
};
