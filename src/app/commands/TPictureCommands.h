// TPictureCommands: the 图片 tab of the side panel and menu 插入 ▸ 外部文件 ▸
// 图片: attach picture files to the selected manuscript, delete and rename
// them, show the selected one in the preview PicView, and the events of the
// picture list lvPic. The picture files stay where they are. Owned by
// TMainCommands; failures (a format without a decoder, a file that is gone, a path
// too long) are shown and end the command.
#pragma once

class QTreeWidgetItem;
class TAppContext;
class TPicturePreview;
class TMainView;

class TPictureCommands {
public:
    TPictureCommands(TMainView& main, TAppContext& context);

    void munInsertPicClick();
    void tbAddPicClick();
    void tbDelPicClick();
    void tbRePicClick();
    void lvPicEdited(QTreeWidgetItem* item);
    bool lvPicKeyDown(int key);
    void lvPicClick();
    // The pictures of the manuscript selected in DocListView; with none the
    // list and the preview are emptied.
    void ReloadPicList();
    // Stores the picture and mark counts of the manuscript doc (an item of
    // DocListView) and shows them in its columns.
    void RefreshDocCounts(QTreeWidgetItem* doc);

    void AttachViews();

private:
    QTreeWidgetItem* SelectedPicture() const;
    TPicturePreview& Preview() const;

    TMainView& m_main;
    TAppContext& m_context;
};
