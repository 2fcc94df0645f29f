// TFolderCommands: the 稿件库 tab of the side panel. The folder commands of
// menu 稿件库 and the tab's tool bar (新建稿件夹, 删除稿件夹, 重命名稿件夹),
// the events of the folder tree tvDoc (click, end of an in-place rename, keys,
// drag and drop) and of the manuscript list DocListView (click, also on empty
// space, and keys). The root "稿件夹" stands for the whole library: it is
// never renamed, deleted or moved. Owned by TMainCommands; failures are shown and
// end the command (CommandSteps.h).
#pragma once

#include "app/commands/FolderTree.h"

class QObject;
class QTreeWidgetItem;
class TAppContext;
class TMainView;
class TManuscriptCommands;
class TPictureCommands;

class TFolderCommands {
public:
    TFolderCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts,
                    TPictureCommands& pictures);

    void munDocNewFloderClick();
    void munDocDelFloderClick();
    void munDocReNameFloderClick();

    void tvDocClick();
    void tvDocEdited(QTreeWidgetItem* node);
    // Qt key codes; true when the key ran a command.
    bool tvDocKeyDown(int key);
    bool tvDocDragOver(const QObject* source) const;
    void tvDocDragDrop(const QObject* source, QTreeWidgetItem* target);

    void DocListViewClick();
    bool DocListViewKeyDown(int key);
    // Shows the manuscripts of folderID, selects docID among them and opens
    // it as a click on it does (the save prompt included); false when the
    // folder or the manuscript is not there.
    bool OpenDocInFolder(int folderID, int docID);

    // Wires the tree's and the list's events to the handlers above.
    void AttachViews();

private:
    QTreeWidgetItem* SelectedFolder() const;  // null for none or the root
    void ShowFolderDocs(int folderID);
    TFolderDropTarget DropTarget() const;

    TMainView& m_main;
    TAppContext& m_context;
    TManuscriptCommands& m_manuscripts;
    TPictureCommands& m_pictures;
};
