// TEditCommands: menu 编辑 (each item one editor operation, font, background
// colour, word wrap, clipboard watching), the tool bar's font boxes, the
// editor part of menu 查找 and the text part of menu 插入 (time, date, a text
// file). Owned by TMainCommands.
#pragma once

#include <QMetaObject>

class TAppContext;
class TMainView;
class TqlvEditor;

class TEditCommands {
public:
    TEditCommands(TMainView& main, TAppContext& context);

    void munEditUndoClick();
    void munEditRedoClick();
    void munEditCutClick();
    void munEditCopyClick();
    void munCopyAllClick();
    void munEditPasteClick();
    void munEditDelClick();
    void munDelLineClick();
    void munDelFromBeginClick();
    void munDelFromEndClick();
    void munEditSelAllClick();
    void munSelFromBeginClick();
    void munSelFromEndClick();
    void munEditWatchClipperClick();
    void munEditFontClick();
    void munEditBGClick();
    void munEditWrapClick();
    void comboxFontNameChange();
    void comboxFontSizeChange();
    void munFindSearchClick();
    void munFindNextClick();
    void munFindReplaceClick();
    void munInsertTimeClick();
    void munInsertDateClick();
    void munInsertTxtClick();

private:
    TqlvEditor& Editor() const;

    TMainView& m_main;
    TAppContext& m_context;
    QMetaObject::Connection m_clipboardWatch;
};
