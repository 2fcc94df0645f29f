// TLibraryCommands: 稿件库 ▸ 从备份恢复… — choose a snapshot of the open
// library and put it in the library's place.
#include "app/commands/TLibraryCommands.h"

#include "app/TAppContext.h"
#include "app/TBackupService.h"
#include "app/TStatusPanels.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/dialogs/TfrmRestore.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "platform/TextCodec.h"

#include <QApplication>
#include <QCoreApplication>

using commandsteps::RunStep;

namespace {

const char kRestoreCaption[] = QT_TRANSLATE_NOOP("Commands", "从备份恢复");  // translated where shown

struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

// The snapshot is checked before the library closes, so a damaged one or a
// wrong password leaves everything as it was. The password of an encrypted
// snapshot is asked only when the open library's own does not open it.
void TLibraryCommands::munDocRestoreClick() {
    TqlvDocData& data = m_context.DocData();
    if (!data.Opened())
        return;
    const QString library = data.GetDocDataName();
    const std::string currentKey = data.OpenedPassword();
    const TLibraryBackup backup = m_context.Backups().BackupOf(library);
    QList<TSnapshotInfo> snapshots;
    const bool listed = RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kRestoreCaption), [&] {
        const TWaitCursor wait;  // every snapshot is verified; gone before a failure shows
        snapshots = backup.Snapshots(currentKey);
    });
    if (!listed)
        return;
    if (snapshots.isEmpty()) {
        m_context.Dialogs().Inform(QCoreApplication::translate("TLibraryCommands", "这个稿件库还没有备份。"),
                                   QCoreApplication::translate("Commands", kRestoreCaption));
        return;
    }
    TfrmRestore dialog(snapshots, m_main.Window());
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return;
    const std::optional<TSnapshotInfo> chosen = dialog.Chosen();
    if (!chosen)
        return;

    QString password = FromGB(QByteArray::fromStdString(currentKey));
    if (chosen->Encrypted && !chosen->Readable)
        password = m_context.Dialogs().InputPassword();
    const TSnapshotInfo checked = TLibraryBackup::Inspect(chosen->Path, PasswordBytes(password));
    if (checked.Encrypted && !checked.Readable) {
        commandsteps::ShowFailure(m_context.Dialogs(),
                                  QCoreApplication::translate("TLibraryCommands", "密码错误，无法打开这个备份！"),
                                  QCoreApplication::translate("Commands", kRestoreCaption));
        return;
    }
    if (checked.Damaged) {
        commandsteps::ShowFailure(m_context.Dialogs(),
                                  QCoreApplication::translate("TLibraryCommands", "这个备份已损坏，不能恢复。"),
                                  QCoreApplication::translate("Commands", kRestoreCaption));
        return;
    }

    const QString time = chosen->Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!m_context.Dialogs().Confirm(
            QCoreApplication::translate("TLibraryCommands",
                                        "确实要用 %1 的备份替换当前的稿件库吗？\n当前的稿件库会先备份。")
                .arg(time),
            QCoreApplication::translate("Commands", kRestoreCaption)))
        return;
    if (!m_manuscripts.SavePrompt(QCoreApplication::translate("Commands", kRestoreCaption)))
        return;
    m_main.Editor()->SetModified(false);  // the user has answered the prompt
    data.CloseDocData();                  // the closing snapshot keeps what is being replaced
    const bool restored = RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kRestoreCaption),
                                  [&] { backup.Restore(chosen->Path, PasswordBytes(password)); });
    // Restored or not, the library opens again (with the password just used);
    // no manuscript is open afterwards, and the status bar says so.
    OpenLibrary(library, password);
    m_main.ShowManuscriptName(QString());
    if (!restored)
        return;
    m_main.StatusPanels()->SetPanelText(5, QCoreApplication::translate("TLibraryCommands", "状态：已恢复"));
    m_context.Dialogs().Inform(QCoreApplication::translate("TLibraryCommands", "已从 %1 的备份恢复稿件库。").arg(time),
                               QCoreApplication::translate("Commands", kRestoreCaption), TMessageIcon::None);
}
