// THelpCommands: menu 帮助 (the help page, the home page, the error report,
// the guest book and the about window). Owned by TfrmMain.
#pragma once

class TMainView;

class THelpCommands {
public:
    explicit THelpCommands(TMainView& main);

    void munHelpTopicClick();
    void munHelpHomeClick();
    void munHelpWrongClick();
    void munHelpBBSClick();
    void munHelpAboutClick();

private:
    TMainView& m_main;
};
