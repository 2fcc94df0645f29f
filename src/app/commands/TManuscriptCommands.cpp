#include "app/commands/TManuscriptCommands.h"

#include "app/TAppContext.h"
#include "app/TStatusPanels.h"
#include "app/Trace.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/commands/TWritingCommands.h"
#include "app/dialogs/GoalBox.h"
#include "app/dialogs/TfrmDocAttr.h"
#include "editor/TqlvEditor.h"
#include "library/ManuscriptSaves.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "platform/ErrorText.h"
#include "settings/OptionValues.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTreeWidget>

using commandsteps::RunStep;

TManuscriptCommands::TManuscriptCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {
    m_typingClock.start();
}

TqlvEditor& TManuscriptCommands::Editor() const { return *m_main.Editor(); }

bool TManuscriptCommands::LibraryOpen() const { return m_context.DocData().Opened(); }

QTreeWidgetItem* TManuscriptCommands::SelectedDoc() const { return SelectedListItem(m_main.DocList()); }

void TManuscriptCommands::SetStatus(const QString& text) { m_main.StatusPanels()->SetPanelText(5, text); }

bool TManuscriptCommands::SavePrompt(const QString& caption, const QString& text) {
    if (!Editor().IsModified())
        return true;
    const QString question =
        text.isEmpty() ? QCoreApplication::translate("TManuscriptCommands", "稿件的内容已经更改，是否保存？") : text;
    switch (m_context.Dialogs().AskYesNoCancel(question, caption)) {
        case TAnswer::Yes:
            munFileSaveClick();
            return true;
        case TAnswer::No:
            return true;
        case TAnswer::Cancel:
            break;
    }
    return false;
}

// ---- opening and closing ----------------------------------------------------

void TManuscriptCommands::OpenTextFile(const QString& path) {
    Trace(QStringLiteral("OpenTextFile: ") + path);
    TqlvEditor& editor = Editor();
    if (!editor.IsEnabled())
        return;  // a library without an open manuscript
    if (LibraryOpen()) {
        // The file's text is appended to the open manuscript: a change the
        // writer can undo and must save.
        RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "打开"),
                [&] { editor.AppendFile(path); });
        return;
    }
    if (!SavePrompt(QCoreApplication::translate("TManuscriptCommands", "打开")))
        return;
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "打开"),
                [&] { editor.LoadFromFile(path); })) {
        m_main.ShowManuscriptName(path);
        // The file shown is the file a later Save writes.
        m_currentFile = path;
    }
}

void TManuscriptCommands::OpenTextFileDialog() {
    TFileDialogRequest request;
    request.caption = QCoreApplication::translate("TManuscriptCommands", "打开");
    request.filter = QCoreApplication::translate("TManuscriptCommands", "文本文件(*.txt)|*.txt|*.*|*.*");
    const QString path = m_context.Dialogs().OpenFileName(request);
    if (path.isEmpty())
        return;
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "打开"),
                [&] { Editor().LoadFromFile(path); })) {
        m_main.ShowManuscriptName(path);
        m_currentFile = path;
    }
}

bool TManuscriptCommands::SaveTextFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return munFileSaveAsClick();
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "保存"),
                 [&] { Editor().SaveToFile(path); }))
        return false;
    m_main.ShowManuscriptName(path);
    return true;
}

bool TManuscriptCommands::CloseManuscript() {
    if (!SavePrompt(QCoreApplication::translate("TManuscriptCommands", "关闭稿件"),
                    QCoreApplication::translate("TManuscriptCommands", "稿件内容已经更改，是否保存？")))
        return false;
    if (Editor().IsEnabled())
        Editor().Reset(false);
    m_typing.Reset();
    ShowWritingProgress();
    return true;
}

// ---- menu 稿件 --------------------------------------------------------------

void TManuscriptCommands::munFileNewClick() {
    if (!SavePrompt(QCoreApplication::translate("TManuscriptCommands", "新建")))
        return;
    TqlvEditor& editor = Editor();
    if (LibraryOpen()) {
        editor.Reset(true);
        const int folderID = ItemID(m_main.DocTree()->currentItem());
        TViewItem record;
        if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "新建"),
                    [&] { record = m_context.DocData().NewDoc(folderID); })) {
            StartCaptionEdit(m_main.DocList(), MakeListItem(record));
            editor.SetDocumentId(record.ID);
        }
    } else {
        RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "新建"),
                [&] { editor.LoadFromFile(QString()); });
    }
    editor.SetModified(false);
    m_main.ShowManuscriptName(QString());
    m_currentFile.clear();
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：新建"));
    m_typing.Reset();
    ShowWritingProgress();
}

void TManuscriptCommands::munFileOpenClick() {
    if (!SavePrompt(QCoreApplication::translate("TManuscriptCommands", "打开")))
        return;
    TqlvEditor& editor = Editor();
    if (LibraryOpen()) {
        QTreeWidgetItem* item = SelectedDoc();
        if (!item)
            return;
        const int id = ItemID(item);
        QString text;
        if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "打开"),
                     [&] { text = m_context.DocData().LoadDocText(id); }))
            return;
        editor.Reset(true);
        editor.SetDocumentId(id);
        editor.SetText(text);
        m_main.ShowManuscriptName(item->text(0));
    } else {
        OpenTextFileDialog();
    }
    editor.SetModified(false);
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：打开"));
    m_typing.Reset();
    ShowWritingProgress();
}

// What SaveDoc stores of the editor: size, counts and text.
TDocAttr TManuscriptCommands::EditorAttributes() const {
    const TqlvEditor& editor = Editor();
    const TWordCount counts = editor.CountWords();
    TDocAttr attr;
    attr.DocSize = QString::number(editor.TextLength());
    attr.cnCount = QString::number(counts.Chinese);
    attr.enCount = QString::number(counts.English);
    attr.Txt = editor.GetText();
    return attr;
}

// Saves the manuscript bound to the editor (not necessarily the selected one).
// A library file deleted while open (its folder removed, say) still takes
// writes through the open handle, and they vanish when it closes: refuse,
// so the text stays in the editor.
void TManuscriptCommands::SaveBoundManuscript() {
    TqlvDocData& data = m_context.DocData();
    if (!QFileInfo::exists(data.GetDocDataName()))
        throw EUserError(QCoreApplication::translate("TManuscriptCommands", "稿件库文件已被移走或删除，无法保存：\n") +
                             data.GetDocDataName(),
                         QCoreApplication::translate("TManuscriptCommands", "保存"), 2);
    TSaveOptions options;
    options.TypingSeconds = m_typing.TakeSeconds();
    options.KeepHistory = ReadKeepHistory(m_context.RegConfig());
    m_context.Saves().Save(Editor().GetDocumentId(), EditorAttributes(), options);
}

bool TManuscriptCommands::SaveBoundText() {
    if (!Editor().IsEnabled() ||
        !RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "保存"),
                 [&] { SaveBoundManuscript(); }))
        return false;
    Editor().SetModified(false);
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：保存"));
    ShowWritingProgress();
    return true;
}

bool TManuscriptCommands::munFileSaveClick() {
    if (LibraryOpen()) {
        if (!SelectedDoc() || !Editor().IsEnabled())
            return false;
        if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "保存"),
                     [&] { SaveBoundManuscript(); }))
            return false;
    } else if (!SaveTextFile(m_currentFile)) {
        return false;  // Save As cancelled or failed: flag and status stay
    }
    Editor().SetModified(false);
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：保存"));
    ShowWritingProgress();
    return true;
}

bool TManuscriptCommands::munFileSaveAsClick() {
    const bool library = LibraryOpen();
    if (library && !SelectedDoc())
        return false;
    TFileDialogRequest request;
    request.caption = QCoreApplication::translate("TManuscriptCommands", "另存为");
    request.filter = QCoreApplication::translate("TManuscriptCommands", "文本文件(*.txt)|*.txt");
    request.defaultExt = QStringLiteral("txt");
    const QString path = m_context.Dialogs().SaveFileName(request);
    if (path.isEmpty())
        return false;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "另存为"),
                 [&] { Editor().SaveToFile(path); }))
        return false;
    m_main.StatusPanels()->SetPanelText(1, QCoreApplication::translate("TfrmMain", "稿件：%1").arg(path));
    if (library)
        return true;  // an export of the manuscript: the manuscript itself is not saved
    m_currentFile = path;
    Editor().SetModified(false);
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：保存"));
    return true;
}

void TManuscriptCommands::munFileDelClick() {
    if (!LibraryOpen() || !SelectedDoc())
        return;
    if (!m_context.Dialogs().Confirm(QCoreApplication::translate("TManuscriptCommands", "确实要删除此稿件吗？"),
                                     QCoreApplication::translate("TManuscriptCommands", "删除稿件")))
        return;
    QTreeWidget* list = m_main.DocList();
    QList<int> ids;
    for (const QTreeWidgetItem* item : list->selectedItems())
        ids << ItemID(item);
    Editor().Reset(false);
    QList<int> gone;
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "删除稿件"),
            [&] { gone = m_context.Saves().DeleteDocs(ids); });
    for (int i = list->topLevelItemCount() - 1; i >= 0; --i)
        if (gone.contains(ItemID(list->topLevelItem(i))))
            delete list->takeTopLevelItem(i);
    m_main.ReloadMarkList();
    ShowWritingProgress();
}

void TManuscriptCommands::munFileRenameClick() {
    if (QTreeWidgetItem* item = SelectedDoc())
        StartCaptionEdit(m_main.DocList(), item);
}

// Only the end of an in-place edit changes an item's text while signals flow;
// the window's own changes block them.
void TManuscriptCommands::AttachViews() {
    QTreeWidget* list = m_main.DocList();
    QObject::connect(list, &QTreeWidget::itemChanged, list, [this](QTreeWidgetItem* item, int column) {
        if (column == 0)
            DocListViewEdited(item);
    });
}

void TManuscriptCommands::DocListViewEdited(QTreeWidgetItem* item) {
    if (!item || !LibraryOpen())
        return;
    const int id = ItemID(item);
    const QString name = item->text(0);
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "重命名"), [&] {
        m_context.DocData().RenameSelectedDoc(id, name);
        m_context.DocData().RenameMarkParent(id, name);
    });
    if (Editor().IsEnabled() && SelectedDoc() == item)
        m_main.ShowManuscriptName(name);
    m_main.ReloadMarkList();
}

void TManuscriptCommands::munFileAttributeClick() {
    QTreeWidgetItem* item = LibraryOpen() ? SelectedDoc() : nullptr;
    if (!item)
        return;
    const int id = ItemID(item);
    TDocAttr attr;
    std::optional<TGoal> goal;
    TManuscriptSaves& saves = m_context.Saves();
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "属性"), [&] {
            m_context.DocData().GetDocAttr(id, attr);
            goal = saves.Goals().Find(TGoalKind::Manuscript, id);
        }))
        return;
    TfrmDocAttr dialog(m_context.Dialogs(), attr, m_main.Window());
    dialog.GoalBox()->SetGoal(TGoalKind::Manuscript, id, goal, saves.Goals().Today());
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return;
    attr = dialog.Result();
    const bool renamed = attr.DocName != item->text(0);
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "属性"), [&] {
            m_context.DocData().SetDocAttr(id, attr);
            if (renamed)
                m_context.DocData().RenameMarkParent(id, attr.DocName);
        })) {
        {
            const QSignalBlocker quiet(m_main.DocList());
            item->setText(0, attr.DocName);
        }
        if (renamed) {
            if (Editor().IsEnabled() && SelectedDoc() == item)
                m_main.ShowManuscriptName(attr.DocName);
            m_main.ReloadMarkList();
        }
    }
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("TManuscriptCommands", "设置目标"),
                [&] { StoreGoal(*dialog.GoalBox(), saves); }))
        ShowWritingProgress();
}

void TManuscriptCommands::munFilePrintSetClick() { Editor().PrinterSetup(); }

// Without a printer the text can still go to a PDF file the writer names.
void TManuscriptCommands::munFilePrintClick() {
    const QString caption = QCoreApplication::translate("TManuscriptCommands", "打印稿件");
    if (TqlvEditor::HasDefaultPrinter()) {
        RunStep(m_context.Dialogs(), caption, [&] { Editor().Print(); });
        return;
    }
    if (!m_context.Dialogs().Confirm(
            QCoreApplication::translate("TManuscriptCommands", "没有找到可用的打印机。是否打印到 PDF 文件？"), caption))
        return;
    TFileDialogRequest request;
    request.caption = caption;
    request.filter = QCoreApplication::translate("TManuscriptCommands", "PDF 文件(*.pdf)|*.pdf");
    request.defaultExt = QStringLiteral("pdf");
    const QString path = m_context.Dialogs().SaveFileName(request);
    if (!path.isEmpty())
        RunStep(m_context.Dialogs(), caption, [&] { Editor().PrintToPdf(path); });
}

void TManuscriptCommands::munFileExitClick() { m_main.CloseWindow(); }

// The tick never opens a dialog: it saves only modified text that has a
// home, an open manuscript or a named text file; an untitled text waits for
// the user, and a failure is shown in the status bar, not in a box.
void TManuscriptCommands::timerAutoSaveTimer() {
    TqlvEditor& editor = Editor();
    if (!editor.IsModified() || !editor.IsEnabled())
        return;
    try {
        if (LibraryOpen())
            SaveBoundManuscript();
        else if (!m_currentFile.isEmpty())
            editor.SaveToFile(m_currentFile);
        else
            return;
    } catch (const EEditorError& error) {
        SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：自动保存失败 %1")
                      .arg(TranslatedText(error.Message())));
        return;
    } catch (const std::exception& error) {
        SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：自动保存失败 %1")
                      .arg(TranslatedText(commandsteps::MessageOf(error))));
        return;
    }
    editor.SetModified(false);
    SetStatus(QCoreApplication::translate("TManuscriptCommands", "状态：保存"));
    ShowWritingProgress();
}

// ---- writing log --------------------------------------------------------------

void TManuscriptCommands::KeyTyped() { m_typing.KeyPressed(m_typingClock.elapsed()); }

int TManuscriptCommands::OpenDocID() const {
    if (!LibraryOpen() || !Editor().IsEnabled())
        return 0;
    try {
        return Editor().GetDocumentId();
    } catch (const EEditorError&) {
        return 0;
    }
}

void TManuscriptCommands::ShowWritingProgress() {
    TStatusPanels* panels = m_main.StatusPanels();
    if (!LibraryOpen()) {
        panels->SetWritingTexts(QString(), QString());
        return;
    }
    try {
        TManuscriptSaves& saves = m_context.Saves();
        const QString today =
            QCoreApplication::translate("TManuscriptCommands", "今日：%1 字").arg(saves.Log().TodayChars());
        QString goalText;
        if (const int docID = OpenDocID()) {
            if (const std::optional<TGoal> goal = saves.Goals().Find(TGoalKind::Manuscript, docID))
                goalText = QCoreApplication::translate("TManuscriptCommands", "目标：%1 / %2")
                               .arg(saves.Goals().Progress(*goal).Written)
                               .arg(goal->Chars);
        }
        panels->SetWritingTexts(today, goalText);
    } catch (const std::exception& error) {
        Trace(QStringLiteral("ShowWritingProgress: ") + commandsteps::MessageOf(error));
        panels->SetWritingTexts(QString(), QString());
    }
}
