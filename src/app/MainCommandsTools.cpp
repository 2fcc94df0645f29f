// Tool, exchange and help commands: mail, find in files, library maintenance,
// import and export, library centre, pinyin, reader, preferences, help, and
// the word count. Most bodies grow with the tools and settings layers.
#include "app/AppGlobals.h"
#include "app/HelpLinks.h"
#include "app/OptionsCommand.h"
#include "app/TfrmMain.h"
#include "app/dialogs/TfrmAbout.h"
#include "editor/TqlvEditor.h"
#include "platform/DialogService.h"
#include "platform/Skin.h"

void TfrmMain::munFileMailClick() {}
void TfrmMain::munFindInFileClick() {}
void TfrmMain::munDocAttributeClick() {}
void TfrmMain::munDocImportClick() {}
void TfrmMain::munDocExportClick() {}
void TfrmMain::munDocCenterClick() {}
void TfrmMain::munInsertDocuImportClick() {}
void TfrmMain::munInsertDocuExportClick() {}
void TfrmMain::munToolPYClick() {}
void TfrmMain::munToolReaderClick() {}
void TfrmMain::munToolOptionClick() {
    if (RegConfig)
        RunOptionsDialog(*RegConfig, this);
}
void TfrmMain::munHelpTopicClick() { OpenHelpTopic(); }
void TfrmMain::munHelpHomeClick() { OpenHomePage(); }
void TfrmMain::munHelpWrongClick() { OpenErrorReport(); }
void TfrmMain::munHelpBBSClick() { OpenGuestBook(); }
void TfrmMain::munHelpAboutClick() { TfrmAbout::ShowAbout(this); }

void TfrmMain::munToolWordCountClick() {
    if (!m_editor)
        return;
    const TWordCount count = m_editor->CountWords();
    const QChar cr(13);
    ShowMsgBox(QStringLiteral("英文单词：") + QString::number(count.English) + cr +
                   QStringLiteral("中文字数：") + QString::number(count.Chinese) + cr + cr,
               QStringLiteral("字数统计"), 0, g_Style, 1);
}
