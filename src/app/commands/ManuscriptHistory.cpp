// 稿件 ▸ 历史版本…: the part of TManuscriptCommands that lists the open
// manuscript's versions and brings one back.
#include "app/commands/TManuscriptCommands.h"

#include <QCoreApplication>
#include "app/TAppContext.h"
#include "app/TStatusPanels.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/dialogs/TfrmHistory.h"
#include "editor/TqlvEditor.h"
#include "editor/WordCount.h"
#include "library/ManuscriptSaves.h"
#include "library/UserError.h"
#include "platform/DialogService.h"
#include "platform/TextCodec.h"
#include "settings/OptionValues.h"

using commandsteps::RunStep;

namespace {

const char kCaption[] = QT_TRANSLATE_NOOP("Commands", "历史版本");  // translated where shown

}  // namespace

std::vector<THistoryEntry> TManuscriptCommands::ReadHistory(TDocHistory& history, int docID) {
    std::vector<THistoryEntry> entries;
    for (const TDocVersion& version : history.Versions(docID))
        entries.push_back({version, std::nullopt});
    return entries;
}

std::function<std::optional<QString>(int)> TManuscriptCommands::VersionTextReader(TDocHistory& history, int docID) {
    return [&history, docID](int versionID) -> std::optional<QString> {
        try {
            return history.Text(docID, versionID);
        } catch (const EUserError&) {
            return std::nullopt;
        }
    };
}

namespace {

// What a save stores of a text: size, counts and the text.
TDocAttr AttributesOf(const QString& text) {
    const TWordCount counts = CountWordsIn(text);
    TDocAttr attr;
    attr.DocSize = QString::number(ToGB(text).size());
    attr.cnCount = QString::number(counts.Chinese);
    attr.enCount = QString::number(counts.English);
    attr.Txt = text;
    return attr;
}

}  // namespace

void TManuscriptCommands::munFileHistoryClick() {
    if (!LibraryOpen() || !Editor().IsEnabled())
        return;
    int docID = 0;
    std::vector<THistoryEntry> versions;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kCaption), [&] {
            docID = Editor().GetDocumentId();
            versions = ReadHistory(m_context.Saves().History(), docID);
        }))
        return;
    TfrmHistory dialog(std::move(versions), Editor().GetText(), VersionTextReader(m_context.Saves().History(), docID),
                       m_main.Window());
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return;
    if (const std::optional<int> chosen = dialog.ChosenVersionID())
        RestoreVersion(docID, *chosen);
}

// The editor's text, saved if changed, becomes a version; the chosen one is
// saved as the manuscript's text and replaces the editor's as one undo step.
void TManuscriptCommands::RestoreVersion(int docID, int versionID) {
    QString restored;
    const bool done = RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kCaption), [&] {
        if (Editor().IsModified())
            SaveBoundManuscript();
        const QString text = m_context.Saves().History().Text(docID, versionID);
        TSaveOptions options;
        options.KeepHistory = ReadKeepHistory(m_context.RegConfig());
        restored = m_context.Saves().Restore(docID, versionID, AttributesOf(text), options);
    });
    if (!done)
        return;
    Editor().ReplaceAllText(restored);
    Editor().SetModified(false);
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：保存"));
}
