#include "app/commands/TToolCommands.h"

#include "app/OptionsCommand.h"
#include "app/TAppContext.h"
#include "app/TfrmMain.h"
#include "editor/TqlvEditor.h"
#include "platform/DialogService.h"
#include "platform/Skin.h"
#include "tools/pinyin/TfrmCheckPY.h"
#include "tools/reader/TfrmReader.h"
#include "tools/searcher/TfrmSearcher.h"

TToolCommands::TToolCommands(TfrmMain& main, TAppContext& context) : m_main(main), m_context(context) {}

void TToolCommands::munToolWordCountClick() {
    const TWordCount count = m_main.Editor()->CountWords();
    const QChar cr(13);
    ShowMsgBox(QStringLiteral("英文单词：") + QString::number(count.English) + cr +
                   QStringLiteral("中文字数：") + QString::number(count.Chinese) + cr + cr,
               QStringLiteral("字数统计"), 0, g_Style, 1);
}

void TToolCommands::munToolOptionClick() { RunOptionsDialog(m_context.RegConfig(), &m_main); }

void TToolCommands::munToolPYClick() { ShowCheckPY(&m_main, m_main.Editor()->GetSelText()); }

void TToolCommands::munToolReaderClick() { ShowReader(&m_main); }

// A result opens through the same handler a second start's file goes through.
void TToolCommands::munFindInFileClick() {
    TfrmMain* main = &m_main;
    OpenFindInFiles(main, [main](const QString& path) { main->PassParams(path); });
}
