// TqlvEditor: the main window's one text editor. It wraps a QTextEdit holding
// plain text (fonts chosen per selection live in character formats and are
// never stored) and offers the text operations the commands use: undo and the
// clipboard, quick deletion and selection relative to the caret, fonts and
// colour, find and replace, inserting text, files, date and time, counting,
// loading, saving and printing, and the id of the manuscript the text belongs
// to.
//
// Ownership: the editor owns its QTextEdit (when the parent frame is destroyed
// first, the control goes with it and the editor notices) and its find and
// replace dialogs. The pop-up menu stays the caller's.
//
// The editor knows nothing of the main window. It reports through signals:
//   SelectionChanged      -> the main window runs UpdateEditActions;
//   CaretPositionChanged  -> status panels 6 and 7 ("行：n", "列：n");
//   KeyStateChanged       -> Insert, Caps Lock or Num Lock was pressed: refresh
//                            panels 2-4 (Insert has already toggled
//                            OverwriteMode() when this fires);
//   ModifiedChanged       -> the modified flag changed;
//   Typed                 -> a key that writes or erases was pressed, or an
//                            input method committed text (the typing time);
//   SearchNote            -> a note for the status bar: a search that went on
//                            from the other end, how many 全部替换 replaced;
//                            empty clears the last note.
//
// Failures: LoadFromFile, SaveToFile, InsertFile, Print and GetDocumentId
// throw EEditorError with a user-readable message; the editor then keeps its
// previous text. Searching that finds nothing shows the message box
// "已完成对文档的搜索，没有找到搜索项！" through the installed dialog service.
//
// Lines: CaretLine, GotoLine and DeleteLine count the control's lines, so with
// word wrap on every wrapped display line is a line of its own. The control
// lays a long text out in the background; until it has reached a paragraph,
// that paragraph counts as one line.
//
// Ownership of calls: every operation needs the control alive; once the parent
// frame has destroyed it, only the destructor may run.
#pragma once

#include "editor/SearchOptions.h"
#include "editor/WordCount.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QString>
#include <QTime>
#include <optional>
#include <stdexcept>

class QEvent;
class QMenu;
class QPoint;
class QPrinter;
class QTextCursor;
class QTextEdit;
class QWidget;
class TfrmFind;
class TfrmReplace;
class TqlvTextEdit;

// The editor's error: file and printer failures, bad document ids.
class EEditorError : public std::runtime_error {
public:
    explicit EEditorError(const QString& message);
    QString Message() const;
};

class TqlvEditor : public QObject {
    Q_OBJECT

public:
    // Create: builds the control inside parentFrame (filling it) with popupMenu
    // as its context menu. Both may be nullptr (tests: a top-level control).
    TqlvEditor(QWidget* parentFrame, QMenu* popupMenu, QObject* owner = nullptr);
    ~TqlvEditor() override;  // Destroy

    QTextEdit* Control() const;
    void Focus();

    // Undo and clipboard.
    bool CanUndo() const;
    void Undo();
    bool CanRedo() const;
    void Redo();
    bool HasSelection() const;
    void Cut();
    void Copy();
    void Paste();
    bool CanPaste() const;
    void CopyAll();

    // Quick deletion and selection relative to the caret.
    void DeleteSelection();
    void DeleteLine();
    void DeleteToStart();
    void DeleteToEnd();
    void SelectAll();
    void SelectToStart();
    void SelectToEnd();

    // Fonts and colour. SetFont sets the control's default font; an invalid
    // textColor keeps the current text colour.
    void SetFont(const QFont& font, const QColor& textColor = QColor());
    void SetFontName(const QString& name);
    void SetFontSize(int pointSize);
    void SetSelFontName(const QString& name);
    void SetSelFontSize(int pointSize);  // sizes below 1 are ignored
    QString GetSelFontName() const;
    int GetSelFontSize() const;
    void SetColor(const QColor& background);
    void SetWordWrap(bool on);
    bool WordWrap() const;
    // The input method is chosen per desktop session on Linux, so the name is
    // only kept (the preferences show it); nothing is activated.
    void SetImeName(const QString& name);
    QString ImeName() const;

    // Writing modes (EditorModes.cpp; see TqlvTextEdit.h). None of them
    // changes the text or its undo history. SetColumnCharacters(0) fills the
    // width again.
    void SetColumnCharacters(int characters);
    void SetTypewriterScrolling(bool on);
    void SetFocusMode(bool on);
    // "段首缩进两字": Enter (and Shift+Enter) start the new paragraph with two
    // U+3000; pasted and inserted text is left as it is.
    void SetParagraphIndent(bool on);
    bool ParagraphIndent() const { return m_paragraphIndent; }
    // 整理段首缩进: every paragraph of the selection (of the whole text
    // without one) that holds more than blanks starts with exactly the
    // indent; one undo step. Returns how many paragraphs changed.
    int NormaliseIndents();
    TqlvTextEdit* TextEdit() const;

    // Find and replace. The dialogs are modeless and kept once created; see
    // FindDialog()/ReplaceDialog().
    void Find();
    bool FindNext();
    void Replace();
    TfrmFind* FindDialog() const;        // nullptr until Find was first used
    TfrmReplace* ReplaceDialog() const;  // nullptr until Replace was first used
    TSearchOptions LastSearch() const;

    // Text.
    QString GetSelText() const;  // line breaks as CR LF
    QString GetText() const;     // lines joined by CR LF
    void SetText(const QString& text);
    // Replaces the whole text as one step Undo takes back (SetText clears
    // the undo history); the caret goes to the start.
    void ReplaceAllText(const QString& text);
    void InsertText(const QString& text);
    void InsertFile(const QString& path);
    void InsertTime();
    void InsertDate();
    static QString TimeText(const QTime& time);  // "9时5分"
    static QString DateText(const QDate& date);  // "2004年5月1日"
    bool IsModified() const;
    void SetModified(bool modified);

    // Lines, from 0 for CaretLine; GotoLine takes a line number from 1.
    int CaretLine() const;
    int CaretColumn() const;  // from 0: selection end minus its line's start
    void GotoLine(int lineNumber);
    // Paragraphs (logical lines, ended by a line break), whatever the width
    // and wrapping: the caret's from 0, and a move to the start of one from 1
    // (past the last goes to the last).
    int CaretParagraph() const;
    void GotoParagraph(int paragraphNumber);

    // Counting (see WordCount.h).
    int CountEnglishWords() const;
    TWordCount CountWords() const;
    int TextLength() const;  // GB18030 byte length of GetText()

    // Files. LoadFromFile("") empties the editor and names it "新建稿件".
    void LoadFromFile(const QString& path);
    // Adds the file's text (decoded as LoadFromFile does) after the text,
    // starting on a line of its own, as one undo step that marks the text
    // modified. Throws EEditorError when the file cannot be read.
    void AppendFile(const QString& path);
    void SaveToFile(const QString& path);
    QString FileName() const;

    // Prints on the default printer without a dialog. When a PDF output file
    // is set, the printout goes there instead (tests, print-to-file).
    void Print();
    // Prints to the PDF file pdfPath, whatever the printer and output file.
    void PrintToPdf(const QString& pdfPath);
    static bool HasDefaultPrinter();
    // The printer set-up dialog (through the dialog service); the page layout
    // chosen there is used by the following prints.
    void PrinterSetup();
    void SetPrintOutputFile(const QString& pdfPath);

    // The manuscript the text belongs to.
    void SetDocumentId(int id);
    int GetDocumentId() const;  // throws EEditorError when unset or not a number

    void Reset(bool enabled);
    bool IsEnabled() const;
    bool OverwriteMode() const;
    // Emits SelectionChanged and CaretPositionChanged for the current state,
    // e.g. right after the main window has connected them.
    void ReportState();

signals:
    void SelectionChanged();
    void CaretPositionChanged(const QString& lineText, const QString& columnText);
    void KeyStateChanged();
    void ModifiedChanged(bool modified);
    void Typed();
    void SearchNote(const QString& note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConfigureControl(QWidget* parentFrame);
    void ConnectControl();
    void ReportSelection();
    void ShowContextMenu(const QPoint& pos);
    void SelectRange(int anchor, int position);
    int SelectionStart() const;
    int SelectionEnd() const;
    QString SelectionPrefill() const;
    bool SearchAndSelect(const TSearchOptions& options, bool reportNotFound);
    bool SelectionMatches(const TSearchOptions& options) const;
    void RunReplaceFromDialog(const TSearchOptions& options, const QString& replacement);
    void RunReplaceAllFromDialog(const TSearchOptions& options, const QString& replacement);
    void KeepDialogOffSelection(QWidget* dialog);
    void ShowNotFound();
    void PrintTo(QPrinter& printer);
    void ReportTyping(const QEvent* event);
    void BreakIndentedParagraph();

    struct TReportedState {
        int anchor, position;
        bool canUndo, canRedo;
        int formatSerial, revision;
        bool operator==(const TReportedState&) const = default;
    };

    QPointer<QTextEdit> m_control;
    std::optional<QPageLayout> m_pageLayout;  // from PrinterSetup
    QObject* m_controlObject = nullptr;       // the same control, for identity tests only
    QPointer<QMenu> m_popup;
    QPointer<TfrmFind> m_findDialog;
    QPointer<TfrmReplace> m_replaceDialog;
    TSearchOptions m_lastSearch;
    QString m_fileName;
    QString m_documentId;
    QString m_imeName;
    QString m_printOutputFile;
    bool m_selectionReportingSuspended = false;
    bool m_paragraphIndent = false;
    int m_formatSerial = 0;
    std::optional<TReportedState> m_lastReported;
};
