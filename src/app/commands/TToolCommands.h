// TToolCommands: the tools — menu 工具's commands that are not layout (word
// count, pinyin lookup, reader mode, preferences), 查找 ▸ 在文件中查找 and
// 稿件 ▸ 发送邮件 (also the editor's pop-up item and the tool button).
// Owned by TMainCommands; find in files opens its results through the
// session (TSessionCommands), as a name handed over by a second start.
#pragma once

#include <QString>

class TAppContext;
class TMainView;
class TManuscriptCommands;
class TSessionCommands;

class TToolCommands {
public:
    TToolCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts, TSessionCommands& session);

    void munToolWordCountClick();
    void munToolOptionClick();
    void munToolPYClick();
    void munToolReaderClick();
    void munFindInFileClick();
    void munFileMailClick();
    // 全屏写作 (Ctrl+F11, tool button): enters or leaves full-screen writing.
    void munToolFullScreenClick();
    // 整理段首缩进: the paragraph indents of the selection, or of the whole
    // text, made two U+3000 each (TqlvEditor::NormaliseIndents).
    void munToolIndentClick();

private:
    // Packs the pictures of manuscript docID into "<ExPic>/<name>.zip";
    // the archive's path, or empty when it has no picture file to pack.
    QString PackDocPictures(int docID, const QString& name);

    TMainView& m_main;
    TAppContext& m_context;
    TManuscriptCommands& m_manuscripts;
    TSessionCommands& m_session;
};
