// Construction, events, clipboard, quick deletion and selection, fonts and
// the plain-text view of the control. Search lives in EditorSearch.cpp, files
// and printing in EditorFiles.cpp, line arithmetic in DisplayLines.cpp.
#include "editor/TqlvEditor.h"

#include "editor/DisplayLines.h"
#include "editor/EditorText.h"
#include "editor/FindDialog.h"
#include "editor/ReplaceDialog.h"
#include "editor/TqlvTextEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

EEditorError::EEditorError(const QString& message) : std::runtime_error(message.toStdString()) {}

QString EEditorError::Message() const { return QString::fromStdString(what()); }

TqlvEditor::TqlvEditor(QWidget* parentFrame, QMenu* popupMenu, QObject* owner) : QObject(owner), m_popup(popupMenu) {
    ConfigureControl(parentFrame);
    ConnectControl();
    ReportSelection();
}

TqlvEditor::~TqlvEditor() {
    // The dialogs are parented to the main window and the control to its
    // frame; whichever of them is still alive goes with the editor.
    delete m_findDialog.data();
    delete m_replaceDialog.data();
    if (m_control) {
        m_control->removeEventFilter(this);
        disconnect(m_control, nullptr, this, nullptr);
        disconnect(m_control->document(), nullptr, this, nullptr);
        delete m_control.data();
    }
}

void TqlvEditor::ConfigureControl(QWidget* parentFrame) {
    m_control = new TqlvTextEdit(parentFrame);
    m_control->setObjectName(QStringLiteral("Editor"));
    m_control->setAcceptRichText(false);   // no embedded objects, pasted text stays plain
    m_control->setTabChangesFocus(false);  // Tab inserts a tab
    m_control->setLineWrapMode(QTextEdit::WidgetWidth);
    m_control->setContextMenuPolicy(Qt::CustomContextMenu);
    // The selection stays visible (in the same colour) when the focus leaves.
    QPalette palette = m_control->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_control->setPalette(palette);
    if (parentFrame) {
        QLayout* layout = parentFrame->layout();
        if (!layout) {
            layout = new QVBoxLayout(parentFrame);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        layout->addWidget(m_control);
    }
    m_controlObject = m_control;
    m_control->installEventFilter(this);
}

void TqlvEditor::ConnectControl() {
    QTextEdit* control = m_control;
    connect(control, &QTextEdit::cursorPositionChanged, this, &TqlvEditor::ReportSelection);
    connect(control, &QTextEdit::selectionChanged, this, &TqlvEditor::ReportSelection);
    connect(control, &QTextEdit::undoAvailable, this, &TqlvEditor::ReportSelection);
    connect(control, &QTextEdit::redoAvailable, this, &TqlvEditor::ReportSelection);
    connect(control, &QTextEdit::currentCharFormatChanged, this, [this] {
        ++m_formatSerial;
        ReportSelection();
    });
    connect(control->document(), &QTextDocument::modificationChanged, this, &TqlvEditor::ModifiedChanged);
    connect(control, &QWidget::customContextMenuRequested, this, &TqlvEditor::ShowContextMenu);
}

void TqlvEditor::ReportSelection() {
    if (m_selectionReportingSuspended || !m_control)
        return;
    // Qt signals one user action several times (cursor, selection, undo
    // state); report each distinct state once.
    const QTextCursor cursor = m_control->textCursor();
    const TReportedState state{cursor.anchor(), cursor.position(), CanUndo(),
                               CanRedo(),       m_formatSerial,    m_control->document()->revision()};
    if (m_lastReported && *m_lastReported == state)
        return;
    m_lastReported = state;
    emit SelectionChanged();
    emit CaretPositionChanged(tr("行：%1").arg(CaretLine() + 1), tr("列：%1").arg(CaretColumn() + 1));
}

void TqlvEditor::ReportState() {
    m_lastReported.reset();
    ReportSelection();
}

void TqlvEditor::ShowContextMenu(const QPoint& pos) {
    if (m_popup && m_control)
        m_popup->popup(m_control->viewport()->mapToGlobal(pos));
}

bool TqlvEditor::eventFilter(QObject* watched, QEvent* event) {
    // Only key events matter; checking the type first also keeps a control
    // that is being destroyed (focus events) from being looked at.
    const QEvent::Type type = event->type();
    if (type == QEvent::InputMethod && watched == m_controlObject && m_control)
        ReportTyping(event);
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || watched != m_controlObject || !m_control)
        return QObject::eventFilter(watched, event);
    if (type == QEvent::KeyRelease) {
        // The X server turns a lock off when its key is released, not when it
        // is pressed: the state read at the press is still the old one.
        const int released = static_cast<QKeyEvent*>(event)->key();
        if (released == Qt::Key_CapsLock || released == Qt::Key_NumLock)
            emit KeyStateChanged();
        return QObject::eventFilter(watched, event);
    }
    ReportTyping(event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Insert:
            // Shift+Insert and Ctrl+Insert stay the clipboard keys.
            if (key->modifiers() == Qt::NoModifier) {
                m_control->setOverwriteMode(!m_control->overwriteMode());
                emit KeyStateChanged();
                return true;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_paragraphIndent && !m_control->isReadOnly() &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                BreakIndentedParagraph();
                return true;
            }
            // Shift+Enter would put a soft line break inside the paragraph; the
            // text is plain, so every break is a paragraph break.
            if (key->modifiers() & Qt::ShiftModifier) {
                QTextCursor cursor = m_control->textCursor();
                cursor.insertBlock();
                m_control->setTextCursor(cursor);
                m_control->ensureCursorVisible();
                return true;
            }
            break;
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            emit KeyStateChanged();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

// Writing keys and committed input count as typing; moving the caret,
// shortcuts and lock keys do not. A read-only control types nothing.
void TqlvEditor::ReportTyping(const QEvent* event) {
    if (m_control->isReadOnly())
        return;
    if (event->type() == QEvent::InputMethod) {
        if (!static_cast<const QInputMethodEvent*>(event)->commitString().isEmpty())
            emit Typed();
        return;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool erases = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
    const bool writes = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool breaks = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (erases || writes || breaks)
        emit Typed();
}

QTextEdit* TqlvEditor::Control() const { return m_control; }

void TqlvEditor::Focus() {
    if (m_control && m_control->isEnabled() && m_control->isVisible())
        m_control->setFocus(Qt::OtherFocusReason);
}

bool TqlvEditor::CanUndo() const { return m_control->document()->isUndoAvailable(); }
void TqlvEditor::Undo() { m_control->undo(); }
bool TqlvEditor::CanRedo() const { return m_control->document()->isRedoAvailable(); }
void TqlvEditor::Redo() { m_control->redo(); }
bool TqlvEditor::HasSelection() const { return m_control->textCursor().hasSelection(); }
void TqlvEditor::Cut() { m_control->cut(); }
void TqlvEditor::Copy() { m_control->copy(); }
void TqlvEditor::Paste() { m_control->paste(); }
bool TqlvEditor::CanPaste() const { return m_control->canPaste(); }

void TqlvEditor::CopyAll() {
    m_control->selectAll();
    m_control->copy();
    SelectRange(0, 0);
}

int TqlvEditor::SelectionStart() const { return m_control->textCursor().selectionStart(); }
int TqlvEditor::SelectionEnd() const { return m_control->textCursor().selectionEnd(); }

void TqlvEditor::SelectRange(int anchor, int position) {
    QTextCursor cursor = m_control->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    m_control->setTextCursor(cursor);
    m_control->ensureCursorVisible();
}

void TqlvEditor::DeleteSelection() {
    QTextCursor cursor = m_control->textCursor();
    cursor.removeSelectedText();
    m_control->setTextCursor(cursor);
}

void TqlvEditor::DeleteToStart() {
    SelectToStart();
    DeleteSelection();
}

void TqlvEditor::DeleteToEnd() {
    SelectToEnd();
    DeleteSelection();
}

void TqlvEditor::SelectAll() { m_control->selectAll(); }

void TqlvEditor::SelectToStart() { SelectRange(0, SelectionStart()); }

void TqlvEditor::SelectToEnd() { SelectRange(SelectionStart(), editortext::EndPosition(*m_control->document())); }

void TqlvEditor::SetFont(const QFont& font, const QColor& textColor) {
    m_control->setFont(font);
    if (textColor.isValid()) {
        QPalette palette = m_control->palette();
        palette.setColor(QPalette::Text, textColor);
        m_control->setPalette(palette);
    }
}

void TqlvEditor::SetFontName(const QString& name) {
    if (name.isEmpty())
        return;
    QFont font = m_control->font();
    font.setFamilies({name});
    m_control->setFont(font);
}

void TqlvEditor::SetFontSize(int pointSize) {
    if (pointSize < 1)
        return;
    QFont font = m_control->font();
    font.setPointSize(pointSize);
    m_control->setFont(font);
}

void TqlvEditor::SetSelFontName(const QString& name) {
    if (name.isEmpty())
        return;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    m_control->mergeCurrentCharFormat(format);
}

void TqlvEditor::SetSelFontSize(int pointSize) {
    if (pointSize < 1)
        return;
    QTextCharFormat format;
    format.setFontPointSize(pointSize);
    m_control->mergeCurrentCharFormat(format);
}

QString TqlvEditor::GetSelFontName() const { return editortext::FontAtCursor(*m_control).family(); }

int TqlvEditor::GetSelFontSize() const {
    const QFont font = editortext::FontAtCursor(*m_control);
    return font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
}

void TqlvEditor::SetColor(const QColor& background) {
    if (!background.isValid())
        return;
    QPalette palette = m_control->palette();
    palette.setColor(QPalette::Base, background);
    m_control->setPalette(palette);
}

void TqlvEditor::SetWordWrap(bool on) {
    m_control->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_lastReported.reset();
    ReportSelection();
}

bool TqlvEditor::WordWrap() const { return m_control->lineWrapMode() != QTextEdit::NoWrap; }
void TqlvEditor::SetImeName(const QString& name) { m_imeName = name; }
QString TqlvEditor::ImeName() const { return m_imeName; }

QString TqlvEditor::GetSelText() const { return editortext::ToCrLf(m_control->textCursor().selectedText()); }

QString TqlvEditor::GetText() const { return editortext::ToCrLf(m_control->document()->toRawText()); }

void TqlvEditor::SetText(const QString& text) { m_control->setPlainText(text); }

void TqlvEditor::ReplaceAllText(const QString& text) {
    QTextCursor cursor(m_control->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.insertText(text);
    cursor.endEditBlock();
    cursor.movePosition(QTextCursor::Start);
    m_control->setTextCursor(cursor);
}

void TqlvEditor::InsertText(const QString& text) {
    // The caret ends after what was inserted; with line breaks in the text
    // that is not start + text.size(), since CR LF becomes one break.
    QTextCursor cursor = m_control->textCursor();
    cursor.insertText(text);
    cursor.clearSelection();
    m_control->setTextCursor(cursor);
    m_control->ensureCursorVisible();
    Focus();
}

QString TqlvEditor::TimeText(const QTime& time) { return tr("%1时%2分").arg(time.hour()).arg(time.minute()); }

QString TqlvEditor::DateText(const QDate& date) {
    return tr("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

void TqlvEditor::InsertTime() { InsertText(TimeText(QTime::currentTime())); }
void TqlvEditor::InsertDate() { InsertText(DateText(QDate::currentDate())); }
bool TqlvEditor::IsModified() const { return m_control->document()->isModified(); }
void TqlvEditor::SetModified(bool modified) { m_control->document()->setModified(modified); }

// The raw text counts like GetText() (its separators are line breaks to the
// counter) and saves converting a long manuscript.
int TqlvEditor::CountEnglishWords() const { return CountEnglishWordsIn(m_control->document()->toRawText()); }

TWordCount TqlvEditor::CountWords() const { return CountWordsIn(m_control->document()->toRawText()); }

void TqlvEditor::SetDocumentId(int id) {
    m_documentId = QString::number(id);
    m_control->setDocumentTitle(m_documentId);
}

int TqlvEditor::GetDocumentId() const {
    bool ok = false;
    const int id = m_documentId.toInt(&ok);
    if (!ok)
        throw EEditorError(QStringLiteral("'%1' is not a valid manuscript id").arg(m_documentId));
    return id;
}

void TqlvEditor::Reset(bool enabled) {
    m_control->clear();
    // Emptied on purpose: nothing is left to save. clear() can report the
    // document changed without reporting it unchanged again, so listeners
    // (the window's title and status) are told here.
    m_control->document()->setModified(false);
    emit ModifiedChanged(false);
    m_control->setEnabled(enabled);
}

bool TqlvEditor::IsEnabled() const { return m_control->isEnabled(); }
bool TqlvEditor::OverwriteMode() const { return m_control->overwriteMode(); }
QString TqlvEditor::FileName() const { return m_fileName; }
TSearchOptions TqlvEditor::LastSearch() const { return m_lastSearch; }
TfrmFind* TqlvEditor::FindDialog() const { return m_findDialog; }
TfrmReplace* TqlvEditor::ReplaceDialog() const { return m_replaceDialog; }

// Lines as the control shows them (see DisplayLines.h).

int TqlvEditor::CaretLine() const { return DisplayLineAt(*m_control->document(), WordWrap(), SelectionEnd()); }

int TqlvEditor::CaretColumn() const {
    const int end = SelectionEnd();
    return end - DisplayLineStart(*m_control->document(), WordWrap(), end);
}

void TqlvEditor::GotoLine(int lineNumber) {
    // Line number 0 (or less) stands for the caret's own line; a number past
    // the last line goes to the last line.
    const QTextDocument& document = *m_control->document();
    const int index = lineNumber - 1;
    const int position = index < 0 ? DisplayLineStart(document, WordWrap(), SelectionEnd())
                                   : DisplayLineStartOfIndex(document, WordWrap(), index);
    SelectRange(position, position);
    Focus();
}

int TqlvEditor::CaretParagraph() const { return ParagraphAt(*m_control->document(), SelectionEnd()); }

void TqlvEditor::GotoParagraph(int paragraphNumber) {
    const int position = ParagraphStart(*m_control->document(), paragraphNumber);
    SelectRange(position, position);
    Focus();
}

void TqlvEditor::DeleteLine() {
    const TTextRange line = DisplayLineWithBreak(*m_control->document(), WordWrap(), SelectionStart());
    QTextCursor cursor = m_control->textCursor();
    cursor.setPosition(line.from);
    cursor.setPosition(line.to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_control->setTextCursor(cursor);
    m_control->ensureCursorVisible();
}
