#include "app/commands/TExchangeCommands.h"

#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/dialogs/TfrmExport.h"
#include "app/dialogs/TfrmImport.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"
#include "settings/RegConfig.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

// The tree's selected folder listed in list (the list's item edits stay quiet).
template <typename Store>
void Relist(Store& store, QTreeWidget* tree, QTreeWidget* list) {
    if (!tree || !list || !tree->currentItem())
        return;
    const QSignalBlocker quiet(list);
    FillListWidget(list, store.LoadDocList(ItemID(tree->currentItem())));
}

}  // namespace

TExchangeCommands::TExchangeCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

void TExchangeCommands::munDocImportClick() {
    if (!m_context.DocData().Opened())
        return;
    TfrmImport dialog(m_context.Dialogs(), m_context.DocData(), m_context.Documents(), m_main.Window());
    if (!commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TExchangeCommands", "导入"),
                               [&] { FillTreeWidget(dialog.FolderTree(), m_context.DocData().LoadFolderTree()); }))
        return;
    m_context.Dialogs().ExecDialog(dialog);
    if (dialog.ImportedCount() > 0)
        RelistLibraryFolder();
}

void TExchangeCommands::munDocExportClick() {
    if (!m_context.DocData().Opened())
        return;
    TfrmExport dialog(m_context.Dialogs(), m_context.DocData(), m_context.Documents(), m_main.Window());
    dialog.SetPath(m_context.RegConfig().ReadExDoc());
    if (!commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TExchangeCommands", "导出"),
                               [&] { FillTreeWidget(dialog.FolderTree(), m_context.DocData().LoadFolderTree()); }))
        return;
    ShowExport(dialog);
}

void TExchangeCommands::munInsertDocuImportClick() {
    TfrmImport dialog(m_context.Dialogs(), m_context.DocData(), m_context.Documents(), m_main.Window());
    dialog.SetFolderLabel(QCoreApplication::translate("TExchangeCommands", "请选择资料夹"));
    if (!commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TExchangeCommands", "导入"),
                               [&] { FillTreeWidget(dialog.FolderTree(), m_context.Documents().LoadFolderTree()); }))
        return;
    m_context.Dialogs().ExecDialog(dialog);
    if (dialog.ImportedCount() > 0)
        RelistMaterialsFolder();
}

void TExchangeCommands::munInsertDocuExportClick() {
    TfrmExport dialog(m_context.Dialogs(), m_context.DocData(), m_context.Documents(), m_main.Window());
    dialog.SetPath(m_context.RegConfig().ReadExFile());
    dialog.SetPathLabel(QCoreApplication::translate("TExchangeCommands", "导出资料的存放路径(不要包含空格):"));
    dialog.SetRecordCaption(QCoreApplication::translate("TExchangeCommands", "资料"));
    dialog.SetSizeColumnWidth(0);
    if (!commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TExchangeCommands", "导出"),
                               [&] { FillTreeWidget(dialog.FolderTree(), m_context.Documents().LoadFolderTree()); }))
        return;
    ShowExport(dialog);
}

// Lists the tree's selected folder (the root as filled) and shows the dialog.
void TExchangeCommands::ShowExport(TfrmExport& dialog) {
    dialog.ShowFolder(ItemID(dialog.FolderTree()->currentItem()));
    m_context.Dialogs().ExecDialog(dialog);
}

void TExchangeCommands::RelistLibraryFolder() {
    commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TExchangeCommands", "导入"),
                          [&] { Relist(m_context.DocData(), m_main.DocTree(), m_main.DocList()); });
}

void TExchangeCommands::RelistMaterialsFolder() {
    commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TExchangeCommands", "导入"),
                          [&] { Relist(m_context.Documents(), m_main.FileFolderTree(), m_main.FileList()); });
}
