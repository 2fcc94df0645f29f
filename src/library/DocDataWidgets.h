// Widget adapter (see DocDataWidgets.cpp): QTreeWidget fillers for the view
// records of the data layers. Column 0 caption, Qt::UserRole record ID,
// Qt::UserRole + 1 image index, columns 1... sub-items. Null widgets are ignored.
#pragma once

#include "library/DocDataTypes.h"

class QTreeWidget;
class QTreeWidgetItem;

void FillTreeWidget(QTreeWidget* tree, const TViewNode& root);
void FillListWidget(QTreeWidget* list, const TViewItems& items);
QTreeWidgetItem* MakeListItem(const TViewItem& record);
