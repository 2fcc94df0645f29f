// TToolCommands: menu 工具's commands that are not layout (the word count and
// the preferences).
// Owned by TfrmMain.
#pragma once

class TAppContext;
class TfrmMain;

class TToolCommands {
public:
    TToolCommands(TfrmMain& main, TAppContext& context);

    void munToolWordCountClick();
    void munToolOptionClick();

private:
    TfrmMain& m_main;
    TAppContext& m_context;
};
