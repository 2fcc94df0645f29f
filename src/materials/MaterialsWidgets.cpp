// Widget adapter for the shell (see library/DocDataWidgets.cpp): fills its
// QTreeWidget views from the materials store's records.
#include "library/DocDataWidgets.h"
#include "materials/TqlvDocuments.h"

void TqlvDocuments::LoadFolderTree(QTreeWidget* tree) { FillTreeWidget(tree, LoadFolderTree()); }

void TqlvDocuments::LoadDocList(int folderID, QTreeWidget* list) { FillListWidget(list, LoadDocList(folderID)); }
