#include "app/commands/TFolderCommands.h"

#include "app/TAppContext.h"
#include "app/TViewEvents.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/commands/TPictureCommands.h"
#include "editor/TqlvEditor.h"
#include "library/ManuscriptSaves.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTreeWidget>

using commandsteps::RunStep;

TFolderCommands::TFolderCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts,
                                 TPictureCommands& pictures)
    : m_main(main), m_context(context), m_manuscripts(manuscripts), m_pictures(pictures) {}

void TFolderCommands::AttachViews() {
    QTreeWidget* tree = m_main.DocTree();
    QObject::connect(tree, &QTreeWidget::itemChanged, tree, [this](QTreeWidgetItem* node, int column) {
        if (column == 0)
            tvDocEdited(node);
    });
    TViewEvents* treeEvents = TViewEvents::Attach(tree);
    treeEvents->click = [this] { tvDocClick(); };
    treeEvents->keyDown = [this](int key) { return tvDocKeyDown(key); };
    treeEvents->dragOver = [this](QObject* source) { return tvDocDragOver(source); };
    treeEvents->drop = [this](QObject* source, QTreeWidgetItem* target) { tvDocDragDrop(source, target); };

    TViewEvents* listEvents = TViewEvents::Attach(m_main.DocList());
    listEvents->click = [this] { DocListViewClick(); };
    listEvents->keyDown = [this](int key) { return DocListViewKeyDown(key); };
}

QTreeWidgetItem* TFolderCommands::SelectedFolder() const {
    QTreeWidgetItem* node = m_main.DocTree()->currentItem();
    return node && node->parent() ? node : nullptr;
}

void TFolderCommands::ShowFolderDocs(int folderID) {
    TViewItems docs;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TFolderCommands", "稿件夹"),
                 [&] { docs = m_context.DocData().LoadDocList(folderID); }))
        return;
    QTreeWidget* list = m_main.DocList();
    const QSignalBlocker quiet(list);
    list->setSortingEnabled(false);  // sorted once, not once per row
    FillListWidget(list, docs);
    list->setSortingEnabled(true);
}

// ---- folders -----------------------------------------------------------------

void TFolderCommands::tvDocClick() {
    QTreeWidgetItem* node = m_main.DocTree()->currentItem();
    if (!node)
        return;
    AllowFolderRename(m_main.DocTree(), node);
    if (!m_manuscripts.CloseManuscript())
        return;  // the changed text stays open
    ShowFolderDocs(ItemID(node));
}

void TFolderCommands::tvDocEdited(QTreeWidgetItem* node) {
    if (!node || !node->parent())
        return;
    const int id = ItemID(node);
    const QString name = node->text(0);
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TFolderCommands", "重命名稿件夹"),
            [&] { m_context.DocData().RenameFolder(id, name); });
}

void TFolderCommands::munDocNewFloderClick() {
    QTreeWidget* tree = m_main.DocTree();
    QTreeWidgetItem* parent = tree->currentItem();
    if (!parent || !m_context.DocData().Opened())
        return;
    TViewNode record;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TFolderCommands", "新建稿件夹"),
                 [&] { record = m_context.DocData().NewFolder(ItemID(parent)); }))
        return;
    AddFolderNode(tree, parent, record);
}

void TFolderCommands::munDocDelFloderClick() {
    QTreeWidgetItem* node = SelectedFolder();
    if (!node)
        return;
    if (!m_context.Dialogs().Confirm(QCoreApplication::translate("TFolderCommands", "确实要删除此稿件夹和所有稿件吗？"),
                                     QCoreApplication::translate("TFolderCommands", "删除稿件夹")))
        return;
    const int id = ItemID(node);
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TFolderCommands", "删除稿件夹"),
                 [&] { m_context.Saves().DeleteFolder(id); }))
        return;
    QTreeWidget* tree = m_main.DocTree();
    {
        const QSignalBlocker quiet(tree);
        delete node;
    }
    if (QTreeWidgetItem* now = tree->currentItem())
        ShowFolderDocs(ItemID(now));
}

void TFolderCommands::munDocReNameFloderClick() {
    QTreeWidgetItem* node = SelectedFolder();
    if (!node)
        return;
    StartFolderRename(m_main.DocTree(), node);
}

bool TFolderCommands::tvDocKeyDown(int key) {
    if (key == Qt::Key_F2) {
        munDocReNameFloderClick();
        return true;  // never the view's own edit of the root
    }
    if (key == Qt::Key_Delete) {
        munDocDelFloderClick();
        return true;
    }
    return false;
}

TFolderDropTarget TFolderCommands::DropTarget() const {
    TFolderDropTarget target;
    target.dialogs = &m_context.Dialogs();
    target.tree = m_main.DocTree();
    target.list = m_main.DocList();
    TqlvDocData& data = m_context.DocData();
    target.moveFolder = [&data](int folderID, int parentID) { data.MoveFolder(folderID, parentID); };
    target.moveItem = [&data](int docID, int folderID) { data.MoveDoc(docID, folderID); };
    return target;
}

bool TFolderCommands::tvDocDragOver(const QObject* source) const { return AcceptsFolderDrag(DropTarget(), source); }

void TFolderCommands::tvDocDragDrop(const QObject* source, QTreeWidgetItem* target) {
    DropOnFolder(DropTarget(), source, target);
}

// ---- manuscripts ---------------------------------------------------------------

void TFolderCommands::DocListViewClick() {
    TManuscriptCommands& manuscripts = m_manuscripts;
    if (m_main.DocList()->selectedItems().isEmpty()) {
        // A click on empty space closes the open manuscript, unless the
        // user keeps its changed text. With no manuscript selected any more,
        // "Yes" saves the text to the manuscript the editor holds.
        if (m_main.Editor()->IsModified()) {
            const bool save = m_context.Dialogs().Confirm(
                QCoreApplication::translate("TFolderCommands", "稿件的内容已经更改，是否保存？"),
                QCoreApplication::translate("TFolderCommands", "关闭稿件"));
            if (!save || !manuscripts.SaveBoundText())
                return;  // kept as it is; a failed save keeps it too
        }
        manuscripts.CloseManuscript();
    }
    m_main.ReloadMarkList();
    m_pictures.ReloadPicList();
    manuscripts.munFileOpenClick();
}

namespace {

QTreeWidgetItem* FindByID(QTreeWidgetItem* node, int id) {
    if (ItemID(node) == id)
        return node;
    for (int i = 0; i < node->childCount(); ++i)
        if (QTreeWidgetItem* found = FindByID(node->child(i), id))
            return found;
    return nullptr;
}

}  // namespace

bool TFolderCommands::OpenDocInFolder(int folderID, int docID) {
    QTreeWidget* tree = m_main.DocTree();
    QTreeWidgetItem* folder = nullptr;
    for (int i = 0; i < tree->topLevelItemCount() && !folder; ++i)
        folder = FindByID(tree->topLevelItem(i), folderID);
    if (!folder)
        return false;
    if (tree->currentItem() != folder) {
        const QSignalBlocker quiet(tree);
        tree->setCurrentItem(folder);
        ShowFolderDocs(folderID);
    }
    QTreeWidget* list = m_main.DocList();
    QTreeWidgetItem* doc = nullptr;
    for (int i = 0; i < list->topLevelItemCount() && !doc; ++i)
        if (ItemID(list->topLevelItem(i)) == docID)
            doc = list->topLevelItem(i);
    if (!doc)
        return false;
    {
        const QSignalBlocker quiet(list);
        list->clearSelection();
        list->setCurrentItem(doc);
        doc->setSelected(true);
    }
    list->scrollToItem(doc);
    DocListViewClick();
    return true;
}

bool TFolderCommands::DocListViewKeyDown(int key) {
    if (key == Qt::Key_F2) {
        m_manuscripts.munFileRenameClick();
        return true;
    }
    if (key == Qt::Key_Delete) {
        m_manuscripts.munFileDelClick();
        return true;
    }
    return false;
}
