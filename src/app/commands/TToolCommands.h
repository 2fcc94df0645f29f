// TToolCommands: the tools — menu 工具's commands that are not layout (word
// count, pinyin lookup, reader mode, preferences) and 查找 ▸ 在文件中查找.
// Owned by TfrmMain.
#pragma once

class TAppContext;
class TfrmMain;

class TToolCommands {
public:
    TToolCommands(TfrmMain& main, TAppContext& context);

    void munToolWordCountClick();
    void munToolOptionClick();
    void munToolPYClick();
    void munToolReaderClick();
    void munFindInFileClick();

private:
    TfrmMain& m_main;
    TAppContext& m_context;
};
