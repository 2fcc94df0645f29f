// TLibraryCommands: the library centre, the attributes dialog and the
// maintenance of the open library (compaction, repair, password, launcher).
#include "app/commands/TLibraryCommands.h"

#include "app/TAppContext.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/RebuildRunner.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/commands/TWritingCommands.h"
#include "app/dialogs/GoalBox.h"
#include "app/dialogs/TfrmDBAttribute.h"
#include "app/dialogs/TfrmDBCenter.h"
#include "editor/TqlvEditor.h"
#include "library/ManuscriptSaves.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "settings/ShortcutCreator.h"

#include <QCoreApplication>
#include <QFileInfo>

using commandsteps::RunStep;

namespace {

const char kCompressCaption[] = QT_TRANSLATE_NOOP("Commands", "压缩稿件库");   // translated where shown
const char kRepairCaption[] = QT_TRANSLATE_NOOP("Commands", "修复稿件库");     // translated where shown
const char kPasswordCaption[] = QT_TRANSLATE_NOOP("Commands", "修改密码");     // translated where shown
const char kAttributeCaption[] = QT_TRANSLATE_NOOP("Commands", "稿件库属性");  // translated where shown
constexpr int kAttributeTag = 10;

}  // namespace

bool TLibraryCommands::RebuildLibrary(const QString& caption, const QString& progressText,
                                      const std::function<bool(TqlvDocData&)>& rebuild) {
    TqlvDocData& data = m_context.DocData();
    if (!data.Opened())
        return false;
    bool done = false;
    const bool ran = RunStep(m_context.Dialogs(), caption, [&] {
        done = RunRebuild(m_main, data, caption, progressText, [&] { return rebuild(data); });
    });
    if (ran && !done)  // nothing was replaced: the library is as it was
        m_context.Dialogs().Warn(
            QCoreApplication::translate("TLibraryCommands", "%1失败，稿件库保持原样。").arg(caption), caption);
    return done;
}

bool TLibraryCommands::CompressDocData(bool notify) {
    const bool done = RebuildLibrary(QCoreApplication::translate("Commands", kCompressCaption),
                                     QCoreApplication::translate("TLibraryCommands", "正在压缩稿件库……"),
                                     [](TqlvDocData& data) { return data.CompressDocData(); });
    if (done && notify)
        m_context.Dialogs().Inform(QCoreApplication::translate("TLibraryCommands", "已完成对稿件库的压缩！"),
                                   QCoreApplication::translate("Commands", kCompressCaption));
    return done;
}

bool TLibraryCommands::RepairDocData() {
    const bool done = RebuildLibrary(QCoreApplication::translate("Commands", kRepairCaption),
                                     QCoreApplication::translate("TLibraryCommands", "正在修复稿件库……"),
                                     [](TqlvDocData& data) { return data.RepairDocData(); });
    if (done)
        m_context.Dialogs().Inform(QCoreApplication::translate("TLibraryCommands", "已完成对稿件库的修复！"),
                                   QCoreApplication::translate("Commands", kRepairCaption));
    return done;
}

bool TLibraryCommands::ChangePassword(const QString& password, bool encrypt) {
    const bool changed = RebuildLibrary(QCoreApplication::translate("Commands", kPasswordCaption),
                                        QCoreApplication::translate("TLibraryCommands", "正在修改密码……"),
                                        [&](TqlvDocData& data) { return data.ChangePassword(password, encrypt); });
    if (changed)
        RememberPassword(m_context.DocData().GetDocDataName(), encrypt ? password : QString());
    return changed;
}

void TLibraryCommands::CreateDesktopShortcut() {
    const QString library = m_context.DocData().GetDocDataName();
    if (library.isEmpty())
        return;
    TShortcutCreator creator;
    if (creator.CreateDesktopShortcut(library, QString(), QFileInfo(library).completeBaseName()).isEmpty())
        commandsteps::ShowFailure(m_context.Dialogs(),
                                  QCoreApplication::translate("TLibraryCommands", "无法在桌面上创建快捷方式：") +
                                      creator.LauncherPath(QFileInfo(library).completeBaseName()),
                                  QCoreApplication::translate("Commands", kAttributeCaption));
}

void TLibraryCommands::munDocAttributeClick(int tag) {
    TqlvDocData& data = m_context.DocData();
    if (!data.Opened())
        return;
    TfrmDBAttribute dialog(m_context.Dialogs(), m_main.Window());
    TDBAttr attr;
    bool encrypted = false;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kAttributeCaption), [&] {
            data.GetDocDataAttr(attr);
            encrypted = data.IsEncrypted();
        }))
        return;
    TManuscriptSaves& saves = m_context.Saves();
    std::optional<TGoal> goal;
    RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kAttributeCaption),
            [&] { goal = saves.Goals().Find(TGoalKind::Library, 0); });
    dialog.Fill(attr, encrypted);
    dialog.GoalBox()->SetGoal(TGoalKind::Library, 0, goal, saves.Goals().Today());
    if (tag != kAttributeTag)
        dialog.ShowToolsPage();
    auto refresh = [&] {
        TDBAttr now;
        if (data.Opened() && RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kAttributeCaption),
                                     [&] { data.GetDocDataAttr(now); }))
            dialog.ShowAttributes(now);
    };
    dialog.OnShortcut = [this] { CreateDesktopShortcut(); };
    dialog.OnCompress = [this, refresh] {
        CompressDocData(true);
        refresh();
    };
    dialog.OnRepair = [this, refresh] {
        RepairDocData();
        refresh();
    };
    dialog.OnStoreComment = [this, &data](const QString& comment) {
        RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kAttributeCaption),
                [&] { data.SetDocDataComment(comment); });
    };
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return;
    if (data.Opened())
        RunStep(m_context.Dialogs(), QCoreApplication::translate("TLibraryCommands", "设置目标"),
                [&] { StoreGoal(*dialog.GoalBox(), saves); });
    if (const std::optional<TPasswordChange> change = dialog.PasswordChange())
        ChangePassword(change->Password, change->Encrypt);
}

void TLibraryCommands::munDocCenterClick() {
    TqlvDocData& data = m_context.DocData();
    const bool hadLibrary = data.Opened();
    QString chosen;
    {
        TfrmDBCenter centre(m_context.Dialogs(), data, data.GetDocDataName(), m_main.Window());
        centre.OnCreate = [this](QString* fileName) {
            // Creating closes the open library: unsaved text is offered first.
            if (!m_manuscripts.SavePrompt(QCoreApplication::translate("TLibraryCommands", "新建稿件库")) ||
                !ShowCreateDocData(fileName))
                return false;
            m_main.Editor()->SetModified(false);  // the user has answered the prompt
            return true;
        };
        centre.KnownPassword = [this](const QString& path) { return KnownPassword(path); };
        if (m_context.Dialogs().ExecDialog(centre) == QDialog::Accepted) {
            chosen = centre.FileName();
            // A password the centre was given opens the library without asking again.
            if (const std::optional<QString> typed = centre.PasswordOf(chosen))
                RememberPassword(chosen, *typed);
        }
    }  // the centre and its database are gone before the library opens
    if (!chosen.isEmpty()) {
        OpenLibrary(chosen);
        return;
    }
    if (hadLibrary && !data.Opened())
        ShowNoLibrary();  // a failed creation had closed the library that was open
}
