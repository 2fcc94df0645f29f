// TMarkCommands: the 标签 tab of the side panel and menu 插入 ▸ 标签: add,
// delete, edit and open marks of the selected manuscript, the events of the
// mark list lvMark (double click, keys, the note as hint), and the reload of
// marks and pictures when the side panel changes tabs. A mark is added on the
// editor's caret paragraph; opening it puts the caret at the start of that
// paragraph, whatever the width and wrapping.
// Owned by TMainCommands; failures are shown and end the command.
#pragma once

#include <QString>

class QTreeWidgetItem;
class TAppContext;
class TMainView;
class TPictureCommands;

class TMarkCommands {
public:
    TMarkCommands(TMainView& main, TAppContext& context, TPictureCommands& pictures);

    void munInsertMarkAddClick();
    void munInsertMarkDelClick();
    void munInsertMarkEditClick();
    void munInsertMarkOpenClick();
    void lvMarkDblClick();
    bool lvMarkKeyDown(int key);
    // The note of the mark shown by item; empty for none.
    QString lvMarkMouseMove(QTreeWidgetItem* item);
    void pageToolChange();

    void AttachViews();

private:
    QTreeWidgetItem* SelectedMark() const;
    QTreeWidgetItem* SelectedDoc() const;

    TMainView& m_main;
    TAppContext& m_context;
    TPictureCommands& m_pictures;
};
