// Find and replace through the modeless dialogs, driven as a user drives
// them: fill the fields, press the buttons.
#include "EditorFixture.h"

#include "editor/FindDialog.h"
#include "editor/ReplaceDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kNotFound = QStringLiteral("已完成对文档的搜索，没有找到搜索项！");
const QString kWrappedDown = QStringLiteral("已查找到文档末尾，从开头继续查找");
const QString kWrappedUp = QStringLiteral("已查找到文档开头，从末尾继续查找");

}  // namespace

class TstEditorSearch : public QObject {
    Q_OBJECT

private slots:
    void findNextBeforeAnySearchDoesNothing();
    void findPrefillsWithTheSelection();
    void findDirectionsAndOptions_data();
    void findDirectionsAndOptions();
    void notFoundShowsTheMessage();
    void findNextRepeatsTheLastSearch();
    void dialogsShareTheLastSearchText();
    void newDialogTakesTheOtherDialogsText_data();
    void newDialogTakesTheOtherDialogsText();
    void dialogMovesOffTheMatch();
    void replaceReplacesTheMatchAndMovesOn();
    void replaceAllIsOneUndoStep();
    void replaceAllWithSearchTextInReplacementEnds();
    void replaceAllUpFromTheSelection();
    void replaceAllWithoutMatchShowsTheMessage();
};

void TstEditorSearch::findNextBeforeAnySearchDoesNothing() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("abc"));
    QVERIFY(!f.editor->FindNext());
    QVERIFY(f.dialogs.Messages().empty());
    QVERIFY(!f.editor->HasSelection());
}

void TstEditorSearch::findPrefillsWithTheSelection() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("hello world\nnext"));
    f.select(6, 14);  // over the line break: only the first line is taken
    f.editor->Find();
    TfrmFind* dialog = f.editor->FindDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->editFind->text(), QStringLiteral("world"));
    f.select(0, 0);
    dialog->editFind->setText(QStringLiteral("zzz"));
    f.editor->Find();  // no selection: the dialog keeps its text
    QCOMPARE(dialog->editFind->text(), QStringLiteral("zzz"));
    QCOMPARE(f.editor->FindDialog(), dialog);  // created once, kept
}

void TstEditorSearch::findDirectionsAndOptions_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<QString>("note");  // the status note: empty, or that the search went round
    // Text: "Cat cat catalog cat" (0, 4, 8, 16)
    QTest::newRow("down from caret") << "cat" << false << false << true << 1 << 4 << "";
    QTest::newRow("down match case wraps to Cat") << "Cat" << true << false << true << 1 << 0 << kWrappedDown;
    QTest::newRow("down whole word skips catalog") << "cat" << false << true << true << 5 << 16 << "";
    QTest::newRow("down into catalog without whole word") << "cat" << false << false << true << 5 << 8 << "";
    QTest::newRow("up from the end") << "cat" << false << false << false << 19 << 16 << "";
    QTest::newRow("up whole word") << "cat" << false << true << false << 15 << 4 << "";
    QTest::newRow("up match case") << "Cat" << true << false << false << 19 << 0 << "";
    QTest::newRow("up from the start wraps to the end") << "cat" << false << false << false << 0 << 16 << kWrappedUp;
    QTest::newRow("chinese") << "猫" << false << false << true << 0 << -1 << "";
}

void TstEditorSearch::findDirectionsAndOptions() {
    QFETCH(QString, search);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(bool, down);
    QFETCH(int, caret);
    QFETCH(int, expectedStart);
    QFETCH(QString, note);

    TEditorFixture f;
    f.editor->SetText(QStringLiteral("Cat cat catalog cat"));
    f.select(caret, caret);
    f.editor->Find();
    TfrmFind* dialog = f.editor->FindDialog();
    dialog->editFind->setText(search);
    dialog->chkMatchCase->setChecked(matchCase);
    dialog->chkWholeWord->setChecked(wholeWord);
    (down ? dialog->rbDown : dialog->rbUp)->setChecked(true);
    QSignalSpy notes(f.editor.get(), &TqlvEditor::SearchNote);
    QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes.at(0).at(0).toString(), note);
    if (expectedStart < 0) {
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{kNotFound});
        QCOMPARE(f.position(), caret);
        return;
    }
    QVERIFY(f.dialogs.Messages().empty());
    QCOMPARE(f.control()->textCursor().selectionStart(), expectedStart);
    QCOMPARE(f.editor->GetSelText().compare(search, Qt::CaseInsensitive), 0);
}

void TstEditorSearch::notFoundShowsTheMessage() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("abc"));
    f.editor->Find();
    f.editor->FindDialog()->editFind->setText(QStringLiteral("x"));
    QTest::mouseClick(f.editor->FindDialog()->btnFindNext, Qt::LeftButton);
    QCOMPARE(f.dialogs.Messages().size(), size_t(1));
    const TShownMessage& shown = f.dialogs.Messages().front();
    QCOMPARE(shown.text, kNotFound);
    QCOMPARE(shown.caption, QStringLiteral("查找"));
    QCOMPARE(shown.icon, 1);
    QCOMPARE(shown.buttons, 1);
}

void TstEditorSearch::findNextRepeatsTheLastSearch() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("ab ab ab"));
    f.editor->Find();
    f.editor->FindDialog()->editFind->setText(QStringLiteral("ab"));
    QTest::mouseClick(f.editor->FindDialog()->btnFindNext, Qt::LeftButton);
    QCOMPARE(f.control()->textCursor().selectionStart(), 0);
    f.editor->FindDialog()->close();
    QVERIFY(f.editor->FindNext());
    QCOMPARE(f.control()->textCursor().selectionStart(), 3);
    QVERIFY(f.editor->FindNext());
    QCOMPARE(f.control()->textCursor().selectionStart(), 6);
    QVERIFY(f.editor->FindNext());  // round to the first again
    QCOMPARE(f.control()->textCursor().selectionStart(), 0);
    QVERIFY(f.dialogs.Messages().empty());
    QCOMPARE(f.editor->LastSearch().text, QStringLiteral("ab"));
}

void TstEditorSearch::dialogsShareTheLastSearchText() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("one two"));
    f.editor->Find();
    f.editor->FindDialog()->editFind->setText(QStringLiteral("two"));
    QTest::mouseClick(f.editor->FindDialog()->btnFindNext, Qt::LeftButton);
    f.select(0, 0);
    f.editor->Replace();
    QCOMPARE(f.editor->ReplaceDialog()->editFind->text(), QStringLiteral("two"));
}

// A dialog made new takes over the other one's text as it stands there,
// whether or not a search ran with it.
void TstEditorSearch::newDialogTakesTheOtherDialogsText_data() {
    QTest::addColumn<bool>("findFirst");
    QTest::newRow("find, then replace") << true;
    QTest::newRow("replace, then find") << false;
}

void TstEditorSearch::newDialogTakesTheOtherDialogsText() {
    QFETCH(bool, findFirst);
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("one two"));
    if (findFirst) {
        f.editor->Find();
        f.editor->FindDialog()->editFind->setText(QStringLiteral("typed only"));
        f.editor->Replace();
        QCOMPARE(f.editor->ReplaceDialog()->editFind->text(), QStringLiteral("typed only"));
    } else {
        f.editor->Replace();
        f.editor->ReplaceDialog()->editFind->setText(QStringLiteral("typed only"));
        f.editor->Find();
        QCOMPARE(f.editor->FindDialog()->editFind->text(), QStringLiteral("typed only"));
    }
}

void TstEditorSearch::dialogMovesOffTheMatch() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("some text with a needle in it"));
    f.editor->Find();
    TfrmFind* dialog = f.editor->FindDialog();
    dialog->editFind->setText(QStringLiteral("needle"));
    const QRect frameRect = f.control()->viewport()->rect();
    dialog->move(f.control()->viewport()->mapToGlobal(frameRect.topLeft()));
    QTest::mouseClick(dialog->btnFindNext, Qt::LeftButton);
    QCOMPARE(f.editor->GetSelText(), QStringLiteral("needle"));
    const QRect caret = f.control()->cursorRect();
    const QRect match(f.control()->viewport()->mapToGlobal(caret.topLeft()), caret.size());
    QVERIFY(!dialog->frameGeometry().intersects(match));
}

void TstEditorSearch::replaceReplacesTheMatchAndMovesOn() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("a-b a-b"));
    f.editor->Replace();
    TfrmReplace* dialog = f.editor->ReplaceDialog();
    dialog->editFind->setText(QStringLiteral("a-b"));
    dialog->editReplace->setText(QStringLiteral("X"));
    // The first press replaces too: the first match, then selects the next.
    QTest::mouseClick(dialog->btnReplace, Qt::LeftButton);
    QCOMPARE(f.editor->GetText(), QStringLiteral("X a-b"));
    QCOMPARE(f.editor->GetSelText(), QStringLiteral("a-b"));
    QCOMPARE(f.control()->textCursor().selectionStart(), 2);
    QTest::mouseClick(dialog->btnReplace, Qt::LeftButton);  // the selected one; no further match
    QCOMPARE(f.editor->GetText(), QStringLiteral("X X"));
    QCOMPARE(f.dialogs.MessageTexts(), QStringList{kNotFound});
    QTest::mouseClick(dialog->btnReplace, Qt::LeftButton);  // nothing left: nothing changes
    QCOMPARE(f.editor->GetText(), QStringLiteral("X X"));
    // The replacement text is kept for the next time.
    dialog->close();
    f.editor->Replace();
    QCOMPARE(f.editor->ReplaceDialog()->editReplace->text(), QStringLiteral("X"));
}

void TstEditorSearch::replaceAllIsOneUndoStep() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("稿件 one 稿件\n稿件"));
    f.editor->Replace();
    TfrmReplace* dialog = f.editor->ReplaceDialog();
    dialog->editFind->setText(QStringLiteral("稿件"));
    dialog->editReplace->setText(QStringLiteral("文稿"));
    QSignalSpy selection(f.editor.get(), &TqlvEditor::SelectionChanged);
    QSignalSpy notes(f.editor.get(), &TqlvEditor::SearchNote);
    QTest::mouseClick(dialog->btnReplaceAll, Qt::LeftButton);
    QCOMPARE(f.editor->GetText(), QStringLiteral("文稿 one 文稿\r\n文稿"));
    QCOMPARE(selection.size(), 1);  // reported once, after the run
    QVERIFY(f.dialogs.Messages().empty());
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes.at(0).at(0).toString(), QStringLiteral("全部替换：已替换 3 处"));
    f.editor->Undo();
    QCOMPARE(f.editor->GetText(), QStringLiteral("稿件 one 稿件\r\n稿件"));
}

void TstEditorSearch::replaceAllWithSearchTextInReplacementEnds() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("a b a"));
    f.editor->Replace();
    TfrmReplace* dialog = f.editor->ReplaceDialog();
    dialog->editFind->setText(QStringLiteral("a"));
    dialog->editReplace->setText(QStringLiteral("aa"));
    QTest::mouseClick(dialog->btnReplaceAll, Qt::LeftButton);
    QCOMPARE(f.editor->GetText(), QStringLiteral("aa b aa"));

    dialog->rbUp->setChecked(true);
    f.select(7, 7);
    QTest::mouseClick(dialog->btnReplaceAll, Qt::LeftButton);
    QCOMPARE(f.editor->GetText(), QStringLiteral("aaaa b aaaa"));
}

void TstEditorSearch::replaceAllUpFromTheSelection() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("x1 x2 x3 x4"));
    f.select(6, 6);
    f.editor->Replace();
    TfrmReplace* dialog = f.editor->ReplaceDialog();
    dialog->editFind->setText(QStringLiteral("x"));
    dialog->editReplace->setText(QStringLiteral("y"));
    dialog->rbUp->setChecked(true);
    QTest::mouseClick(dialog->btnReplaceAll, Qt::LeftButton);
    QCOMPARE(f.editor->GetText(), QStringLiteral("y1 y2 x3 x4"));
}

void TstEditorSearch::replaceAllWithoutMatchShowsTheMessage() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("abc"));
    f.editor->SetModified(false);
    f.editor->Replace();
    TfrmReplace* dialog = f.editor->ReplaceDialog();
    dialog->editFind->setText(QStringLiteral("zz"));
    QTest::mouseClick(dialog->btnReplaceAll, Qt::LeftButton);
    QCOMPARE(f.dialogs.MessageTexts(), QStringList{kNotFound});
    QVERIFY(!f.editor->IsModified());
}

QTEST_MAIN(TstEditorSearch)
#include "tst_editor_search.moc"
