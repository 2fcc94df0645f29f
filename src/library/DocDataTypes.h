// Records that travel between the library/materials data layers and the
// application: manuscript attributes (TDocAttr), marks (TMark), library file
// attributes (TDBAttr), and the view records the data layer returns instead of
// filling widgets itself (TViewNode for folder trees, TViewItem for list
// items). All are plain values owned by whoever holds them; nothing here can
// fail.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Image indexes of the application's view image list.
namespace docimages {
constexpr int Folder = 6;
constexpr int FolderSelected = 7;
constexpr int Manuscript = 9;
constexpr int Picture = 10;
constexpr int Material = 11;
constexpr int Mark = 15;
}  // namespace docimages

// Attributes of one manuscript (or material: only DocName and Txt are used).
// Numbers travel as decimal text; an empty text stands for "no value".
// Dates count days from 30 December 1899 (0 = day 0).
struct TDocAttr {
    QString DocName;
    QString DocSize;
    double DocCDate = 0;
    double DocMDate = 0;
    QString cnCount;
    QString enCount;
    QString PicCount;
    QString MarkCount;
    QString Publish;
    QString Money;
    QString Txt;
};

// One mark: a named line of a manuscript with a note.
struct TMark {
    QString MarkName;
    QString MarkParentName;
    QString MarkContent;
    int MarkParent = 0;   // manuscript ID
    int MarkPosLine = 0;  // paragraph (logical line) from 1
};

// Eleven texts describing a library file.
struct TDBAttr {
    QString FileName;
    QString Size;  // "<bytes> 字节"
    QString Comment;
    QString FolderCount;
    QString DocCount;
    QString PicCount;
    QString MarkCount;
    QString FileDate;       // system date-time format
    QString Compressed;     // "是" / "否"
    QString CompressLevel;  // "最好", "标准", "较快", "最快"; empty when unknown
    QString Encrypted;      // "是" / "否"
};

// A tree node as the data layer wants it shown: caption, record ID as node
// data (0 for the root), images, children in order, and flags telling the
// application which node to select, expand or edit in place.
struct TViewNode {
    QString Caption;
    int ID = 0;
    int ImageIndex = docimages::Folder;
    int SelectedIndex = docimages::FolderSelected;
    bool Expanded = false;
    bool Selected = false;
    bool EditInPlace = false;
    std::vector<TViewNode> Children;
};

// A list item: caption, record ID as item data, image and sub-item texts.
struct TViewItem {
    QString Caption;
    int ID = 0;
    int ImageIndex = 0;
    QStringList SubItems;
    bool EditInPlace = false;
};
using TViewItems = std::vector<TViewItem>;
