// Editor operations on a shown control: quick deletions and selections,
// lines and the caret panels, the clipboard, inserting text, undo state,
// fonts, keys and the document id.
#include "EditorFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <functional>

class TstEditorOps : public QObject {
    Q_OBJECT

private slots:
    void quickEdits_data();
    void quickEdits();
    void quickEditAtTheLimitChangesNothing();
    void gotoLine_data();
    void gotoLine();
    void wrappedDisplayLinesCount();
    void caretPanelsFollowTheSelection();
    void copyAllLeavesCaretAtStart();
    void insertTextPutsCaretAfterInsertedText();
    void insertDateAndTimeForms();
    void insertDateInEmptyEditor();
    void textUsesCrLfAndGbLength();
    void undoRedoAvailability();
    void modifiedFlag();
    void selectionFont();
    void insertKeyTogglesOverwrite();
    void lockKeysAskForKeyStateRefresh();
    void writingKeysAndCommittedInputCountAsTyping();
    void shiftEnterIsAParagraphBreak();
    void documentId();
    void resetEmptiesAndDisables();
    void countsOfTheText();
};

enum TQuickOp { DeleteLine, DeleteToStart, DeleteToEnd, SelectToStart, SelectToEnd, DeleteSelection };

void TstEditorOps::quickEdits_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("expectedSelection");

    const QString crlf = QStringLiteral("\r\n");
    QTest::newRow("DeleteLine middle line with its break")
        << int(DeleteLine) << 8 << 8 << "first" + crlf + "third" << QString();
    QTest::newRow("DeleteLine first line") << int(DeleteLine) << 0 << 0 << "second" + crlf + "third" << QString();
    QTest::newRow("DeleteLine last line without break")
        << int(DeleteLine) << 15 << 15 << "first" + crlf + "second" + crlf << QString();
    QTest::newRow("DeleteLine uses the selection start")
        << int(DeleteLine) << 2 << 9 << "second" + crlf + "third" << QString();
    QTest::newRow("DeleteToStart middle")
        << int(DeleteToStart) << 8 << 8 << QStringLiteral("cond") + crlf + "third" << QString();
    QTest::newRow("DeleteToEnd middle") << int(DeleteToEnd) << 8 << 8 << "first" + crlf + "se" << QString();
    QTest::newRow("DeleteToEnd from selection start")
        << int(DeleteToEnd) << 3 << 10 << QStringLiteral("fir") << QString();
    QTest::newRow("SelectToStart") << int(SelectToStart) << 8 << 10 << "first" + crlf + "second" + crlf + "third"
                                   << "first" + crlf + "se";
    QTest::newRow("SelectToEnd") << int(SelectToEnd) << 15 << 13 << "first" + crlf + "second" + crlf + "third"
                                 << QStringLiteral("third");
    QTest::newRow("DeleteSelection") << int(DeleteSelection) << 1 << 4 << "ft" + crlf + "second" + crlf + "third"
                                     << QString();
}

void TstEditorOps::quickEdits() {
    QFETCH(int, op);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedSelection);

    TEditorFixture f;
    f.editor->SetText(QStringLiteral("first\nsecond\nthird"));
    f.select(selStart, selEnd);
    switch (TQuickOp(op)) {
        case DeleteLine:
            f.editor->DeleteLine();
            break;
        case DeleteToStart:
            f.editor->DeleteToStart();
            break;
        case DeleteToEnd:
            f.editor->DeleteToEnd();
            break;
        case SelectToStart:
            f.editor->SelectToStart();
            break;
        case SelectToEnd:
            f.editor->SelectToEnd();
            break;
        case DeleteSelection:
            f.editor->DeleteSelection();
            break;
    }
    QCOMPARE(f.editor->GetText(), expectedText);
    QCOMPARE(f.editor->GetSelText(), expectedSelection);
    if (op != SelectToStart && op != SelectToEnd) {
        // One deletion is one undo step.
        f.editor->Undo();
        QCOMPARE(f.editor->GetText(), QStringLiteral("first\r\nsecond\r\nthird"));
    }
}

void TstEditorOps::quickEditAtTheLimitChangesNothing() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("abc\ndef"));
    f.editor->SetModified(false);
    f.select(7, 7);
    f.editor->DeleteToEnd();
    f.select(0, 0);
    f.editor->DeleteToStart();
    QCOMPARE(f.editor->GetText(), QStringLiteral("abc\r\ndef"));
    QVERIFY(!f.editor->IsModified());
    QVERIFY(!f.editor->CanUndo());

    f.editor->SetText(QString());
    f.editor->DeleteLine();  // an empty text has an empty line: nothing to do
    QCOMPARE(f.editor->GetText(), QString());
}

void TstEditorOps::gotoLine_data() {
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("lineNumber");
    QTest::addColumn<int>("expectedPosition");
    QTest::newRow("1 is the start of the text") << 10 << 1 << 0;
    QTest::newRow("2") << 0 << 2 << 4;
    QTest::newRow("3") << 0 << 3 << 8;
    QTest::newRow("0 is the caret's own line") << 10 << 0 << 8;
    QTest::newRow("past the end goes to the last line") << 0 << 99 << 8;
}

void TstEditorOps::gotoLine() {
    QFETCH(int, caret);
    QFETCH(int, lineNumber);
    QFETCH(int, expectedPosition);
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("abc\ndef\nghi"));
    f.select(caret, caret);
    f.editor->GotoLine(lineNumber);
    QCOMPARE(f.position(), expectedPosition);
    QCOMPARE(f.anchor(), expectedPosition);
}

void TstEditorOps::wrappedDisplayLinesCount() {
    TEditorFixture f;
    const QString longLine = QString(QStringLiteral("word ")).repeated(400);
    f.editor->SetText(longLine + QStringLiteral("\nlast"));
    const int end = f.control()->document()->characterCount() - 1;
    f.select(end, end);
    const int wrappedLine = f.editor->CaretLine();
    QVERIFY2(wrappedLine > 2, qPrintable(QString::number(wrappedLine)));
    QCOMPARE(f.editor->CaretColumn(), 4);

    f.editor->GotoLine(2);  // the second display line of the long paragraph
    QVERIFY(f.position() > 0 && f.position() < longLine.size());
    QCOMPARE(f.editor->CaretLine(), 1);
    const int lengthBefore = f.editor->GetText().size();
    f.editor->DeleteLine();  // removes one display line, no line break
    QVERIFY(f.editor->GetText().size() < lengthBefore);
    QVERIFY(f.editor->GetText().endsWith(QStringLiteral("word \r\nlast")));

    f.editor->SetWordWrap(false);
    const int newEnd = f.control()->document()->characterCount() - 1;
    f.select(newEnd, newEnd);
    QCOMPARE(f.editor->CaretLine(), 1);
    f.editor->GotoLine(2);
    QCOMPARE(f.editor->GetSelText(), QString());
    QCOMPARE(f.control()->textCursor().block().text(), QStringLiteral("last"));
}

void TstEditorOps::caretPanelsFollowTheSelection() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("ab\ncdef"));
    QSignalSpy selection(f.editor.get(), &TqlvEditor::SelectionChanged);
    QSignalSpy panels(f.editor.get(), &TqlvEditor::CaretPositionChanged);
    f.select(1, 6);  // the selection end decides: line 2, column 4
    QVERIFY(!selection.isEmpty());
    QVERIFY(!panels.isEmpty());
    QCOMPARE(panels.last().at(0).toString(), QStringLiteral("行：2"));
    QCOMPARE(panels.last().at(1).toString(), QStringLiteral("列：4"));

    f.select(6, 6);
    panels.clear();
    selection.clear();
    QTest::keyClick(f.control(), Qt::Key_X);
    QCOMPARE(panels.last().at(1).toString(), QStringLiteral("列：5"));
    QCOMPARE(selection.size(), 1);  // one report per keystroke
    f.editor->ReportState();        // asked for: reported even when unchanged
    QCOMPARE(selection.size(), 2);

    f.select(1, 6);
    QTest::keyClick(f.control(), Qt::Key_Y);  // replaces the selection
    QCOMPARE(f.editor->GetText(), QStringLiteral("ayxf"));
    QCOMPARE(panels.last().at(0).toString(), QStringLiteral("行：1"));
    QCOMPARE(panels.last().at(1).toString(), QStringLiteral("列：3"));
}

void TstEditorOps::copyAllLeavesCaretAtStart() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("甲乙\nxyz"));
    f.select(3, 5);
    f.editor->CopyAll();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("甲乙\nxyz"));
    QCOMPARE(f.position(), 0);
    QVERIFY(!f.editor->HasSelection());
    QVERIFY(f.editor->CanPaste());
}

void TstEditorOps::insertTextPutsCaretAfterInsertedText() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("0123456789"));
    f.select(2, 5);
    f.editor->InsertText(QStringLiteral("ab\r\ncd"));
    QCOMPARE(f.editor->GetText(), QStringLiteral("01ab\r\ncd56789"));
    // CR LF is one break in the control, so the caret is at 2 + 5, not 2 + 6.
    QCOMPARE(f.position(), 7);
    QVERIFY(!f.editor->HasSelection());
}

void TstEditorOps::insertDateAndTimeForms() {
    QCOMPARE(TqlvEditor::DateText(QDate(2004, 5, 1)), QStringLiteral("2004年5月1日"));
    QCOMPARE(TqlvEditor::DateText(QDate(2026, 12, 31)), QStringLiteral("2026年12月31日"));
    QCOMPARE(TqlvEditor::TimeText(QTime(9, 5, 59)), QStringLiteral("9时5分"));
    QCOMPARE(TqlvEditor::TimeText(QTime(0, 0)), QStringLiteral("0时0分"));
    QCOMPARE(TqlvEditor::TimeText(QTime(23, 45)), QStringLiteral("23时45分"));
}

void TstEditorOps::insertDateInEmptyEditor() {
    TEditorFixture f;
    const QDate before = QDate::currentDate();
    f.editor->InsertDate();
    const QString text = f.editor->GetText();
    QVERIFY(text == TqlvEditor::DateText(before) || text == TqlvEditor::DateText(QDate::currentDate()));
    QVERIFY(text.endsWith(u'日'));
    QCOMPARE(f.position(), text.size());
    QVERIFY(!f.editor->HasSelection());

    f.editor->SetText(QString());
    f.editor->InsertTime();
    QVERIFY(f.editor->GetText().endsWith(u'分'));
    QCOMPARE(f.position(), f.editor->GetText().size());
}

void TstEditorOps::textUsesCrLfAndGbLength() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("你好a\r\nb\nc\rd"));
    QCOMPARE(f.editor->GetText(), QStringLiteral("你好a\r\nb\r\nc\r\nd"));
    QCOMPARE(f.editor->TextLength(), 2 + 2 + 1 + 2 + 1 + 2 + 1 + 2 + 1);
    f.select(2, 5);
    QCOMPARE(f.editor->GetSelText(), QStringLiteral("a\r\nb"));
    // A character outside GBK is four GB18030 bytes.
    f.editor->SetText(QString::fromUtf16(u"\U00020000"));
    QCOMPARE(f.editor->TextLength(), 4);
    // No-break spaces stay what they are.
    f.editor->SetText(QString(QChar(0x00A0)));
    QCOMPARE(f.editor->GetText(), QString(QChar(0x00A0)));
}

void TstEditorOps::undoRedoAvailability() {
    TEditorFixture f;
    QVERIFY(!f.editor->CanUndo());
    QVERIFY(!f.editor->CanRedo());
    f.editor->InsertText(QStringLiteral("abc"));
    QVERIFY(f.editor->CanUndo());
    f.editor->Undo();
    QCOMPARE(f.editor->GetText(), QString());
    QVERIFY(f.editor->CanRedo());
    f.editor->Redo();
    QCOMPARE(f.editor->GetText(), QStringLiteral("abc"));
    QVERIFY(!f.editor->CanRedo());
}

void TstEditorOps::modifiedFlag() {
    TEditorFixture f;
    QSignalSpy modified(f.editor.get(), &TqlvEditor::ModifiedChanged);
    QVERIFY(!f.editor->IsModified());
    QTest::keyClick(f.control(), Qt::Key_A);
    QVERIFY(f.editor->IsModified());
    QCOMPARE(modified.size(), 1);
    QCOMPARE(modified.last().at(0).toBool(), true);
    f.editor->SetModified(false);
    QVERIFY(!f.editor->IsModified());
    QCOMPARE(modified.last().at(0).toBool(), false);
}

void TstEditorOps::selectionFont() {
    TEditorFixture f;
    f.editor->SetFontName(QStringLiteral("Serif"));
    f.editor->SetFontSize(14);
    f.editor->SetText(QStringLiteral("abcdef"));
    f.select(4, 4);
    QCOMPARE(f.editor->GetSelFontName(), QStringLiteral("Serif"));
    QCOMPARE(f.editor->GetSelFontSize(), 14);

    f.select(0, 3);
    f.editor->SetSelFontName(QStringLiteral("Monospace"));
    f.editor->SetSelFontSize(20);
    f.editor->SetSelFontSize(0);  // not a size: ignored
    QCOMPARE(f.editor->GetSelFontName(), QStringLiteral("Monospace"));
    QCOMPARE(f.editor->GetSelFontSize(), 20);
    f.select(5, 5);
    QCOMPARE(f.editor->GetSelFontName(), QStringLiteral("Serif"));
    QCOMPARE(f.editor->GetSelFontSize(), 14);

    f.editor->SetColor(QColor(Qt::yellow));
    QCOMPARE(f.control()->palette().color(QPalette::Base), QColor(Qt::yellow));
    f.editor->SetFont(QFont(QStringLiteral("Sans"), 11), QColor(Qt::blue));
    QCOMPARE(f.control()->palette().color(QPalette::Text), QColor(Qt::blue));
    QCOMPARE(f.control()->document()->defaultFont().pointSize(), 11);
    f.editor->SetImeName(QStringLiteral("fcitx"));
    QCOMPARE(f.editor->ImeName(), QStringLiteral("fcitx"));
}

void TstEditorOps::insertKeyTogglesOverwrite() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("abc"));
    f.select(0, 0);
    QSignalSpy keys(f.editor.get(), &TqlvEditor::KeyStateChanged);
    QVERIFY(!f.editor->OverwriteMode());
    QTest::keyClick(f.control(), Qt::Key_Insert);
    QCOMPARE(keys.size(), 1);
    QVERIFY(f.editor->OverwriteMode());
    QTest::keyClick(f.control(), Qt::Key_X);
    QCOMPARE(f.editor->GetText(), QStringLiteral("xbc"));
    QTest::keyClick(f.control(), Qt::Key_Insert);
    QVERIFY(!f.editor->OverwriteMode());
    QCOMPARE(keys.size(), 2);
}

void TstEditorOps::lockKeysAskForKeyStateRefresh() {
    TEditorFixture f;
    QSignalSpy keys(f.editor.get(), &TqlvEditor::KeyStateChanged);
    // Press and release each: the X server turns a lock off at the release,
    // so the panels are refreshed after both.
    QTest::keyClick(f.control(), Qt::Key_CapsLock);
    QTest::keyClick(f.control(), Qt::Key_NumLock);
    QTest::keyClick(f.control(), Qt::Key_A);
    QCOMPARE(keys.size(), 4);
    QCOMPARE(f.editor->GetText(), QStringLiteral("a"));
}

// The typing time counts keys that write or erase, and text an input method
// commits; moving around, shortcuts and lock keys are not typing.
void TstEditorOps::writingKeysAndCommittedInputCountAsTyping() {
    TEditorFixture f;
    QSignalSpy typed(f.editor.get(), &TqlvEditor::Typed);
    struct Case {
        const char* what;
        std::function<void()> act;
        int typed;
    } cases[] = {
        {"letter", [&] { QTest::keyClick(f.control(), Qt::Key_A); }, 1},
        {"Chinese",
         [&] { QTest::sendKeyEvent(QTest::Click, f.control(), Qt::Key_unknown, QStringLiteral("春"), Qt::NoModifier); },
         1},
        {"backspace", [&] { QTest::keyClick(f.control(), Qt::Key_Backspace); }, 1},
        {"return", [&] { QTest::keyClick(f.control(), Qt::Key_Return); }, 1},
        {"arrow", [&] { QTest::keyClick(f.control(), Qt::Key_Left); }, 0},
        {"shortcut", [&] { QTest::keyClick(f.control(), Qt::Key_A, Qt::ControlModifier); }, 0},
        {"caps lock", [&] { QTest::keyClick(f.control(), Qt::Key_CapsLock); }, 0},
        {"input method commit",
         [&] {
             QInputMethodEvent commit;
             commit.setCommitString(QStringLiteral("晓"));
             QCoreApplication::sendEvent(f.control(), &commit);
         },
         1},
        {"input method preedit",
         [&] {
             QInputMethodEvent preedit(QStringLiteral("xiao"), {});
             QCoreApplication::sendEvent(f.control(), &preedit);
         },
         0},
    };
    for (const Case& c : cases) {
        typed.clear();
        c.act();
        QVERIFY2(typed.size() == c.typed, c.what);
    }
}

void TstEditorOps::shiftEnterIsAParagraphBreak() {
    TEditorFixture f;
    QTest::keyClicks(f.control(), QStringLiteral("ab"));
    QTest::keyClick(f.control(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(f.control(), QStringLiteral("cd"));
    QCOMPARE(f.editor->GetText(), QStringLiteral("ab\r\ncd"));
    QCOMPARE(f.editor->CaretLine(), 1);
}

void TstEditorOps::documentId() {
    TEditorFixture f;
    QVERIFY_THROWS_EXCEPTION(EEditorError, f.editor->GetDocumentId());
    f.editor->SetDocumentId(42);
    QCOMPARE(f.editor->GetDocumentId(), 42);
    f.editor->SetText(QStringLiteral("x"));
    f.editor->Reset(true);
    QCOMPARE(f.editor->GetDocumentId(), 42);  // kept until the next SetDocumentId
}

void TstEditorOps::resetEmptiesAndDisables() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("text"));
    f.editor->Reset(false);
    QCOMPARE(f.editor->GetText(), QString());
    QVERIFY(!f.editor->IsEnabled());
    f.editor->Reset(true);
    QVERIFY(f.editor->IsEnabled());
}

void TstEditorOps::countsOfTheText() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("你好，world\nIt's 9 o'clock"));
    const TWordCount count = f.editor->CountWords();
    QCOMPARE(count.English, 3);
    QCOMPARE(count.Chinese, 3);
    QCOMPARE(f.editor->CountEnglishWords(), 3);
}

QTEST_MAIN(TstEditorOps)
#include "tst_editor_ops.moc"
