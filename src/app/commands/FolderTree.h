// Folder trees of the side panel (manuscript folders, material folders):
// adding a new folder node and starting an in-place rename, and
// what a drop onto a folder tree (manuscript folders or material folders)
// does: a folder dragged within the tree becomes the last child of the target
// folder, unless the target is the folder itself or lies below it; the items
// selected in a list are filed in the target folder, all of them, and leave
// the list. A drop on no folder changes nothing. The record updates are the
// caller's (moveFolder, moveItem); a failing update ends the drop with its
// message, leaving the widgets as the stored records are.
#pragma once

#include "library/DocDataTypes.h"

#include <functional>

class QObject;
class QTreeWidget;
class QTreeWidgetItem;
class TDialogService;

struct TFolderDropTarget {
    QTreeWidget* tree = nullptr;        // the folder tree dropped onto
    QTreeWidget* list = nullptr;        // the list whose items may be dropped
    TDialogService* dialogs = nullptr;  // where a failed update is said
    std::function<void(int folderID, int newParentID)> moveFolder;
    std::function<void(int itemID, int newFolderID)> moveItem;
};

// True when node is ancestor itself or lies anywhere below it.
bool IsSameOrBelow(const QTreeWidgetItem* node, const QTreeWidgetItem* ancestor);
// Whether the drag source is one of the target's views.
bool AcceptsFolderDrag(const TFolderDropTarget& target, const QObject* source);
void DropOnFolder(const TFolderDropTarget& target, const QObject* source, QTreeWidgetItem* folder);

// Adds record's node as the last child of parent and starts its rename.
void AddFolderNode(QTreeWidget* tree, QTreeWidgetItem* parent, const TViewNode& record);
// Starts the in-place rename of node (never called for a root).
void StartFolderRename(QTreeWidget* tree, QTreeWidgetItem* node);
// Lets node be renamed in place unless it is the tree's root.
void AllowFolderRename(QTreeWidget* tree, QTreeWidgetItem* node);
