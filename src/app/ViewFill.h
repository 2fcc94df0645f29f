// How the window shows the data layers' view records in its QTreeWidget
// trees and lists: column 0 the caption, Qt::UserRole the record ID (0 for a
// tree's root), Qt::UserRole + 1 the image index, sub-items in columns 1...
// The records are the data layers' (TViewNode, TViewItem); the widgets are
// the caller's. Null widgets are ignored.
#pragma once

#include "library/DocDataTypes.h"

class QTreeWidget;
class QTreeWidgetItem;

// Replaces the tree's items by root and its children; selects and expands
// the root as the record says.
void FillTreeWidget(QTreeWidget* tree, const TViewNode& root);
// Replaces the list's items.
void FillListWidget(QTreeWidget* list, const TViewItems& items);
QTreeWidgetItem* MakeListItem(const TViewItem& record);
// The item a command acts on in a multi-selection list: the current item
// when it is selected, else the first selected one; null when none is.
QTreeWidgetItem* SelectedListItem(const QTreeWidget* list);
// The record ID of an item (0 for none).
int ItemID(const QTreeWidgetItem* item);
// Adds item to the list when it is not there yet, makes it the list's only
// selected, current item and starts editing its caption in place.
void StartCaptionEdit(QTreeWidget* list, QTreeWidgetItem* item);
