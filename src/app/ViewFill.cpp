// Fills the window's trees and lists from the data layers' view records.
#include "app/ViewFill.h"

#include "platform/ErrorText.h"

#include <QSignalBlocker>
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
    // The root is a label the data layer names, not a record: shown in the
    // interface's language. Every other node is the user's folder name.
    top->setText(0, TranslatedText(root.Caption));
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

QTreeWidgetItem* SelectedListItem(const QTreeWidget* list) {
    if (!list)
        return nullptr;
    QTreeWidgetItem* current = list->currentItem();
    if (current && current->isSelected())
        return current;
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int ItemID(const QTreeWidgetItem* item) { return item ? item->data(0, Qt::UserRole).toInt() : 0; }

void StartCaptionEdit(QTreeWidget* list, QTreeWidgetItem* item) {
    {
        const QSignalBlocker quiet(list);  // no edit has ended yet
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (!item->treeWidget())
            list->addTopLevelItem(item);
    }
    list->clearSelection();
    list->setCurrentItem(item);
    item->setSelected(true);
    list->scrollToItem(item);
    list->editItem(item, 0);
}
