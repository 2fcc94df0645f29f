// THelpCommands: menu 帮助 (the help page, the home page, the error report,
// the guest book and the about window). Owned by TMainCommands.
#pragma once

class TAppContext;
class TMainView;

class THelpCommands {
public:
    THelpCommands(TMainView& main, TAppContext& context);

    void munHelpTopicClick();
    void munHelpHomeClick();
    void munHelpWrongClick();
    void munHelpBBSClick();
    void munHelpAboutClick();

private:
    TMainView& m_main;
    TAppContext& m_context;
};
