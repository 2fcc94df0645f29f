#include "app/commands/FolderTree.h"

#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTreeWidget>

using commandsteps::RunStep;

namespace {

const char kMoveCaption[] = QT_TRANSLATE_NOOP("Commands", "移动");  // translated where shown

void DropFolder(const TFolderDropTarget& target, QTreeWidgetItem* folder) {
    QTreeWidget* tree = target.tree;
    QTreeWidgetItem* dragged = tree->currentItem();
    if (!dragged || IsSameOrBelow(folder, dragged))
        return;  // also the root, below which every node lies
    const int draggedID = ItemID(dragged);
    const int targetID = ItemID(folder);
    if (!RunStep(*target.dialogs, QCoreApplication::translate("Commands", kMoveCaption),
                 [&] { target.moveFolder(draggedID, targetID); }))
        return;
    const QSignalBlocker quiet(tree);
    tree->setUpdatesEnabled(false);
    QTreeWidgetItem* parent = dragged->parent();
    parent->takeChild(parent->indexOfChild(dragged));
    folder->addChild(dragged);
    tree->setCurrentItem(dragged);
    tree->setUpdatesEnabled(true);
}

void DropListItems(const TFolderDropTarget& target, QTreeWidgetItem* folder) {
    QTreeWidget* list = target.list;
    const int targetID = ItemID(folder);
    const QSignalBlocker quiet(list);
    for (QTreeWidgetItem* item : list->selectedItems()) {
        const int id = ItemID(item);
        if (!RunStep(*target.dialogs, QCoreApplication::translate("Commands", kMoveCaption),
                     [&] { target.moveItem(id, targetID); }))
            return;
        delete item;
    }
}

}  // namespace

bool IsSameOrBelow(const QTreeWidgetItem* node, const QTreeWidgetItem* ancestor) {
    for (; node; node = node->parent())
        if (node == ancestor)
            return true;
    return false;
}

bool AcceptsFolderDrag(const TFolderDropTarget& target, const QObject* source) {
    return source && (source == target.tree || source == target.list);
}

void DropOnFolder(const TFolderDropTarget& target, const QObject* source, QTreeWidgetItem* folder) {
    if (!folder || !source)
        return;
    if (source == target.tree)
        DropFolder(target, folder);
    else if (source == target.list)
        DropListItems(target, folder);
}

void AddFolderNode(QTreeWidget* tree, QTreeWidgetItem* parent, const TViewNode& record) {
    auto* node = new QTreeWidgetItem(QStringList{record.Caption});
    {
        const QSignalBlocker quiet(tree);
        node->setData(0, Qt::UserRole, record.ID);
        node->setData(0, Qt::UserRole + 1, record.ImageIndex);
        parent->addChild(node);
        parent->setExpanded(true);
    }
    tree->setCurrentItem(node);
    tree->scrollToItem(node);
    StartFolderRename(tree, node);
}

void AllowFolderRename(QTreeWidget* tree, QTreeWidgetItem* node) {
    if (!node || !node->parent())
        return;
    const QSignalBlocker quiet(tree);  // a flag change is no rename
    node->setFlags(node->flags() | Qt::ItemIsEditable);
}

void StartFolderRename(QTreeWidget* tree, QTreeWidgetItem* node) {
    AllowFolderRename(tree, node);
    tree->editItem(node, 0);
}
