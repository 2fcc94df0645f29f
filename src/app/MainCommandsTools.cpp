// Tool, exchange and help commands: mail, find in files, library maintenance,
// import and export, library centre, pinyin, reader, preferences, help, and
// the word count. Most bodies grow with the tools and settings layers.
#include "app/AppGlobals.h"
#include "app/TfrmMain.h"
#include "editor/TqlvEditor.h"
#include "platform/DialogService.h"
#include "platform/Skin.h"
#include "tools/pinyin/TfrmCheckPY.h"
#include "tools/reader/TfrmReader.h"
#include "tools/searcher/TfrmSearcher.h"

void TfrmMain::munFileMailClick() {}
void TfrmMain::munFindInFileClick() {
    OpenFindInFiles(this, [this](const QString& path) { PassParams(path); });
}
void TfrmMain::munDocAttributeClick() {}
void TfrmMain::munDocImportClick() {}
void TfrmMain::munDocExportClick() {}
void TfrmMain::munDocCenterClick() {}
void TfrmMain::munInsertDocuImportClick() {}
void TfrmMain::munInsertDocuExportClick() {}
void TfrmMain::munToolPYClick() {
    ShowCheckPY(this, m_editor ? m_editor->GetSelText() : QString());
}
void TfrmMain::munToolReaderClick() { ShowReader(this); }
void TfrmMain::munToolOptionClick() {}
void TfrmMain::munHelpTopicClick() {}
void TfrmMain::munHelpHomeClick() {}
void TfrmMain::munHelpWrongClick() {}
void TfrmMain::munHelpBBSClick() {}
void TfrmMain::munHelpAboutClick() {}

void TfrmMain::munToolWordCountClick() {
    if (!m_editor)
        return;
    const TWordCount count = m_editor->CountWords();
    const QChar cr(13);
    ShowMsgBox(QStringLiteral("英文单词：") + QString::number(count.English) + cr +
                   QStringLiteral("中文字数：") + QString::number(count.Chinese) + cr + cr,
               QStringLiteral("字数统计"), 0, g_Style, 1);
}
