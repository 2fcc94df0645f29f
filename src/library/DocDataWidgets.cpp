// Widget adapter: fills the shell's QTreeWidget views from the records the
// data layers return. The data layers themselves touch no widgets; the shell
// moves to the record API and this file goes away.
//
// Conventions: column 0 holds the caption, Qt::UserRole the record ID (0 for
// the root), Qt::UserRole + 1 the image index; sub-items fill columns 1...
#include "library/DocDataWidgets.h"

#include "library/TqlvDocData.h"

#include <QTreeWidget>

namespace {

QTreeWidgetItem* MakeTreeItem(const TViewNode& node) {
    auto* item = new QTreeWidgetItem(QStringList{node.Caption});
    item->setData(0, Qt::UserRole, node.ID);
    item->setData(0, Qt::UserRole + 1, node.ImageIndex);
    for (const TViewNode& child : node.Children)
        item->addChild(MakeTreeItem(child));
    return item;
}

}  // namespace

void FillTreeWidget(QTreeWidget* tree, const TViewNode& root) {
    if (!tree)
        return;
    tree->setUpdatesEnabled(false);
    tree->clear();
    QTreeWidgetItem* top = MakeTreeItem(root);
    tree->addTopLevelItem(top);
    top->setExpanded(root.Expanded);
    if (root.Selected)
        tree->setCurrentItem(top);
    tree->setUpdatesEnabled(true);
}

QTreeWidgetItem* MakeListItem(const TViewItem& record) {
    auto* item = new QTreeWidgetItem(QStringList{record.Caption} + record.SubItems);
    item->setData(0, Qt::UserRole, record.ID);
    item->setData(0, Qt::UserRole + 1, record.ImageIndex);
    return item;
}

void FillListWidget(QTreeWidget* list, const TViewItems& items) {
    if (!list)
        return;
    list->setUpdatesEnabled(false);
    list->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(items.size()));
    for (const TViewItem& record : items)
        rows.append(MakeListItem(record));
    list->addTopLevelItems(rows);
    list->setUpdatesEnabled(true);
}

void TqlvDocData::LoadFolderTree(QTreeWidget* tree) { FillTreeWidget(tree, LoadFolderTree()); }

void TqlvDocData::LoadDocList(int folderID, QTreeWidget* list) { FillListWidget(list, LoadDocList(folderID)); }
