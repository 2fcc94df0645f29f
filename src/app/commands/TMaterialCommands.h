// TMaterialCommands: the 资料库 tab of the side panel and the 资料库 submenu
// of 插入, over the materials store (TqlvDocuments): material folders
// (new, delete, rename, drag and drop), materials (new, save the editor's
// text, rename, delete, insert at the editor's caret) and the events of
// tvFileFolder and lvFiles. The root "资料夹" is never renamed, deleted or
// moved. Text is saved or inserted only while the editor is enabled. Owned
// by TMainCommands; failures are shown and end the command.
#pragma once

#include "app/commands/FolderTree.h"

class QObject;
class QTreeWidgetItem;
class TAppContext;
class TMainView;

class TMaterialCommands {
public:
    TMaterialCommands(TMainView& main, TAppContext& context);

    void tvFileFolderClick();
    void tvFileFolderEdited(QTreeWidgetItem* node);
    bool tvFileFolderKeyDown(int key);
    bool tvFileFolderDragOver(const QObject* source) const;
    void tvFileFolderDragDrop(const QObject* source, QTreeWidgetItem* target);
    void munInsertDocuAddClick();
    void munInsertDocuDelClick();
    void munInsertDocRenClick();

    void munInsertDocuNewClick();
    void munInsetDocuSaveClick();
    void munInsertRenDocClick();
    void lvFilesEdited(QTreeWidgetItem* item);
    void munInsertDelDocClick();
    bool lvFilesKeyDown(int key);
    void lvFilesDblClick();
    void munInsertInsertDocuClick();

    void AttachViews();

private:
    QTreeWidgetItem* SelectedFolder() const;  // null for none or the root
    QTreeWidgetItem* SelectedMaterial() const;
    TFolderDropTarget DropTarget() const;

    TMainView& m_main;
    TAppContext& m_context;
};
