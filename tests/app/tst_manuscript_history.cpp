// 稿件 ▸ 历史版本… and the saves that feed it: the window's saves keep
// versions, the dialog lists and compares them, "恢复此版本" brings one back
// as one undoable step, a damaged version is refused, and the option
// "保留历史版本" turned off keeps nothing.
#include "AppFixture.h"
#include "support/ColourContrast.h"

#include "app/dialogs/TfrmHistory.h"
#include "library/ManuscriptSaves.h"
#include "platform/Skin.h"
#include "support/SpoiltValues.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <cmath>

namespace {

const QString kDoc = QStringLiteral("第一章");
const QString kFirst = QStringLiteral("春眠不觉晓，处处闻啼鸟。");

// The characters of a pane that carry a background (the marked ones).
QString MarkedText(const QTextBrowser* pane) {
    QString marked;
    for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush))
                marked += it.fragment().text();
    return marked;
}

QStringList Column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

struct THistoryFixture : TAppFixture {
    QString file;
    int doc = 0;

    // A library with one manuscript holding kFirst, opened in the editor;
    // saves keep a version however close together they come.
    THistoryFixture() {
        file = OpenSeededLibrary({{kDoc, kFirst}});
        Context().Saves().SetVersionGap(0);
        OpenDoc();
        Trigger("munFileSave");  // the same text: no version, but its counts stored
    }
    void OpenDoc() {
        SelectDoc(kDoc);
        Trigger("munFileOpen");
        doc = Editor().GetDocumentId();
    }
    // Types the text over the editor's (an undoable edit) and saves.
    void TypeAndSave(const QString& text) {
        Editor().SelectAll();
        Editor().InsertText(text);
        Trigger("munFileSave");
    }
    QStringList VersionTexts() {
        QStringList texts;
        TDocHistory& history = Context().Saves().History();
        for (const TDocVersion& version : history.Versions(doc))
            texts << (version.Damaged ? QStringLiteral("<damaged>") : history.Text(doc, version.ID));
        return texts;
    }
    // Opens 历史版本, hands the dialog to `look`, then clicks `button`
    // (nullptr: accepts the dialog whatever is selected).
    void RunHistory(const std::function<void(TfrmHistory&)>& look, const char* button = "btnClose") {
        dialogs.QueueDialog([look, button](QDialog& d) {
            look(static_cast<TfrmHistory&>(d));
            if (!button) {
                d.accept();
                return int(QDialog::Accepted);
            }
            return TScriptedDialogs::Click(d, button);
        });
        Trigger("munFileHistory");
    }
};

void SelectRow(TfrmHistory& d, int row) {
    d.lvVersions->clearSelection();
    d.lvVersions->topLevelItem(row)->setSelected(true);
}

}  // namespace

class TestManuscriptHistory : public QObject {
    Q_OBJECT

private slots:
    void threeSavesAreListedNewestFirstAndComparedByCharacter() {
        THistoryFixture f;
        f.TypeAndSave(QStringLiteral("春眠已觉晓，处处闻啼鸟。"));
        f.TypeAndSave(QStringLiteral("春眠已觉晓，处处闻鸟。"));
        f.TypeAndSave(QStringLiteral("春眠已觉晓，处处闻鸟鸣。"));
        QCOMPARE(f.VersionTexts(), (QStringList{"春眠已觉晓，处处闻鸟。", "春眠已觉晓，处处闻啼鸟。", kFirst}));
        f.RunHistory([&](TfrmHistory& d) {
            QCOMPARE(d.windowTitle(), QString("历史版本"));
            QCOMPARE(Column(d.lvVersions, 1), (QStringList{"11", "12", "12"}));
            // Characters of the version less those of the current text (12).
            QCOMPARE(Column(d.lvVersions, 2), (QStringList{"-1", "0", "0"}));
            // The newest is shown at once; the oldest: 不 became 已, 鸣 came.
            QCOMPARE(d.txtVersion->toPlainText(), QString("春眠已觉晓，处处闻鸟。"));
            SelectRow(d, 2);
            QCOMPARE(d.txtVersion->toPlainText(), kFirst);
            QCOMPARE(d.txtCurrent->toPlainText(), QString("春眠已觉晓，处处闻鸟鸣。"));
            QCOMPARE(MarkedText(d.txtVersion), QString("不啼"));
            QCOMPARE(MarkedText(d.txtCurrent), QString("已鸣"));
            QVERIFY(d.lblSummary->text().contains("新增 2 字，删去 2 字，共 3 处"));
            QVERIFY(d.lblSummary->text().contains("删去“啼”"));
            QCOMPARE(d.txtVersion->accessibleDescription(), d.lblSummary->text());
        });
        QCOMPARE(f.Editor().GetText(), QString("春眠已觉晓，处处闻鸟鸣。"));
        QCOMPARE(f.VersionTexts().size(), 3);  // closing changed nothing
    }

    // The text on screen becomes a version (saved first when changed), the
    // chosen one is stored and shown, and one undo brings the text back.
    void restoreBringsTheFirstBackAsOneUndoStep() {
        THistoryFixture f;
        f.TypeAndSave(QStringLiteral("第二稿"));
        f.TypeAndSave(QStringLiteral("第三稿"));
        f.Editor().SelectAll();
        f.Editor().InsertText(QStringLiteral("未保存的第四稿"));
        f.RunHistory(
            [&](TfrmHistory& d) {
                SelectRow(d, 1);
                QVERIFY(d.btnRestore->isEnabled());
            },
            "btnRestore");
        QCOMPARE(f.Editor().GetText(), kFirst);
        QVERIFY(!f.Editor().IsModified());
        QCOMPARE(f.Data().LoadDocText(f.doc), kFirst);
        QCOMPARE(f.VersionTexts().first(), QString("未保存的第四稿"));
        QVERIFY(f.VersionTexts().contains(QString("第三稿")));

        f.Editor().Undo();
        QCOMPARE(f.Editor().GetText(), QString("未保存的第四稿"));
        QVERIFY(f.Editor().IsModified());
        f.Editor().Redo();
        QCOMPARE(f.Editor().GetText(), kFirst);

        // Saved again after a close and reopen, the restored text stays.
        f.Trigger("munFileSave");
        f.Commands().Library().munDocCloseBaseClick();
        QCOMPARE(f.StoredText(f.file, f.doc), kFirst);
    }

    void aDamagedVersionIsListedAndRefused() {
        THistoryFixture f;
        const QString spoilt = QStringLiteral("将被弄坏的段落。").repeated(100);
        f.TypeAndSave(spoilt);
        f.TypeAndSave(QStringLiteral("现在的稿子"));
        f.Commands().Library().munDocCloseBaseClick();
        QVERIFY(SpoilStoredValuesIn(f.file, spoilt) > 0);
        QVERIFY(f.Commands().Library().OpenLibrary(f.file));
        f.OpenDoc();
        f.RunHistory(
            [&](TfrmHistory& d) {
                QCOMPARE(Column(d.lvVersions, 3), (QStringList{"已损坏", ""}));
                QVERIFY(!d.btnRestore->isEnabled());
                QVERIFY(!d.ChosenVersionID());
                QCOMPARE(TScriptedDialogs::Click(d, "btnRestore"), int(QDialog::Rejected));
                SelectRow(d, 1);  // the sound one next to it is unaffected
                QCOMPARE(d.txtVersion->toPlainText(), kFirst);
                SelectRow(d, 0);
            },
            nullptr);  // even accepted, a damaged one is not restored
        QCOMPARE(f.Editor().GetText(), QString("现在的稿子"));
        QCOMPARE(f.Data().LoadDocText(f.doc), QString("现在的稿子"));
        QVERIFY(f.dialogs.MessageTexts().isEmpty());
        f.RunHistory([&](TfrmHistory& d) { SelectRow(d, 1); }, "btnRestore");
        QCOMPARE(f.Editor().GetText(), kFirst);
    }

    // Texts are read when a version is selected, each once; one that cannot
    // be read then is shown damaged and cannot be chosen.
    void textsAreReadWhenSelectedAndAFailingOneIsDamaged() {
        const TDocVersion failing{2, 46000.6, 2, false, 2}, sound{1, 46000.5, 2, false, 3};
        QList<int> reads;
        TfrmHistory d({{failing, std::nullopt}, {sound, std::nullopt}}, QStringLiteral("甲乙"),
                      [&](int id) -> std::optional<QString> {
                          reads << id;
                          return id == 2 ? std::nullopt : std::optional<QString>(QStringLiteral("甲乙丙"));
                      });
        QCOMPARE(Column(d.lvVersions, 2), (QStringList{"", "+1"}));
        QCOMPARE(Column(d.lvVersions, 3), (QStringList{"已损坏", ""}));
        QVERIFY(!d.btnRestore->isEnabled());
        QVERIFY(!d.ChosenVersionID());
        SelectRow(d, 1);
        QCOMPARE(d.ChosenVersionID(), std::optional<int>(1));
        QCOMPARE(d.txtVersion->toPlainText(), QString("甲乙丙"));
        SelectRow(d, 0);
        SelectRow(d, 1);
        QCOMPARE(reads, (QList<int>{2, 1}));
    }

    // Unticked in 首选项, "保留历史版本" stops the saves keeping versions.
    void optionOffKeepsNothing() {
        THistoryFixture f;
        bool onByDefault = false;
        f.dialogs.QueueDialog([&](QDialog& d) {
            onByDefault = d.findChild<QCheckBox*>("chkKeepHistory")->isChecked();
            TScriptedDialogs::SetChecked(d, "chkKeepHistory", false);
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munToolOption");
        QVERIFY(onByDefault);
        f.TypeAndSave(QStringLiteral("第二稿"));
        f.TypeAndSave(QStringLiteral("第三稿"));
        QVERIFY(f.VersionTexts().isEmpty());
        QCOMPARE(f.Data().LoadDocText(f.doc), QString("第三稿"));
        f.RunHistory([&](TfrmHistory& d) {
            QCOMPARE(d.lvVersions->topLevelItemCount(), 0);
            QVERIFY(!d.btnRestore->isEnabled());
            QCOMPARE(d.lblSummary->text(), QString("此稿件还没有历史版本。"));
        });
    }

    void needsALibraryAndAnOpenManuscript() {
        TAppFixture f;
        QVERIFY(!f.Main().Action("munFileHistory")->isEnabled());
        f.OpenSeededLibrary({{kDoc, kFirst}});
        QVERIFY(f.Main().Action("munFileHistory")->isEnabled());
        f.Trigger("munFileHistory");  // no manuscript open: nothing asked
        QVERIFY(f.dialogs.Requests().empty());
    }

    // Marked text keeps its own colours on its own ground, and the panes'
    // plain text is the skin's, in every style and theme file.
    void marksAndTextAreReadableInEverySkin() {
        THistoryFixture f;
        f.TypeAndSave(QStringLiteral("春眠"));
        // Style 0 bare and with each shipped theme file (when the tree is known).
        QStringList themes{QString()};
        const QDir shipped(qEnvironmentVariable("QUILLORA_SOURCE_DIR") + "/data/skins");
        if (!qEnvironmentVariable("QUILLORA_SOURCE_DIR").isEmpty())
            for (const QString& name : shipped.entryList({"*.sui"}, QDir::Files))
                themes << shipped.filePath(name);
        for (int style = 0; style < 6; ++style)
            for (const QString& theme : style == 0 ? themes : QStringList{QString()}) {
                f.Context().Skin().Choose(style, theme);
                f.RunHistory([&](TfrmHistory& d) {
                    for (QTextBrowser* pane : {d.txtVersion, d.txtCurrent}) {
                        const QPalette palette = pane->palette();
                        QVERIFY2(Contrast(palette.color(QPalette::Text), palette.color(QPalette::Base)) >= 4.5,
                                 qPrintable(QString("style %1 %2").arg(style).arg(theme)));
                    }
                });
            }
        for (TDiffOp op : {TDiffOp::Removed, TDiffOp::Added}) {
            const TfrmHistory::TMark mark = TfrmHistory::MarkOf(op);
            QVERIFY(Contrast(mark.Text, mark.Back) >= 4.5);
        }
    }

    void everyControlHasAnAccessibleName() {
        THistoryFixture f;
        f.TypeAndSave(QStringLiteral("春眠"));
        f.RunHistory([&](TfrmHistory& d) {
            for (QWidget* control : d.findChildren<QWidget*>()) {
                if (control->focusPolicy() == Qt::NoFocus || qobject_cast<QLabel*>(control))
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
                QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
            }
        });
    }
};

QTEST_MAIN(TestManuscriptHistory)
#include "tst_manuscript_history.moc"
