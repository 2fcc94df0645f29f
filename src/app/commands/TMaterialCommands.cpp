#include "app/commands/TMaterialCommands.h"

#include "app/TAppContext.h"
#include "app/TViewEvents.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "editor/TqlvEditor.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTreeWidget>

using commandsteps::RunStep;

namespace {
const char kMaterialsCaption[] = QT_TRANSLATE_NOOP("Commands", "资料库");  // translated where shown
}

TMaterialCommands::TMaterialCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

void TMaterialCommands::AttachViews() {
    QTreeWidget* tree = m_main.FileFolderTree();
    QObject::connect(tree, &QTreeWidget::itemChanged, tree, [this](QTreeWidgetItem* node, int column) {
        if (column == 0)
            tvFileFolderEdited(node);
    });
    TViewEvents* treeEvents = TViewEvents::Attach(tree);
    treeEvents->click = [this] { tvFileFolderClick(); };
    treeEvents->keyDown = [this](int key) { return tvFileFolderKeyDown(key); };
    treeEvents->dragOver = [this](QObject* source) { return tvFileFolderDragOver(source); };
    treeEvents->drop = [this](QObject* source, QTreeWidgetItem* target) { tvFileFolderDragDrop(source, target); };

    QTreeWidget* list = m_main.FileList();
    QObject::connect(list, &QTreeWidget::itemChanged, list, [this](QTreeWidgetItem* item, int column) {
        if (column == 0)
            lvFilesEdited(item);
    });
    TViewEvents* listEvents = TViewEvents::Attach(list);
    listEvents->keyDown = [this](int key) { return lvFilesKeyDown(key); };
    listEvents->dblClick = [this] { lvFilesDblClick(); };
}

QTreeWidgetItem* TMaterialCommands::SelectedFolder() const {
    QTreeWidgetItem* node = m_main.FileFolderTree()->currentItem();
    return node && node->parent() ? node : nullptr;
}

QTreeWidgetItem* TMaterialCommands::SelectedMaterial() const { return SelectedListItem(m_main.FileList()); }

// ---- folders -----------------------------------------------------------------

void TMaterialCommands::tvFileFolderClick() {
    QTreeWidget* tree = m_main.FileFolderTree();
    QTreeWidgetItem* node = tree->currentItem();
    if (!node)
        return;
    AllowFolderRename(m_main.FileFolderTree(), node);
    TViewItems materials;
    const int id = ItemID(node);
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMaterialsCaption),
                 [&] { materials = m_context.Documents().LoadDocList(id); }))
        return;
    const QSignalBlocker quiet(m_main.FileList());
    FillListWidget(m_main.FileList(), materials);
}

void TMaterialCommands::tvFileFolderEdited(QTreeWidgetItem* node) {
    if (!node || !node->parent())
        return;
    const int id = ItemID(node);
    const QString name = node->text(0);
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "重命名资料夹"),
            [&] { m_context.Documents().RenameFolder(id, name); });
}

void TMaterialCommands::munInsertDocuAddClick() {
    QTreeWidget* tree = m_main.FileFolderTree();
    QTreeWidgetItem* parent = tree->currentItem();
    if (!parent)
        return;
    TViewNode record;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "新建资料夹"),
                 [&] { record = m_context.Documents().NewFolder(ItemID(parent)); }))
        return;
    AddFolderNode(tree, parent, record);
}

void TMaterialCommands::munInsertDocuDelClick() {
    QTreeWidgetItem* node = SelectedFolder();
    if (!node)
        return;
    if (!m_context.Dialogs().Confirm(
            QCoreApplication::translate("TMaterialCommands", "确实要将此资料夹及其资料删除吗？"),
            QCoreApplication::translate("TMaterialCommands", "删除")))
        return;
    const int id = ItemID(node);
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "删除资料夹"),
                 [&] { m_context.Documents().DeleteFolder(id); }))
        return;
    const QSignalBlocker quiet(m_main.FileFolderTree());
    delete node;
}

void TMaterialCommands::munInsertDocRenClick() {
    QTreeWidgetItem* node = SelectedFolder();
    if (!node)
        return;
    StartFolderRename(m_main.FileFolderTree(), node);
}

bool TMaterialCommands::tvFileFolderKeyDown(int key) {
    if (key == Qt::Key_F2) {
        munInsertDocRenClick();
        return true;
    }
    if (key == Qt::Key_Delete) {
        munInsertDocuDelClick();
        return true;
    }
    return false;
}

TFolderDropTarget TMaterialCommands::DropTarget() const {
    TFolderDropTarget target;
    target.dialogs = &m_context.Dialogs();
    target.tree = m_main.FileFolderTree();
    target.list = m_main.FileList();
    TqlvDocuments& documents = m_context.Documents();
    target.moveFolder = [&documents](int folderID, int parentID) { documents.MoveFolder(folderID, parentID); };
    target.moveItem = [&documents](int docID, int folderID) { documents.MoveDoc(docID, folderID); };
    return target;
}

bool TMaterialCommands::tvFileFolderDragOver(const QObject* source) const {
    return AcceptsFolderDrag(DropTarget(), source);
}

void TMaterialCommands::tvFileFolderDragDrop(const QObject* source, QTreeWidgetItem* target) {
    DropOnFolder(DropTarget(), source, target);
}

// ---- materials -----------------------------------------------------------------

void TMaterialCommands::munInsertDocuNewClick() {
    QTreeWidgetItem* folder = m_main.FileFolderTree()->currentItem();
    if (!folder)
        return;
    TViewItem record;
    const int folderID = ItemID(folder);
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "新建资料"),
                [&] { record = m_context.Documents().NewDoc(folderID); }))
        StartCaptionEdit(m_main.FileList(), MakeListItem(record));
}

void TMaterialCommands::munInsetDocuSaveClick() {
    QTreeWidgetItem* item = SelectedMaterial();
    TqlvEditor* editor = m_main.Editor();
    if (!item || !editor->IsEnabled()) {
        m_context.Dialogs().Inform(QCoreApplication::translate("TMaterialCommands", "无法保存，请选择一个资料文件!"),
                                   QCoreApplication::translate("TMaterialCommands", "保存资料"));
        return;
    }
    const int id = ItemID(item);
    const QString text = editor->GetText();
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "保存资料"),
            [&] { m_context.Documents().SaveDocText(id, text); });
}

void TMaterialCommands::munInsertRenDocClick() {
    if (QTreeWidgetItem* item = SelectedMaterial())
        StartCaptionEdit(m_main.FileList(), item);
}

void TMaterialCommands::lvFilesEdited(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int id = ItemID(item);
    const QString name = item->text(0);
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "重命名资料"),
            [&] { m_context.Documents().RenameSelectedDoc(id, name); });
}

void TMaterialCommands::munInsertDelDocClick() {
    QTreeWidget* list = m_main.FileList();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    if (!m_context.Dialogs().Confirm(QCoreApplication::translate("TMaterialCommands", "确实要删除此资料吗？"),
                                     QCoreApplication::translate("TMaterialCommands", "删除资料")))
        return;
    QList<int> ids;
    for (const QTreeWidgetItem* item : selected)
        ids.append(ItemID(item));
    QList<int> gone;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "删除资料"),
                 [&] { gone = m_context.Documents().DeleteSelectedDocs(ids); }))
        return;
    const QSignalBlocker quiet(list);
    for (QTreeWidgetItem* item : selected)
        if (gone.contains(ItemID(item)))
            delete item;
}

bool TMaterialCommands::lvFilesKeyDown(int key) {
    if (key == Qt::Key_Delete) {
        munInsertDelDocClick();
        return true;
    }
    if (key == Qt::Key_F2) {
        munInsertRenDocClick();
        return true;
    }
    return false;
}

void TMaterialCommands::lvFilesDblClick() { munInsertInsertDocuClick(); }

void TMaterialCommands::munInsertInsertDocuClick() {
    QTreeWidgetItem* item = SelectedMaterial();
    TqlvEditor* editor = m_main.Editor();
    if (!item || !editor->IsEnabled())
        return;
    const int id = ItemID(item);
    QString text;
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TMaterialCommands", "插入资料"),
                [&] { text = m_context.Documents().LoadDocText(id); }))
        editor->InsertText(text);
}
