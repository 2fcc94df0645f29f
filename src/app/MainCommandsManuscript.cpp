// Manuscript and library commands: opening from outside, the text-file side of
// menu 稿件, and menu 稿件库's open and close. The library side of these
// commands grows with the library layer.
#include "app/AppGlobals.h"
#include "app/TStatusPanels.h"
#include "app/TfrmMain.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "platform/Skin.h"
#include "settings/RegConfig.h"

#include <QFileInfo>
#include <QTreeWidget>

namespace {

// Editor operations report file and printer failures by exception; the
// command ends and the message is shown, as the default error box would.
template <typename Operation>
bool RunEditorOperation(const QString& caption, Operation&& operation) {
    try {
        operation();
        return true;
    } catch (const EEditorError& error) {
        ShowMsgBox(error.Message(), caption, 2, g_Style, 1);
        return false;
    }
}

}  // namespace

void TfrmMain::SavePrompt(const QString& caption) {
    if (m_editor && m_editor->IsModified() &&
        ShowMsgBox(QStringLiteral("稿件的内容已经更改，是否保存？"), caption, 1, g_Style, 2) == 1)
        munFileSaveClick();
}

void TfrmMain::OpenTextFile(const QString& path) {
    Trace(QStringLiteral("OpenTextFile: ") + path);
    if (!m_editor || !m_editor->IsEnabled())
        return;
    if (DocData && DocData->Opened()) {
        // With a library open the file's text is appended to the manuscript.
        const QString before = m_editor->GetText();
        if (RunEditorOperation(QStringLiteral("打开"), [&] { m_editor->LoadFromFile(path); }))
            m_editor->SetText(before + m_editor->GetText());
        return;
    }
    SavePrompt(QStringLiteral("打开"));
    if (RunEditorOperation(QStringLiteral("打开"), [&] { m_editor->LoadFromFile(path); }))
        ShowManuscriptName(path);
}

void TfrmMain::OpenLibrary(const QString& path) {
    Trace(QStringLiteral("OpenLibrary: ") + path);
    CloseManuscript();
    if (DocData && DocData->OpenDocData(path)) {
        DocData->LoadFolderTree(tvDoc);
        const QTreeWidgetItem* top = tvDoc->topLevelItemCount() > 0 ? tvDoc->topLevelItem(0) : nullptr;
        DocData->LoadDocList(top ? top->data(0, Qt::UserRole).toInt() : 0, DocListView);
    } else {
        if (m_editor)
            m_editor->Reset(true);
        DocListView->clear();
        lvMark->clear();
        lvPic->clear();
    }
    UpdateLibraryState();
    if (RegConfig)
        RegConfig->WriteLastDB(path);
}

void TfrmMain::CloseManuscript() {
    if (m_editor && m_editor->IsModified() &&
        ShowMsgBox(QStringLiteral("稿件内容已经更改，是否保存？"), QStringLiteral("关闭稿件"), 1, g_Style, 2) == 1)
        munFileSaveClick();
    if (m_editor && m_editor->IsEnabled())
        m_editor->Reset(false);
}

void TfrmMain::SaveTextFile(const QString& path) {
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        if (RunEditorOperation(QStringLiteral("保存"), [&] { m_editor->SaveToFile(path); })) {
            ShowManuscriptName(path);
            m_editor->SetModified(false);
            StBarMain->SetPanelText(5, QStringLiteral("状态：保存"));
        }
        return;
    }
    munFileSaveAsClick();
}

void TfrmMain::munFileNewClick() {
    SavePrompt(QStringLiteral("新建"));
    if (!m_editor || (DocData && DocData->Opened()))
        return;   // new manuscripts in a library: library layer
    RunEditorOperation(QStringLiteral("新建"), [&] { m_editor->LoadFromFile(QString()); });
    m_editor->SetModified(false);
    ShowManuscriptName(QString());
    g_CurrentFile.clear();
    StBarMain->SetPanelText(5, QStringLiteral("状态：新建"));
}

void TfrmMain::munFileOpenClick() {
    SavePrompt(QStringLiteral("打开"));
    if (!m_editor || (DocData && DocData->Opened()))
        return;   // opening a manuscript of the library: library layer
    TFileDialogRequest request;
    request.caption = QStringLiteral("打开");
    request.filter = QStringLiteral("文本文件(*.txt)|*.txt|*.*|*.*");
    const QString path = Dialogs().OpenFileName(request);
    if (!path.isEmpty() &&
        RunEditorOperation(QStringLiteral("打开"), [&] { m_editor->LoadFromFile(path); })) {
        ShowManuscriptName(path);
        g_CurrentFile = path;
    }
    m_editor->SetModified(false);
    StBarMain->SetPanelText(5, QStringLiteral("状态：打开"));
}

void TfrmMain::munFileSaveClick() {
    if (!m_editor || (DocData && DocData->Opened()))
        return;   // saving a library manuscript: library layer
    SaveTextFile(g_CurrentFile);
}

void TfrmMain::munFileSaveAsClick() {
    if (!m_editor || (DocData && DocData->Opened()))
        return;
    TFileDialogRequest request;
    request.caption = QStringLiteral("另存为");
    request.filter = QStringLiteral("文本文件(*.txt)|*.txt");
    request.defaultExt = QStringLiteral("txt");
    const QString path = Dialogs().SaveFileName(request);
    if (path.isEmpty())
        return;
    if (RunEditorOperation(QStringLiteral("另存为"), [&] { m_editor->SaveToFile(path); })) {
        StBarMain->SetPanelText(1, QStringLiteral("稿件：") + path);
        g_CurrentFile = path;
        m_editor->SetModified(false);
        StBarMain->SetPanelText(5, QStringLiteral("状态：保存"));
    }
}

void TfrmMain::munFileDelClick() {}
void TfrmMain::munFileRenameClick() {}
void TfrmMain::munFileAttributeClick() {}
void TfrmMain::munFilePrintSetClick() {}

void TfrmMain::munFilePrintClick() {
    if (m_editor)
        RunEditorOperation(QStringLiteral("打印稿件"), [&] { m_editor->Print(); });
}

void TfrmMain::munFileExitClick() { close(); }

void TfrmMain::munInsertTxtClick() {
    if (!m_editor)
        return;
    TFileDialogRequest request;
    request.caption = QStringLiteral("插入文档");
    request.filter = QStringLiteral("文本文件(*.txt)|*.txt");
    const QString path = Dialogs().OpenFileName(request);
    if (!path.isEmpty())
        RunEditorOperation(QStringLiteral("插入文档"), [&] { m_editor->InsertFile(path); });
}

void TfrmMain::munDocBaseClick() {}

void TfrmMain::munDocOpenBaseClick() {
    TFileDialogRequest request;
    request.caption = QStringLiteral("打开稿件库");
    request.filter = QStringLiteral("稿件库(*.qdb)|*.qdb");
    request.defaultExt = QStringLiteral("qdb");
    const QString path = Dialogs().OpenFileName(request);
    if (!path.isEmpty())
        OpenLibrary(path);
}

void TfrmMain::munDocCloseBaseClick() {
    if (DocData)
        DocData->CloseDocData();
    if (m_editor)
        m_editor->Reset(true);
    DocListView->clear();
    lvMark->clear();
    lvPic->clear();
    UpdateLibraryState();
}
