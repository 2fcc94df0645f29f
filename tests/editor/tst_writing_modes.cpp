// The editor's writing modes on a shown control: the paragraph indent (Enter
// and 整理段首缩进), the centred column, typewriter scrolling, focus dimming,
// and the caret rectangle the input method is given in each mode.
#include "EditorFixture.h"

#include "editor/TqlvTextEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QString I = QStringLiteral("　　");  // the indent: two U+3000

// Text with "|" where the caret goes (and a second "|" for a selection's end).
void SetMarked(TEditorFixture& f, const QString& marked) {
    const qsizetype first = marked.indexOf(QLatin1Char('|'));
    const qsizetype second = marked.indexOf(QLatin1Char('|'), first + 1);
    QString text = marked;
    text.remove(QLatin1Char('|'));
    f.editor->SetText(text);
    if (first < 0)
        return;
    f.select(int(first), int(second < 0 ? first : second - 1));
}

// The text as the editor shows it, lines joined by "\n", "|" at the caret.
QString Marked(const TEditorFixture& f) {
    QString text = f.control()->toPlainText();
    text.insert(f.position(), QLatin1Char('|'));
    return text;
}

}  // namespace

class TstWritingModes : public QObject {
    Q_OBJECT

private slots:
    void enterStartsAnIndentedParagraph_data();
    void enterStartsAnIndentedParagraph();
    void enterWithoutTheOptionAndPastingAddNoIndent();
    void normaliseIndents_data();
    void normaliseIndents();
    void indentsAreNotCounted();
    void centredColumnKeepsToItsWidth();
    void typewriterKeepsTheCaretLineAtItsHeight();
    void focusModeDimsTheOtherParagraphs();
    void inputMethodGetsTheCaretRectangle_data();
    void inputMethodGetsTheCaretRectangle();
};

void TstWritingModes::enterStartsAnIndentedParagraph_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("at the end") << I + "甲乙|" << I + "甲乙\n" + I + "|";
    QTest::newRow("in the middle") << I + "甲乙|丙丁" << I + "甲乙\n" + I + "|丙丁";
    QTest::newRow("blanks after the caret go") << "甲|  　丙"
                                               << "甲\n" + I + "|丙";
    QTest::newRow("after an indent alone") << I + "|"
                                           << "\n" + I + "|";
    QTest::newRow("after the indent of a paragraph") << I + "|正文"
                                                     << "\n" + I + "|正文";
    QTest::newRow("on an empty line") << "甲\n|\n乙"
                                      << "甲\n\n" + I + "|\n乙";
    QTest::newRow("over a selection") << "甲|乙丙|丁"
                                      << "甲\n" + I + "|丁";
}

void TstWritingModes::enterStartsAnIndentedParagraph() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    TEditorFixture f;
    f.editor->SetParagraphIndent(true);
    SetMarked(f, before);
    const QString original = f.control()->toPlainText();
    QTest::keyClick(f.control(), Qt::Key_Return);
    QCOMPARE(Marked(f), after);
    QVERIFY(f.editor->IsModified());
    // One key, one undo step.
    f.editor->Undo();
    QCOMPARE(f.control()->toPlainText(), original);
}

void TstWritingModes::enterWithoutTheOptionAndPastingAddNoIndent() {
    TEditorFixture f;
    SetMarked(f, "甲|");
    QTest::keyClick(f.control(), Qt::Key_Return);
    QCOMPARE(Marked(f), QStringLiteral("甲\n|"));

    f.editor->SetParagraphIndent(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("乙\n丙"));
    f.editor->Paste();
    f.editor->InsertText(QStringLiteral("\r\n丁"));
    QCOMPARE(Marked(f), QStringLiteral("甲\n乙\n丙\n丁|"));
}

void TstWritingModes::normaliseIndents_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("changed");
    QTest::newRow("whole text, mixed indents")
        << "无缩进\n  两个空格\n\t制表\n　一个全角\n" + I + "已缩进\n　　　三个全角\n \u00a0　混合\n\n   "
        << I + "无缩进\n" + I + "两个空格\n" + I + "制表\n" + I + "一个全角\n" + I + "已缩进\n" + I + "三个全角\n" + I +
               "混合\n\n   "
        << 6;
    QTest::newRow("selection's paragraphs only") << "甲\n乙|乙\n丙\n|丁"
                                                 << "甲\n" + I + "乙乙\n" + I + "丙\n丁" << 2;
    QTest::newRow("nothing to do") << I + "甲\n\n" + I + "乙" << I + "甲\n\n" + I + "乙" << 0;
}

void TstWritingModes::normaliseIndents() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, changed);
    TEditorFixture f;
    SetMarked(f, before);
    const QString original = f.control()->toPlainText();
    QCOMPARE(f.editor->NormaliseIndents(), changed);
    QCOMPARE(f.control()->toPlainText(), after);
    QCOMPARE(f.editor->IsModified(), changed > 0);
    if (changed > 0) {
        f.editor->Undo();
        QCOMPARE(f.control()->toPlainText(), original);
    }
}

void TstWritingModes::indentsAreNotCounted() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("第一段 word\n第二段\n\n第三段　中间的全角空格"));
    const TWordCount plain = f.editor->CountWords();
    f.editor->NormaliseIndents();
    const TWordCount indented = f.editor->CountWords();
    QCOMPARE(indented.Chinese, plain.Chinese);
    QCOMPARE(indented.English, plain.English);
    QCOMPARE(plain.Chinese, 3 + 3 + 3 + 1 + 7);  // a U+3000 inside a line still counts
    QCOMPARE(CountWordsIn(I + "甲\r\n" + I + "乙").Chinese, 2);
}

void TstWritingModes::centredColumnKeepsToItsWidth() {
    TEditorFixture f;
    QTextEdit* control = f.control();
    const int full = control->viewport()->width();
    f.editor->SetColumnCharacters(20);
    const int column = 20 * control->fontMetrics().horizontalAdvance(QChar(0x4E2D));
    QVERIFY(control->viewport()->width() >= column);
    QVERIFY(control->viewport()->width() <= column + 2 * 4 + 2);  // plus the document margins
    const QRect viewport = control->viewport()->geometry();
    QVERIFY(qAbs(viewport.left() - (control->width() - viewport.right())) <= 2);  // centred
    // A line of 20 characters fits the column; 21 wrap.
    f.editor->SetText(QString(20, QChar(0x4E2D)));
    QCOMPARE(f.control()->document()->firstBlock().layout()->lineCount(), 1);
    f.editor->SetText(QString(21, QChar(0x4E2D)));
    QCOMPARE(f.control()->document()->firstBlock().layout()->lineCount(), 2);
    f.editor->SetColumnCharacters(0);
    QCOMPARE(control->viewport()->width(), full);
}

void TstWritingModes::typewriterKeepsTheCaretLineAtItsHeight() {
    TEditorFixture f;
    QTextEdit* control = f.control();
    f.editor->SetTypewriterScrolling(true);
    const int height = int(control->viewport()->height() * TqlvTextEdit::kTypewriterHeight);
    for (int line = 0; line < 80; ++line) {
        QTest::keyClicks(control, QStringLiteral("line %1").arg(line));
        QTest::keyClick(control, Qt::Key_Return);
        QCoreApplication::processEvents();
        // Once the text reaches that height the caret's line stays there.
        if (line > 40)
            QCOMPARE(control->cursorRect().top(), height);
    }
    QVERIFY(control->verticalScrollBar()->value() > 0);
    // Off again: the caret's line goes down to the bottom as the text grows.
    f.editor->SetTypewriterScrolling(false);
    for (int line = 0; line < 40; ++line)
        QTest::keyClick(control, Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(control->cursorRect().bottom() > control->viewport()->height() * 0.8);
}

void TstWritingModes::focusModeDimsTheOtherParagraphs() {
    TEditorFixture f;
    QTextEdit* control = f.control();
    SetMarked(f, QStringLiteral("甲甲\n乙|乙\n丙丙"));
    f.editor->SetModified(false);
    f.editor->SetFocusMode(true);
    auto dimmed = [control] {
        QStringList parts;
        for (const QTextEdit::ExtraSelection& s : control->extraSelections())
            if (s.format.foreground().color() != control->palette().color(QPalette::Text))
                parts << s.cursor.selectedText();
        return parts;
    };
    QCOMPARE(dimmed(), (QStringList{"甲甲", "丙丙"}));
    f.select(0, 0);
    QCOMPARE(dimmed(), (QStringList{"乙乙\u2029丙丙"}));
    QVERIFY(!f.editor->IsModified());
    QVERIFY(!f.editor->CanUndo());
    f.editor->SetFocusMode(false);
    QVERIFY(control->extraSelections().isEmpty());
}

void TstWritingModes::inputMethodGetsTheCaretRectangle_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("typewriter");
    QTest::newRow("plain") << 0 << false;
    QTest::newRow("centred") << 30 << false;
    QTest::newRow("typewriter") << 0 << true;
    QTest::newRow("centred typewriter") << 30 << true;
}

void TstWritingModes::inputMethodGetsTheCaretRectangle() {
    QFETCH(int, column);
    QFETCH(bool, typewriter);
    TEditorFixture f;
    QTextEdit* control = f.control();
    f.editor->SetColumnCharacters(column);
    f.editor->SetTypewriterScrolling(typewriter);
    QStringList lines;
    for (int line = 0; line < 60; ++line)
        lines << QStringLiteral("第%1行的文字").arg(line);
    f.editor->SetText(lines.join(QLatin1Char('\n')));
    f.frame->activateWindow();
    control->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
    f.editor->GotoLine(50);
    QTest::keyClick(control, Qt::Key_End);
    QCoreApplication::processEvents();

    // The caret as drawn: its rectangle in the viewport, placed in the control.
    const QRect caret = control->cursorRect();
    const QRect inControl(control->viewport()->mapTo(control, caret.topLeft()), caret.size());
    QInputMethodQueryEvent query(Qt::ImCursorRectangle);
    QCoreApplication::sendEvent(control, &query);
    QCOMPARE(query.value(Qt::ImCursorRectangle).toRectF().toRect(), inControl);
    // What the platform's input method reads: in window coordinates.
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    const QRect inWindow(control->viewport()->mapTo(f.frame.get(), caret.topLeft()), caret.size());
    QCOMPARE(QGuiApplication::inputMethod()->cursorRectangle().toRect(), inWindow);
    QVERIFY(control->viewport()->rect().contains(caret.center()));
}

QTEST_MAIN(TstWritingModes)
#include "tst_writing_modes.moc"
