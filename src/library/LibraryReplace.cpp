// TLibrarySearch: replace across the library and its undo.
#include "library/LibrarySearch.h"

#include "editor/WordCount.h"
#include "library/LibrarySearchText.h"
#include "platform/TextCodec.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

using namespace librarysearch;

namespace {

const QString kCaption = QStringLiteral("在稿件库中查找");

QByteArray HashOf(const QString& text) {
    return QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(sizeof(char16_t))),
        QCryptographicHash::Sha1);
}

QString NameList(const QStringList& names) {
    return QStringLiteral("“") + names.join(QStringLiteral("”、“")) + QStringLiteral("”");
}

}  // namespace

QString TReplacePlan::Question() const {
    return QStringLiteral("将替换 %1 处，涉及 %2 篇稿件。").arg(HitCount).arg(DocCount());
}

TReplacePlan TLibrarySearch::PlanReplace(const TSearchQuery& query, const QString& replacement,
                                         const TSearchControl& control) {
    TReplacePlan plan;
    const TLineMatcher matcher(query.Pattern, query.Regex, query.CaseSensitive);
    if (matcher.IsEmpty())
        return plan;
    const std::optional<QList<int>> folders = ScopeFolders(m_data, query.FolderID);
    if (!folders)
        return plan;
    TProgressStep progress(control);
    m_data.ScanDocTexts(*folders, [&](const TStoredDocText& doc) {
        if (control.Cancelled()) {
            plan.Cancelled = true;
            return false;
        }
        progress.Step(doc.Index + 1, doc.Count);
        const char* const text = doc.Text->data();
        if (!matcher.RequiredBytes().FindIn(text, text + doc.Text->size()))
            return true;
        TReplaceChange change;
        change.OldText = FromGB(QByteArray::fromRawData(doc.Text->data(), int(doc.Text->size())));
        change.NewText = ReplaceInText(matcher, change.OldText, replacement, &change.Hits);
        if (change.Hits == 0)
            return true;
        if (ToGB(change.OldText).toStdString() != *doc.Text) {
            plan.Skipped << doc.Name;  // its undo could not give the same bytes back
            return true;
        }
        change.DocID = doc.ID;
        change.DocName = doc.Name;
        plan.HitCount += change.Hits;
        plan.Changes.push_back(std::move(change));
        return true;
    });
    return plan;
}

TReplaceOutcome TLibrarySearch::ApplyReplace(const TReplacePlan& plan, const TSearchControl& control) {
    TReplaceOutcome outcome;
    if (plan.Cancelled || plan.Changes.empty()) {
        outcome.Cancelled = plan.Cancelled;
        return outcome;
    }
    RequireWritableLibrary(QStringLiteral("替换"));
    TProgressStep progress(control);
    const int total = plan.DocCount() * 2;
    m_data.RunLocked([&] {
        // Under the lock: what was planned is still what is stored.
        QStringList changed;
        for (size_t i = 0; i < plan.Changes.size(); ++i) {
            if (control.Cancelled()) {
                outcome.Cancelled = true;
                return;
            }
            const TReplaceChange& change = plan.Changes[i];
            if (m_data.LoadDocText(change.DocID) != change.OldText)
                changed << change.DocName;
            progress.Step(int(i) + 1, total);
        }
        if (!changed.isEmpty())
            throw EUserError(QStringLiteral("这些稿件在查找之后又被修改或删除了，没有替换任何内容，请重新查找：\n") +
                                 NameList(changed),
                             kCaption, 2);
        std::vector<TDocSave> saves;
        for (const TReplaceChange& change : plan.Changes)
            saves.push_back({change.DocID, CountedAttr(change.NewText)});
        size_t written = 0;
        try {
            m_saves.SaveAll(saves, ReplaceOptions(), [&](size_t i) {
                written = i + 1;
                progress.Step(plan.DocCount() + int(written), total);
            });
        } catch (...) {
            // All or nothing: what was written goes back before the error is raised.
            for (size_t i = 0; i < written; ++i) {
                try {
                    SaveText(plan.Changes[i].DocID, plan.Changes[i].OldText);
                } catch (...) {
                    // The first error is the one to report.
                }
            }
            throw;
        }
    });
    if (outcome.Cancelled)
        return outcome;
    m_undo.clear();
    for (const TReplaceChange& change : plan.Changes)
        m_undo.push_back({change.DocID, change.DocName, change.OldText, HashOf(change.NewText)});
    m_undoLibrary = m_data.GetDocDataName();
    outcome.HitCount = plan.HitCount;
    outcome.DocCount = plan.DocCount();
    return outcome;
}

TUndoOutcome TLibrarySearch::UndoReplace() {
    TUndoOutcome outcome;
    if (m_undo.empty() || !m_data.Opened() || m_data.GetDocDataName() != m_undoLibrary) {
        ForgetUndo();
        return outcome;
    }
    RequireWritableLibrary(QStringLiteral("撤销替换"));
    std::vector<bool> done(m_undo.size());
    try {
        m_data.RunLocked([&] {
            std::vector<TDocSave> saves;
            std::vector<size_t> entries;
            for (size_t i = 0; i < m_undo.size(); ++i) {
                const TUndoEntry& entry = m_undo[i];
                if (HashOf(m_data.LoadDocText(entry.DocID)) != entry.WrittenHash) {
                    outcome.Refused << entry.DocName;
                    done[i] = true;  // refused again on a later try: nothing to keep it for
                    continue;
                }
                saves.push_back({entry.DocID, CountedAttr(entry.OldText)});
                entries.push_back(i);
            }
            m_saves.SaveAll(saves, ReplaceOptions(), [&](size_t i) {
                done[entries[i]] = true;
                ++outcome.Restored;
            });
        });
    } catch (...) {
        // What was put back is no longer to be undone; the rest still is.
        std::vector<TUndoEntry> left;
        for (size_t i = 0; i < m_undo.size(); ++i)
            if (!done[i])
                left.push_back(m_undo[i]);
        m_undo = std::move(left);
        throw;
    }
    ForgetUndo();
    if (!outcome.Refused.isEmpty())
        outcome.Message = QStringLiteral("这些稿件在替换之后又被修改或删除了，没有撤销：\n") +
                          NameList(outcome.Refused) + QStringLiteral("\n其余 %1 篇稿件已恢复。").arg(outcome.Restored);
    return outcome;
}

void TLibrarySearch::ForgetUndo() {
    m_undo.clear();
    m_undoLibrary.clear();
}

// A file gone keeps taking writes through the open handle, and they vanish
// when it closes; a file marked read-only is refused even where the process
// could write it anyway (as root).
void TLibrarySearch::RequireWritableLibrary(const QString& action) const {
    const QString path = m_data.GetDocDataName();
    const QFileInfo info(path);
    if (!info.exists())
        throw EUserError(QStringLiteral("稿件库文件已被移走或删除，无法%1：\n").arg(action) + path, kCaption, 2);
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!info.isWritable() || !(info.permissions() & writeBits))
        throw EUserError(QStringLiteral("稿件库文件是只读的，无法%1：\n").arg(action) + path, kCaption, 2);
}

// The texts replace and undo save go through the normal save path (size,
// counts, date and text, the day's log, and a version of the text each
// replaces, always kept for a bulk edit).
TDocAttr TLibrarySearch::CountedAttr(const QString& text) {
    const TWordCount counts = CountWordsIn(text);
    TDocAttr attr;
    attr.DocSize = QString::number(GBLength(text));
    attr.cnCount = QString::number(counts.Chinese);
    attr.enCount = QString::number(counts.English);
    attr.Txt = text;
    return attr;
}

TSaveOptions TLibrarySearch::ReplaceOptions() const {
    TSaveOptions options;
    options.ForceVersion = true;
    options.KeepHistory = m_keepHistory;
    return options;
}

void TLibrarySearch::SaveText(int docID, const QString& text) {
    m_saves.Save(docID, CountedAttr(text), ReplaceOptions());
}
