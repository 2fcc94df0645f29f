#include "app/commands/THelpCommands.h"

#include "app/HelpLinks.h"
#include "app/TfrmMain.h"
#include "app/dialogs/TfrmAbout.h"

THelpCommands::THelpCommands(TfrmMain& main) : m_main(main) {}

void THelpCommands::munHelpTopicClick() { OpenHelpTopic(); }
void THelpCommands::munHelpHomeClick() { OpenHomePage(); }
void THelpCommands::munHelpWrongClick() { OpenErrorReport(); }
void THelpCommands::munHelpBBSClick() { OpenGuestBook(); }
void THelpCommands::munHelpAboutClick() { TfrmAbout::ShowAbout(&m_main); }
