#include "app/commands/TBookCommands.h"

#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/dialogs/TfrmBookOutput.h"
#include "library/TqlvDocData.h"
#include "output/BookOutput.h"
#include "platform/DialogService.h"
#include "settings/BookOutputSettings.h"
#include "settings/RegConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const char kCaption[] = QT_TRANSLATE_NOOP("Commands", "输出书稿");  // translated where shown

// How often, at most, a running build lets the window repaint and see 取消.
constexpr qint64 kEventsEveryMs = 40;

TBookScope::Kind ScopeOf(int stored) {
    switch (stored) {
        case TBookOutputSettings::SelectedFolder:
            return TBookScope::Kind::Folder;
        case TBookOutputSettings::SelectedManuscripts:
            return TBookScope::Kind::Manuscripts;
        default:
            return TBookScope::Kind::Library;
    }
}

int StoredScope(TBookScope::Kind kind) {
    switch (kind) {
        case TBookScope::Kind::Folder:
            return TBookOutputSettings::SelectedFolder;
        case TBookScope::Kind::Manuscripts:
            return TBookOutputSettings::SelectedManuscripts;
        case TBookScope::Kind::Library:
            break;
    }
    return TBookOutputSettings::WholeLibrary;
}

// The progress window of one build; its 取消 only sets wasCanceled().
class TBookProgressWindow {
public:
    explicit TBookProgressWindow(QWidget* parent)
        : m_dialog(QCoreApplication::translate("Commands", "正在输出书稿……"), QString(), 0, kSteps, parent) {
        m_dialog.setObjectName(QStringLiteral("frmBookProgress"));
        m_dialog.setWindowTitle(QCoreApplication::translate("Commands", kCaption));
        m_dialog.setAccessibleName(QCoreApplication::translate("Commands", kCaption));
        auto* cancel = new QPushButton(QCoreApplication::translate("Commands", "取消"));
        cancel->setObjectName(QStringLiteral("btnCancel"));
        cancel->setAccessibleName(QCoreApplication::translate("Commands", "取消"));
        m_dialog.setCancelButton(cancel);
        if (auto* bar = m_dialog.findChild<QProgressBar*>())
            bar->setAccessibleName(QCoreApplication::translate("Commands", "输出进度"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setMinimumDuration(0);
        m_dialog.setValue(0);
        m_dialog.show();
    }

    // The build's progress callback: shows (done, total) and says whether to
    // go on. Pending events run at the first call and then every few tens of
    // milliseconds, so the window stays live without slowing a large build.
    bool Step(qint64 done, qint64 total) {
        if (!m_clock.isValid() || m_clock.elapsed() >= kEventsEveryMs) {
            m_dialog.setValue(total > 0 ? static_cast<int>(done * kSteps / total) : 0);
            QCoreApplication::processEvents();
            m_clock.start();
        }
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
};

}  // namespace

TBookCommands::TBookCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

void TBookCommands::munDocBookClick() {
    if (!m_context.DocData().Opened())
        return;
    TfrmBookOutput dialog(m_context.Dialogs(), m_main.Window());
    dialog.SetSelection(SelectedFolderName(), static_cast<int>(SelectedManuscriptIDs().size()));
    dialog.SetChoice(RememberedChoice());
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return;
    const TBookOutputChoice choice = dialog.Choice();
    Remember(choice);
    const TBookRequest request = RequestFor(choice);
    int chapters = 0;
    if (Build(request, &chapters))
        m_context.Dialogs().Inform(QCoreApplication::translate("TBookCommands", "书稿已输出到“%1”，共 %2 章。")
                                       .arg(QDir::toNativeSeparators(QFileInfo(request.Path).absoluteFilePath()))
                                       .arg(chapters),
                                   QCoreApplication::translate("Commands", kCaption));
}

TBookOutputChoice TBookCommands::RememberedChoice() const {
    const QString library = m_context.DocData().GetDocDataName();
    const TBookOutputSettings saved = ReadBookOutputSettings(m_context.RegConfig().Registry(), library);
    TBookOutputChoice choice;
    choice.What = ScopeOf(saved.What);
    choice.Format = BookFormatOfPath(QStringLiteral("book.") + saved.Format).value_or(TBookFormat::Epub);
    choice.Page = saved.A4 ? TBookPage::A4 : TBookPage::A5;
    choice.Title = saved.Title.isEmpty() ? QFileInfo(library).completeBaseName() : saved.Title;
    choice.Author = saved.Author;
    choice.Path =
        saved.Output.isEmpty() ? QFileInfo(library).absolutePath() + QLatin1Char('/') + choice.Title : saved.Output;
    return choice;
}

void TBookCommands::Remember(const TBookOutputChoice& choice) const {
    TBookOutputSettings settings;
    settings.What = StoredScope(choice.What);
    settings.Format = BookFormatExtension(choice.Format).mid(1);
    settings.A4 = choice.Page == TBookPage::A4;
    settings.Title = choice.Title;
    settings.Author = choice.Author;
    settings.Output = choice.Path;
    WriteBookOutputSettings(m_context.RegConfig().Registry(), m_context.DocData().GetDocDataName(), settings);
}

TBookRequest TBookCommands::RequestFor(const TBookOutputChoice& choice) const {
    TBookRequest request;
    request.Scope.ScopeKind = choice.What;
    if (choice.What == TBookScope::Kind::Folder)
        request.Scope.FolderID = SelectedFolderID();
    if (choice.What == TBookScope::Kind::Manuscripts)
        request.Scope.ManuscriptIDs = SelectedManuscriptIDs();
    request.Title = choice.Title;
    request.Author = choice.Author;
    request.Path = choice.Path;
    request.Format = choice.Format;
    request.Page = choice.Page;
    return request;
}

bool TBookCommands::Build(const TBookRequest& request, int* chapters) {
    bool cancelled = false;
    const bool built =
        commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kCaption), [&] {
            TBookProgressWindow progress(m_main.Window());
            try {
                *chapters = OutputBook(m_context.DocData(), request, [&](qint64 done, qint64 total) {
                                return progress.Step(done, total);
                            }).Chapters;
            } catch (const EBookCancelled&) {
                cancelled = true;
            }
        });
    return built && !cancelled;
}

int TBookCommands::SelectedFolderID() const {
    const QTreeWidget* tree = m_main.DocTree();
    return tree ? ItemID(tree->currentItem()) : 0;
}

QString TBookCommands::SelectedFolderName() const {
    const QTreeWidget* tree = m_main.DocTree();
    return tree && tree->currentItem() ? tree->currentItem()->text(0) : QString();
}

// The selected manuscripts in the order the list shows them.
QList<int> TBookCommands::SelectedManuscriptIDs() const {
    QList<int> ids;
    const QTreeWidget* list = m_main.DocList();
    if (!list)
        return ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem* item = list->topLevelItem(i); item->isSelected())
            ids.append(ItemID(item));
    return ids;
}
