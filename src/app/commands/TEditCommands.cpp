#include "app/commands/TEditCommands.h"

#include "app/TAppContext.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "editor/TqlvEditor.h"
#include "platform/DialogService.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextEdit>

TEditCommands::TEditCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

TqlvEditor& TEditCommands::Editor() const { return *m_main.Editor(); }

void TEditCommands::munEditUndoClick() { Editor().Undo(); }
void TEditCommands::munEditRedoClick() { Editor().Redo(); }
void TEditCommands::munEditCutClick() { Editor().Cut(); }
void TEditCommands::munEditCopyClick() { Editor().Copy(); }
void TEditCommands::munCopyAllClick() { Editor().CopyAll(); }
void TEditCommands::munEditPasteClick() { Editor().Paste(); }
void TEditCommands::munEditDelClick() { Editor().DeleteSelection(); }
void TEditCommands::munDelLineClick() { Editor().DeleteLine(); }
void TEditCommands::munDelFromBeginClick() { Editor().DeleteToStart(); }
void TEditCommands::munDelFromEndClick() { Editor().DeleteToEnd(); }
void TEditCommands::munEditSelAllClick() { Editor().SelectAll(); }
void TEditCommands::munSelFromBeginClick() { Editor().SelectToStart(); }
void TEditCommands::munSelFromEndClick() { Editor().SelectToEnd(); }

void TEditCommands::munEditFontClick() {
    const QFont current = Editor().Control()->currentFont();
    if (const std::optional<QFont> font = m_context.Dialogs().ChooseFont(current)) {
        Editor().SetFont(*font);
        m_main.UpdateEditActions();
    }
}

void TEditCommands::munEditBGClick() {
    const QColor current = Editor().Control()->palette().color(QPalette::Base);
    if (const std::optional<QColor> color = m_context.Dialogs().ChooseColor(current))
        Editor().SetColor(*color);
}

// The item has already toggled its check mark when this runs.
void TEditCommands::munEditWrapClick() {
    Editor().SetWordWrap(m_main.Action(QStringLiteral("munEditWrap"))->isChecked());
}

void TEditCommands::comboxFontNameChange() {
    Editor().SetSelFontName(m_main.FontNameBox()->currentText());
    Editor().Focus();
}

void TEditCommands::comboxFontSizeChange() {
    Editor().SetSelFontSize(m_main.FontSizeBox()->currentText().toInt());
    Editor().Focus();
}

void TEditCommands::munFindSearchClick() { Editor().Find(); }
void TEditCommands::munFindNextClick() { Editor().FindNext(); }
void TEditCommands::munFindReplaceClick() { Editor().Replace(); }
void TEditCommands::munInsertTimeClick() { Editor().InsertTime(); }
void TEditCommands::munInsertDateClick() { Editor().InsertDate(); }

// Clipboard watching: while checked, text newly put on the clipboard is
// inserted at the caret; checking inserts the current clipboard text at once.
void TEditCommands::munEditWatchClipperClick() {
    QAction* item = m_main.Action(QStringLiteral("munEditWatchClipper"));
    QClipboard* clipboard = QGuiApplication::clipboard();
    QObject::disconnect(m_clipboardWatch);
    if (!item->isChecked() || !clipboard)
        return;
    auto insertClipboardText = [this, clipboard] {
        const QString text = clipboard->text();
        if (!text.isEmpty())
            Editor().InsertText(text);
    };
    m_clipboardWatch = QObject::connect(clipboard, &QClipboard::dataChanged, m_main.Window(), insertClipboardText);
    insertClipboardText();
}

// 插入 ▸ 外部文件 ▸ 文档: a text file's text at the caret.
void TEditCommands::munInsertTxtClick() {
    TFileDialogRequest request;
    request.caption = QCoreApplication::translate("TEditCommands", "插入文档");
    request.filter = QCoreApplication::translate("TEditCommands", "文本文件(*.txt)|*.txt");
    const QString path = m_context.Dialogs().OpenFileName(request);
    if (!path.isEmpty())
        commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TEditCommands", "插入文档"),
                              [&] { Editor().InsertFile(path); });
}
