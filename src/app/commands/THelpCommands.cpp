#include "app/commands/THelpCommands.h"

#include "app/HelpLinks.h"
#include "app/TAppContext.h"
#include "app/commands/TMainView.h"
#include "app/dialogs/TfrmAbout.h"
#include "platform/Skin.h"

THelpCommands::THelpCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

void THelpCommands::munHelpTopicClick() { OpenHelpTopic(m_context.Dialogs()); }
void THelpCommands::munHelpHomeClick() { OpenHomePage(m_context.Dialogs()); }
void THelpCommands::munHelpWrongClick() { OpenErrorReport(m_context.Dialogs()); }
void THelpCommands::munHelpBBSClick() { OpenGuestBook(m_context.Dialogs()); }
void THelpCommands::munHelpAboutClick() { TfrmAbout::ShowAbout(m_context.Skin(), m_main.Window()); }
