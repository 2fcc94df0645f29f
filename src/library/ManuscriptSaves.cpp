#include "library/ManuscriptSaves.h"

#include "library/DocDataEngine.h"
#include "library/TableAccess.h"

#include <algorithm>
#include <exception>
#include <optional>

using namespace tableaccess;

namespace {

// Extra bookkeeping must never cost the user the save itself: a damaged
// log or history record is noted and the save goes on.
template <typename Body>
void Besides(const char* what, tomedb::TTomeTable& table, Body&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        qWarning("%s: not updated (%s)", what, error.what());
        try {
            table.Cancel();
        } catch (const std::exception&) {
        }
    }
}

// The text field of docs' current record in its stored form (its bytes when
// the engine gives none): a save decodes it only when it cannot tell it from
// the new text otherwise, or cannot copy it as it is.
void ReadStoredText(tomedb::TTomeTable& docs, TKeptText& text) {
    const int field = docs.FieldByName("Txt").Index();
    std::optional<std::string> stored = docs.StoredBlobValue(field);
    if (!stored) {
        text.Bytes = docs.FieldByName("Txt").AsString();
        return;
    }
    text.Stored = std::move(*stored);
    text.From = &docs;
    text.FromField = field;
}

// An empty text is stored as nothing, so either form tells emptiness at once.
bool IsEmpty(const TKeptText& text) { return text.From ? text.Stored.empty() : text.Bytes.empty(); }

// A replaced text that cannot be decoded differs from any new text: it is
// kept as it is stored (and listed as damaged) rather than dropped.
bool Unchanged(const TKeptText& text, const std::string& newText) {
    try {
        return text.Is(newText);
    } catch (const std::exception& error) {
        qWarning("Docs: replaced text unreadable (%s)", error.what());
        return false;
    }
}

const TViewNode* FindNode(const TViewNode& node, int folderID) {
    if (node.ID == folderID)
        return &node;
    for (const TViewNode& child : node.Children)
        if (const TViewNode* found = FindNode(child, folderID))
            return found;
    return nullptr;
}

// The manuscripts of a folder and of every folder below it.
void CollectDocs(TqlvDocData& data, const TViewNode& folder, QList<int>& docs) {
    for (const TViewItem& item : data.LoadDocList(folder.ID))
        docs << item.ID;
    for (const TViewNode& child : folder.Children)
        CollectDocs(data, child, docs);
}

}  // namespace

TManuscriptSaves::TManuscriptSaves(TqlvDocData& data, TClock clock)
    : m_data(data), m_clock(clock ? std::move(clock) : TClock(tomedb::Now)), m_tables(data), m_log(m_tables, m_clock),
      m_history(m_tables, m_clock), m_goals(m_tables, m_clock) {}

QString TManuscriptSaves::Key(int docID) const {
    return m_data.GetDocDataName() + QLatin1Char('|') + QString::number(docID);
}

bool TManuscriptSaves::ReadPrevious(int docID, bool withText, TPrevious& previous) {
    tomedb::TTomeTable& docs = TDocDataEngine::Docs(m_data);
    if (!FindByID(docs, docID))
        return false;
    RecordReadable("Docs", [&] {
        previous.Chinese = FieldInt(docs, "cnCount");
        previous.English = FieldInt(docs, "enCount");
        previous.SavedAt = docs.FieldByName("DocMDate").AsDateTime();
    });
    // Only history wants the old text; the log does with the counts. It is
    // read once in its stored form, which a kept version copies as it is.
    if (withText)
        RecordReadable("Docs", [&] { ReadStoredText(docs, previous.Text); });
    previous.SavedAt = m_savedAt.value(Key(docID), previous.SavedAt);
    return true;
}

bool TManuscriptSaves::WantsVersion(int docID, const TPrevious& previous, const std::string& newText,
                                    const TSaveOptions& options, tomedb::TDateTime now) {
    // Equal bytes are equal texts; bytes that do not decode cleanly differ
    // from any text re-encoded, so they are kept rather than lost.
    if (!options.KeepHistory || IsEmpty(previous.Text) || Unchanged(previous.Text, newText))
        return false;
    if (options.ForceVersion)
        return true;
    const QString key = Key(docID);
    if (!m_lastKept.contains(key))
        m_lastKept.insert(key, m_history.NewestSavedAt(docID));
    const tomedb::TDateTime lastKept = m_lastKept.value(key);
    return lastKept == 0 || now - lastKept >= m_versionGap;
}

void TManuscriptSaves::Save(int docID, const TDocAttr& attr, const TSaveOptions& options) {
    if (!m_data.Opened())
        return;
    m_tables.EnsureForWriting();
    tomedb::TTomeWriteBatch batch(TDocDataEngine::Database(m_data));
    TPrevious previous;
    if (!ReadPrevious(docID, options.KeepHistory, previous))
        return;
    const tomedb::TDateTime now = m_clock();
    const std::string text = Bytes(attr.Txt);
    // The version is on disk before any byte of the new text is written
    // (the same sync the text's write would pay first), so a power cut
    // leaves the save with its version, the version alone, or neither;
    // never the new text with the replaced one lost.
    if (KeepVersion(docID, previous, text, options, now)) {
        batch.CommitAppends();
        ThinAfterKeeping(docID, previous.SavedAt, now);
    }
    WriteText(docID, attr, text, previous, options, now);
    batch.Finish();
}

void TManuscriptSaves::SaveAll(std::span<const TDocSave> saves, const TSaveOptions& options,
                               const std::function<void(size_t)>& written) {
    if (!m_data.Opened() || saves.empty())
        return;
    m_tables.EnsureForWriting();
    tomedb::TTomeWriteBatch batch(TDocDataEngine::Database(m_data));
    const tomedb::TDateTime now = m_clock();
    std::vector<TPrevious> previous(saves.size());
    std::vector<std::string> texts(saves.size());
    std::vector<bool> found(saves.size()), kept(saves.size());
    for (size_t i = 0; i < saves.size(); ++i) {
        found[i] = ReadPrevious(saves[i].DocID, options.KeepHistory, previous[i]);
        texts[i] = Bytes(saves[i].Attr.Txt);
        kept[i] = found[i] && KeepVersion(saves[i].DocID, previous[i], texts[i], options, now);
    }
    // Every version on disk before the first new text, as Save does for one.
    batch.CommitAppends();
    for (size_t i = 0; i < saves.size(); ++i)
        if (kept[i])
            ThinAfterKeeping(saves[i].DocID, previous[i].SavedAt, now);
    for (size_t i = 0; i < saves.size(); ++i) {
        if (found[i])
            WriteText(saves[i].DocID, saves[i].Attr, texts[i], previous[i], options, now);
        if (written)
            written(i);
    }
    batch.Finish();
}

// Keeps the replaced text as a version when the save wants one; true when
// it was kept.
bool TManuscriptSaves::KeepVersion(int docID, const TPrevious& previous, const std::string& newText,
                                   const TSaveOptions& options, tomedb::TDateTime now) {
    if (!options.KeepHistory || !WantsVersion(docID, previous, newText, options, now))
        return false;
    bool kept = false;
    Besides("DocHistory", m_tables.DocHistory, [&] {
        m_history.Keep(docID, previous.SavedAt, previous.Chinese, previous.Text);
        kept = true;
    });
    if (kept)
        m_lastKept.insert(Key(docID), previous.SavedAt);
    return kept;
}

// The new text with its counts, and the change in counts on the day's log.
void TManuscriptSaves::WriteText(int docID, const TDocAttr& attr, const std::string& text, const TPrevious& previous,
                                 const TSaveOptions& options, tomedb::TDateTime now) {
    m_data.SaveDocBytes(docID, attr, text);
    Besides("WriteLog", m_tables.WriteLog, [&] {
        m_log.Add(docID, attr.cnCount.toInt() - previous.Chinese, attr.enCount.toInt() - previous.English,
                  options.TypingSeconds);
    });
    m_savedAt.insert(Key(docID), now);
}

// Keeping a version younger than six days changes nothing the keeping rule
// decides about the others (it shares no day or month with any version old
// enough to be dropped), so the versions are thinned only when time has made
// the rule answer otherwise or the kept text is older.
void TManuscriptSaves::ThinAfterKeeping(int docID, tomedb::TDateTime keptSavedAt, tomedb::TDateTime now) {
    const QString key = Key(docID);
    if (keptSavedAt >= now - 6 && m_thinDue.contains(key)) {
        const tomedb::TDateTime due = m_thinDue.value(key);
        if (due == 0 || now < due) {
            const tomedb::TDateTime turns = keptSavedAt + 7;
            m_thinDue.insert(key, due == 0 ? turns : std::min(due, turns));
            return;
        }
    }
    Besides("DocHistory", m_tables.DocHistory, [&] { m_thinDue.insert(key, m_history.Thin(docID)); });
}

QString TManuscriptSaves::Restore(int docID, int versionID, TDocAttr counted, const TSaveOptions& options) {
    counted.Txt = m_history.Text(docID, versionID);
    TSaveOptions forced = options;
    forced.ForceVersion = true;
    forced.KeepHistory = true;  // restoring never loses the text it replaces
    Save(docID, counted, forced);
    return counted.Txt;
}

QList<int> TManuscriptSaves::DeleteDocs(const QList<int>& docIDs) {
    const QList<int> removed = m_data.DeleteSelectedDocs(docIDs);
    ForgetDocs(removed);
    return removed;
}

QList<int> TManuscriptSaves::DeleteFolder(int folderID) {
    QList<int> docs;
    const TViewNode tree = folderID > 0 ? m_data.LoadFolderTree() : TViewNode{};
    if (const TViewNode* node = folderID > 0 ? FindNode(tree, folderID) : nullptr)
        CollectDocs(m_data, *node, docs);
    m_data.DeleteFolder(folderID);
    ForgetDocs(docs);
    return docs;
}

void TManuscriptSaves::ForgetDocs(const QList<int>& removed) {
    m_history.DeleteVersions(removed);
    for (int docID : removed) {
        m_lastKept.remove(Key(docID));
        m_savedAt.remove(Key(docID));
        m_thinDue.remove(Key(docID));
    }
}
