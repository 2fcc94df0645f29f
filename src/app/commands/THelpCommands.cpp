#include "app/commands/THelpCommands.h"

#include "app/HelpLinks.h"
#include "app/commands/TMainView.h"
#include "app/dialogs/TfrmAbout.h"

THelpCommands::THelpCommands(TMainView& main) : m_main(main) {}

void THelpCommands::munHelpTopicClick() { OpenHelpTopic(); }
void THelpCommands::munHelpHomeClick() { OpenHomePage(); }
void THelpCommands::munHelpWrongClick() { OpenErrorReport(); }
void THelpCommands::munHelpBBSClick() { OpenGuestBook(); }
void THelpCommands::munHelpAboutClick() { TfrmAbout::ShowAbout(m_main.Window()); }
