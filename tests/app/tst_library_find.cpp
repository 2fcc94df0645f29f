// 查找 ▸ 在稿件库中查找: finding every hit, opening one, replacing them all
// after the question and undoing, and the inputs that do nothing or are refused.
#include "AppFixture.h"

#include "app/dialogs/TfrmLibraryFind.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

const QList<TSeedDoc> kChapters = {
    {QStringLiteral("甲"), QStringLiteral("林黛玉来了\r\n她说：林黛玉走了")},
    {QStringLiteral("乙"), QStringLiteral("没有她")},
    {QStringLiteral("丙"), QStringLiteral("宝玉说林黛玉")},
};

// What the dialog showed after a click, read while it is still open.
struct TShown {
    QStringList rows;  // "稿件|行|line"
    QString summary;
    bool undoEnabled = false;
};

// Fills the dialog, clicks `button` and waits until the work it started ends.
TShown ClickAndWait(QDialog& dialog, const char* button) {
    auto& form = static_cast<TfrmLibraryFind&>(dialog);
    TScriptedDialogs::Click(dialog, button);
    [[maybe_unused]] const bool idle = QTest::qWaitFor([&] { return !form.Busy(); }, 60000);
    TShown shown;
    const QTreeWidget* hits = dialog.findChild<QTreeWidget*>("lvHits");
    for (int i = 0; i < hits->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = hits->topLevelItem(i);
        shown.rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
    }
    shown.summary = dialog.findChild<QLabel*>("lblSummary")->text();
    shown.undoEnabled = dialog.findChild<QPushButton*>("btnUndoReplace")->isEnabled();
    return shown;
}

// 林黛玉 -> 林妹妹 everywhere, answering 是 to the question.
void ReplaceAllWithYes(TAppFixture& f) {
    f.dialogs.QueueMessageAnswer(1);
    f.dialogs.QueueDialog([](QDialog& dialog) {
        TScriptedDialogs::SetText(dialog, "editFind", QStringLiteral("林黛玉"));
        TScriptedDialogs::SetText(dialog, "editReplace", QStringLiteral("林妹妹"));
        ClickAndWait(dialog, "btnReplaceAll");
        return int(QDialog::Rejected);
    });
    f.Trigger("munFindLibrary");
}

}  // namespace

class TestLibraryFind : public QObject {
    Q_OBJECT

private slots:
    void findListsEveryHitAndADoubleClickOpensItSelected() {
        TAppFixture f;
        f.OpenSeededLibrary(kChapters);
        TShown shown;
        f.dialogs.QueueDialog([&](QDialog& dialog) {
            TScriptedDialogs::SetText(dialog, "editFind", QStringLiteral("林黛玉"));
            shown = ClickAndWait(dialog, "btnFindAll");
            auto* hits = dialog.findChild<QTreeWidget*>("lvHits");
            emit hits->itemDoubleClicked(hits->topLevelItem(1), 2);
            return int(QDialog::Rejected);
        });
        f.Trigger("munFindLibrary");
        QCOMPARE(f.dialogs.Requests().at(0).caption, QStringLiteral("在稿件库中查找"));
        QCOMPARE(shown.rows, QStringList({QStringLiteral("甲|1|林黛玉来了"), QStringLiteral("甲|2|她说：林黛玉走了"),
                                          QStringLiteral("丙|1|宝玉说林黛玉")}));
        QCOMPARE(shown.summary, QStringLiteral("共找到 3 处，分布在 2 篇稿件中"));
        QVERIFY(!shown.undoEnabled);
        // The second hit: 甲 opened, its line 2 with the name selected.
        QCOMPARE(f.Editor().GetDocumentId(), 1);
        QCOMPARE(f.Editor().GetSelText(), QStringLiteral("林黛玉"));
        QCOMPARE(f.Editor().CaretLine(), 1);
    }

    // 否 changes nothing; 是 replaces everywhere, the open manuscript's
    // unsaved edit saved first and its new text shown; 撤销替换 puts it back.
    void replaceAsksThenReplacesAndUndoPutsTheTextsBack() {
        TAppFixture f;
        f.OpenSeededLibrary(kChapters);
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        f.Editor().Control()->moveCursor(QTextCursor::End);
        f.Editor().InsertText(QStringLiteral("。"));
        const QString edited = QStringLiteral("林黛玉来了\r\n她说：林黛玉走了。");

        f.dialogs.QueueMessageAnswer(1);  // save the edit first
        f.dialogs.QueueMessageAnswer(2);  // 否
        f.dialogs.QueueMessageAnswer(1);  // 是
        TShown refused, replaced, undone;
        f.dialogs.QueueDialog([&](QDialog& dialog) {
            TScriptedDialogs::SetText(dialog, "editFind", QStringLiteral("林黛玉"));
            TScriptedDialogs::SetText(dialog, "editReplace", QStringLiteral("林妹妹"));
            refused = ClickAndWait(dialog, "btnReplaceAll");
            replaced = ClickAndWait(dialog, "btnReplaceAll");
            undone = ClickAndWait(dialog, "btnUndoReplace");
            return int(QDialog::Rejected);
        });
        f.Trigger("munFindLibrary");
        const QStringList asked = f.dialogs.MessageTexts();
        QCOMPARE(asked, QStringList({QStringLiteral("稿件的内容已经更改，是否保存？"),
                                     QStringLiteral("将替换 3 处，涉及 2 篇稿件。"),
                                     QStringLiteral("将替换 3 处，涉及 2 篇稿件。")}));
        QVERIFY(!refused.undoEnabled);
        QVERIFY(replaced.undoEnabled);
        QVERIFY(!undone.undoEnabled);
        QCOMPARE(f.Data().LoadDocText(1), edited);
        QCOMPARE(f.Data().LoadDocText(3), QStringLiteral("宝玉说林黛玉"));
        QCOMPARE(f.Editor().GetText(), edited);
        QVERIFY(!f.Editor().IsModified());
    }

    void replacedTextsAreStoredAndShownInTheEditor() {
        TAppFixture f;
        f.OpenSeededLibrary(kChapters);
        f.SelectDoc(QStringLiteral("丙"));
        f.Trigger("munFileOpen");
        ReplaceAllWithYes(f);
        QCOMPARE(f.Data().LoadDocText(1), QStringLiteral("林妹妹来了\r\n她说：林妹妹走了"));
        QCOMPARE(f.Data().LoadDocText(2), QStringLiteral("没有她"));
        QCOMPARE(f.Data().LoadDocText(3), QStringLiteral("宝玉说林妹妹"));
        QCOMPARE(f.Editor().GetText(), QStringLiteral("宝玉说林妹妹"));
        QVERIFY(!f.Editor().IsModified());
    }

    void undoNamesAManuscriptChangedSinceAndLeavesIt() {
        TAppFixture f;
        f.OpenSeededLibrary(kChapters);
        ReplaceAllWithYes(f);
        TDocAttr changed;
        changed.Txt = QStringLiteral("改过了");
        f.Data().SaveDoc(3, changed);
        f.dialogs.QueueDialog([&](QDialog& dialog) {
            ClickAndWait(dialog, "btnUndoReplace");
            return int(QDialog::Rejected);
        });
        f.Trigger("munFindLibrary");
        QVERIFY(f.dialogs.MessageTexts().last().contains(QStringLiteral("“丙”")));
        QCOMPARE(f.Data().LoadDocText(1), kChapters[0].text);
        QCOMPARE(f.Data().LoadDocText(3), QStringLiteral("改过了"));
    }

    void anInvalidExpressionIsNamedWithItsColumn() {
        TAppFixture f;
        f.OpenSeededLibrary(kChapters);
        TShown shown;
        f.dialogs.QueueDialog([&](QDialog& dialog) {
            TScriptedDialogs::SetText(dialog, "editFind", QStringLiteral("林(黛"));
            TScriptedDialogs::SetChecked(dialog, "chkRegex", true);
            shown = ClickAndWait(dialog, "btnFindAll");
            return int(QDialog::Rejected);
        });
        f.Trigger("munFindLibrary");
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QStringLiteral("在稿件库中查找"));
        QVERIFY(f.dialogs.Messages().at(0).text.contains(QStringLiteral("第 4 列")));
        QVERIFY(shown.rows.isEmpty());
    }

    void anEmptySearchBoxDoesNothing() {
        TAppFixture f;
        f.OpenSeededLibrary(kChapters);
        TShown found, replaced;
        f.dialogs.QueueDialog([&](QDialog& dialog) {
            TScriptedDialogs::SetText(dialog, "editReplace", QStringLiteral("林妹妹"));
            found = ClickAndWait(dialog, "btnFindAll");
            replaced = ClickAndWait(dialog, "btnReplaceAll");
            return int(QDialog::Rejected);
        });
        f.Trigger("munFindLibrary");
        QVERIFY(f.dialogs.Messages().empty());
        QVERIFY(found.rows.isEmpty() && found.summary.isEmpty());
        QVERIFY(replaced.rows.isEmpty() && replaced.summary.isEmpty());
        QCOMPARE(f.Data().LoadDocText(1), kChapters[0].text);
    }

    void everyControlHasAnAccessibleName() {
        TfrmLibraryFind dialog;
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(control) || qobject_cast<QCheckBox*>(control) ||
                qobject_cast<QPushButton*>(control) || qobject_cast<QTreeWidget*>(control))
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
    }

    void withoutALibraryTheCommandIsOff() {
        TAppFixture f;
        QVERIFY(!f.Main().Action("munFindLibrary")->isEnabled());
        QCOMPARE(f.Main().Action("munFindLibrary")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    }
};

QTEST_MAIN(TestLibraryFind)
#include "tst_library_find.moc"
