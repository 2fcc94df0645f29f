// Writing statistics and goals in the window: saving adds to the log and the
// status panels follow; 工具 ▸ 写作统计 shows the days, exports them as CSV;
// goals are set from the manuscript attributes, the folder pop-up menu and
// the library attributes, and refused in the dialog when they make no sense.
#include "AppFixture.h"

#include "app/commands/TWritingCommands.h"
#include "app/dialogs/GoalBox.h"
#include "app/dialogs/WritingChart.h"
#include "library/ManuscriptSaves.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <cmath>

namespace {

// The day the application's writing services call today.
int Today(TAppFixture& f) { return f.Context().Saves().Goals().Today(); }

QString TodayText(TAppFixture& f) { return TWriteLog::DayText(Today(f)); }

// Key presses carrying the characters (QTest::keyClicks only sends Latin-1).
void Type(TAppFixture& f, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, f.Editor().Control(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Opens the seeded manuscript `name` and types `text` into the editor.
void OpenAndType(TAppFixture& f, const QString& name, const QString& text) {
    f.SelectDoc(name);
    f.Trigger("munFileOpen");
    Type(f, text);
}

struct TTableRow {
    QString day, chars, words;
};

TTableRow Row(QTableWidget* table, int row) {
    return {table->item(row, 0)->text(), table->item(row, 1)->text(), table->item(row, 2)->text()};
}

// Every control a user reaches has a name a screen reader says.
QStringList Unnamed(QWidget& dialog) {
    QStringList unnamed;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<QAbstractItemView*>(w) || qobject_cast<QProgressBar*>(w) ||
                             qobject_cast<TWritingChart*>(w);
        // The parts inside a combo, spin box or view (its list, edit,
        // headers) belong to it.
        bool part = false;
        for (QWidget* up = w->parentWidget(); up && up != &dialog; up = up->parentWidget())
            part = part || qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up) ||
                   qobject_cast<QAbstractItemView*>(up);
        if (!control || part)
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (!face || face->text(QAccessible::Name).isEmpty())
            unnamed << w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
    }
    return unnamed;
}

}  // namespace

class TestWritingCommands : public QObject {
    Q_OBJECT

private slots:
    // Typing and saving (the command, then the auto-save tick) adds to
    // today's row; the status panel and the statistics dialog show it.
    void savesAddToTodayInThePanelAndTheStatistics() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}, {QStringLiteral("乙"), QString()}});
        QCOMPARE(f.Main().StatusPanels()->TodayPanel()->text(), QString("今日：0 字"));
        QVERIFY(f.Main().StatusPanels()->GoalPanel()->text().isEmpty());

        OpenAndType(f, QStringLiteral("甲"), QStringLiteral("春眠不觉晓 dawn"));
        f.Trigger("munFileSave");
        QCOMPARE(f.Main().StatusPanels()->TodayPanel()->text(), QString("今日：5 字"));

        Type(f, QStringLiteral("处处闻啼鸟"));
        f.Commands().Manuscripts().timerAutoSaveTimer();
        QCOMPARE(f.Main().StatusPanels()->TodayPanel()->text(), QString("今日：10 字"));

        // Cutting text counts against the day.
        OpenAndType(f, QStringLiteral("乙"), QStringLiteral("夜来风雨声"));
        f.Trigger("munFileSave");
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(f.Editor().Control(), Qt::Key_Backspace);
        f.Trigger("munFileSave");
        QCOMPARE(f.Main().StatusPanels()->TodayPanel()->text(), QString("今日：13 字"));

        TTableRow today, yesterday;
        QString streak;
        int rows = 0;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto* table = d.findChild<QTableWidget*>("tblDays");
            rows = table->rowCount();
            today = Row(table, 0);
            yesterday = Row(table, 1);
            streak = d.findChild<QLabel*>("lblStreak")->text();
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munToolWritingStats");
        QCOMPARE(f.dialogs.Requests().back().caption, QString("写作统计"));
        QCOMPARE(rows, 30);
        QCOMPARE(today.day, TodayText(f));
        QCOMPARE(today.chars, QString("13"));
        QCOMPARE(today.words, QString("1"));
        QCOMPARE(yesterday.chars, QString("0"));
        QCOMPARE(streak, QString("连续写作 1 天"));

        // The day's work stays when its manuscript goes.
        f.SelectDoc(QStringLiteral("乙"));
        f.dialogs.QueueMessageAnswer(1);
        f.Trigger("munFileDel");
        QVERIFY(!f.DocItem(QStringLiteral("乙")));
        QCOMPARE(f.Main().StatusPanels()->TodayPanel()->text(), QString("今日：13 字"));
    }

    // The selector shows 30, 90 or 365 days, newest first, and the chart the same days.
    void rangeSelectorChangesTheDaysShown() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        QList<int> rows;
        QList<size_t> bars;
        QString newest;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto* table = d.findChild<QTableWidget*>("tblDays");
            for (const char* range : {"最近90天", "最近365天", "最近30天"}) {
                TScriptedDialogs::SetCurrentText(d, "cbRange", QString::fromUtf8(range));
                rows << table->rowCount();
                bars << d.findChild<TWritingChart*>()->Days().size();
            }
            newest = table->item(0, 0)->text();
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munToolWritingStats");
        QCOMPARE(rows, (QList<int>{90, 365, 30}));
        QCOMPARE(bars, (QList<size_t>{90, 365, 30}));
        QCOMPARE(newest, TodayText(f));
    }

    // "导出CSV…" writes the rows shown as UTF-8 with a byte-order mark.
    void csvExportReadsBackAsUtf8WithTheChineseIntact() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        OpenAndType(f, QStringLiteral("甲"), QStringLiteral("床前明月光"));
        f.Trigger("munFileSave");
        const QString path = f.Path("统计.csv");
        f.dialogs.QueueSaveFileName(path);
        f.dialogs.QueueDialog([](QDialog& d) {
            TScriptedDialogs::Click(d, "btnExportCsv");
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munToolWritingStats");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 31);
        QCOMPARE(lines.first(), QString("日期,汉字,英文单词,时长"));
        QVERIFY2(lines.last().startsWith(TodayText(f) + QStringLiteral(",5,0,")), qPrintable(lines.last()));
    }

    // The manuscript's goal from its attributes dialog: refused values keep the
    // dialog open with the message; a good one is stored and shown in the panel.
    void manuscriptGoalIsRefusedOrStoredFromTheAttributes_data() {
        QTest::addColumn<QString>("chars");
        QTest::addColumn<int>("deadlineFromToday");  // -999: no deadline
        QTest::addColumn<QString>("refusal");
        QTest::newRow("zero") << "0" << -999 << "目标字数必须大于0。";
        QTest::newRow("yesterday") << "800" << -1 << "截止日期不能早于今天。";
        QTest::newRow("today") << "800" << 0 << "";
        QTest::newRow("no deadline") << "800" << -999 << "";
    }
    void manuscriptGoalIsRefusedOrStoredFromTheAttributes() {
        QFETCH(QString, chars);
        QFETCH(int, deadlineFromToday);
        QFETCH(QString, refusal);
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        OpenAndType(f, QStringLiteral("甲"), QStringLiteral("白日依山尽"));
        f.Trigger("munFileSave");
        const int id = ItemID(f.DocItem(QStringLiteral("甲")));
        int result = -1;
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::SetText(d, "editGoalChars", chars);
            TScriptedDialogs::SetChecked(d, "chkGoalDeadline", deadlineFromToday != -999);
            d.findChild<QDateEdit*>("dateGoalDeadline")->setDate(TGoalBox::DateOfDay(Today(f) + deadlineFromToday));
            result = TScriptedDialogs::Click(d, "btnOK");
            return result;
        });
        f.Trigger("munFileAttribute");
        const std::optional<TGoal> goal = f.Context().Saves().Goals().Find(TGoalKind::Manuscript, id);
        if (!refusal.isEmpty()) {
            QCOMPARE(result, int(QDialog::Rejected));  // the dialog stayed open
            QCOMPARE(f.dialogs.MessageTexts(), QStringList{refusal});
            QCOMPARE(f.dialogs.Messages().back().caption, QString("设置目标"));
            QVERIFY(!goal);
            QVERIFY(f.Main().StatusPanels()->GoalPanel()->text().isEmpty());
            return;
        }
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(f.dialogs.MessageTexts().isEmpty());
        QVERIFY(goal);
        QCOMPARE(goal->Chars, 800);
        QCOMPARE(goal->Deadline, deadlineFromToday == -999 ? 0 : Today(f) + deadlineFromToday);
        QCOMPARE(f.Main().StatusPanels()->GoalPanel()->text(), QString("目标：5 / 800"));
    }

    // A goal whose deadline has passed is shown and accepted unchanged (it
    // must not lock the dialog); emptying the box removes it.
    void anOldGoalDoesNotLockTheDialogAndEmptyingRemovesIt() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        const int id = ItemID(f.DocItem(QStringLiteral("甲")));
        const int today = Today(f);
        {
            // Set a week ago, due two days ago.
            TManuscriptSaves past(f.Data(), [today] { return today - 7 + 0.5; });
            past.Goals().Set({0, TGoalKind::Manuscript, id, 300, today - 2, 0});
        }
        f.Commands().Manuscripts().ShowWritingProgress();
        QCOMPARE(f.Main().StatusPanels()->GoalPanel()->text(), QString("目标：0 / 300"));
        QString shown;
        f.dialogs.QueueDialog([&](QDialog& d) {
            shown = d.findChild<QLineEdit*>("editGoalChars")->text();
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munFileAttribute");
        QCOMPARE(shown, QString("300"));
        QVERIFY(f.dialogs.MessageTexts().isEmpty());
        QCOMPARE(f.Context().Saves().Goals().Find(TGoalKind::Manuscript, id)->Deadline, today - 2);

        f.dialogs.QueueDialog([](QDialog& d) {
            TScriptedDialogs::SetText(d, "editGoalChars", QString());
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munFileAttribute");
        QVERIFY(!f.Context().Saves().Goals().Find(TGoalKind::Manuscript, id));
        QVERIFY(f.Main().StatusPanels()->GoalPanel()->text().isEmpty());
    }

    // "设置目标…" of the folder pop-up: a folder's goal, and on the root the
    // library's; the library attributes dialog edits the same library goal.
    void folderAndLibraryGoals() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        const int folder = f.Data().AddFolder(0, QStringLiteral("长篇"));
        f.Main().LoadLibraryViews();
        QTreeWidget* tree = f.Main().DocTree();
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QTreeWidgetItem* node = root->child(0);
        QCOMPARE(ItemID(node), folder);

        struct Case {
            QTreeWidgetItem* item;
            QString chars;
            TGoalKind kind;
            int target;
        };
        for (const Case& c :
             {Case{node, "20000", TGoalKind::Folder, folder}, Case{root, "100000", TGoalKind::Library, 0}}) {
            tree->setCurrentItem(c.item);
            QString target;
            f.dialogs.QueueDialog([&](QDialog& d) {
                target = d.findChild<QLabel*>("lblGoalTarget")->text();
                TScriptedDialogs::SetText(d, "editGoalChars", c.chars);
                return TScriptedDialogs::Click(d, "btnOK");
            });
            f.Trigger("PopFloderGoal");
            QCOMPARE(f.dialogs.Requests().back().caption, QString("设置目标"));
            QVERIFY2(target.contains(c.kind == TGoalKind::Library ? QStringLiteral("稿件库") : QStringLiteral("长篇")),
                     qPrintable(target));
            const std::optional<TGoal> goal = f.Context().Saves().Goals().Find(c.kind, c.target);
            QVERIFY(goal);
            QCOMPARE(goal->Chars, c.chars.toInt());
        }

        // The library attributes show the root's goal and change it.
        QString shown;
        f.dialogs.QueueDialog([&](QDialog& d) {
            shown = d.findChild<QLineEdit*>("editGoalChars")->text();
            TScriptedDialogs::SetText(d, "editGoalChars", QStringLiteral("0"));
            const int refused = TScriptedDialogs::Click(d, "btnOK");
            if (refused != QDialog::Rejected)
                return refused;
            TScriptedDialogs::SetText(d, "editGoalChars", QStringLiteral("120000"));
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munDocAttribute");
        QCOMPARE(shown, QString("100000"));
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"目标字数必须大于0。"});
        QCOMPARE(f.Context().Saves().Goals().Find(TGoalKind::Library, 0)->Chars, 120000);

        // The statistics list both goals, the library first, with the day's figure.
        QStringList targets;
        QString todayText;
        f.dialogs.QueueDialog([&](QDialog& d) {
            for (QLabel* label : d.findChildren<QLabel*>("lblGoalTarget"))
                targets << label->text();
            todayText = d.findChild<QLabel*>("lblToday")->text();
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munToolWritingStats");
        QCOMPARE(targets, (QStringList{"稿件库", "稿件夹：长篇"}));
        QCOMPARE(todayText, QString("今日：0 字"));  // no deadline: no daily figure
    }

    // Goal progress as the dialog words it.
    void progressTexts_data() {
        QTest::addColumn<int>("chars");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("deadline");  // from today; 0 none
        QTest::addColumn<QString>("text");
        QTest::newRow("reached") << 100 << 120 << 0 << "已写 120 / 100 字，已完成。";
        QTest::newRow("open-ended") << 100 << 40 << 0 << "已写 40 / 100 字，还差 60 字，无截止日期。";
        QTest::newRow("due") << 100 << 40 << 2
                             << "已写 40 / 100 字，还差 60 字，截止 2026-01-03，还有 3 天，每天需写 20 字。";
        QTest::newRow("overdue") << 100 << 40 << -1 << "已写 40 / 100 字，还差 60 字，已过截止日期 2025-12-31。";
    }
    void progressTexts() {
        QFETCH(int, chars);
        QFETCH(int, written);
        QFETCH(int, deadline);
        QFETCH(QString, text);
        const int today = TGoalBox::DayOfDate(QDate(2026, 1, 1));
        const TGoal goal{1, TGoalKind::Manuscript, 1, chars, deadline ? today + deadline : 0, 0};
        const TGoalRow row{QStringLiteral("稿件：甲"), goal, TWritingGoals::ProgressOf(goal, written, today)};
        QCOMPARE(TfrmWritingStats::ProgressText(row), text);
    }

    void everyControlOfTheDialogsHasAnAccessibleName() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        f.Context().Saves().Goals().Set({0, TGoalKind::Library, 0, 5000, 0, 0});
        QStringList unnamed;
        auto check = [&](QDialog& d) {
            for (const QString& name : Unnamed(d))
                unnamed << d.objectName() + ": " + name;
            return int(QDialog::Rejected);
        };
        for (int i = 0; i < 3; ++i)
            f.dialogs.QueueDialog(check);
        f.Trigger("munToolWritingStats");
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileAttribute");
        f.Main().DocTree()->setCurrentItem(f.Main().DocTree()->topLevelItem(0));
        f.Trigger("PopFloderGoal");
        QCOMPARE(f.dialogs.PendingAnswers(), 0);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // Without a library the panels are hidden and the command is off.
    void withoutALibraryNothingIsShown() {
        TAppFixture f;
        QVERIFY(f.Main().StatusPanels()->TodayPanel()->text().isEmpty());
        QVERIFY(!f.Main().Action("munToolWritingStats")->isEnabled());
        f.OpenSeededLibrary({{QStringLiteral("甲"), QString()}});
        QVERIFY(f.Main().Action("munToolWritingStats")->isEnabled());
        f.Trigger("munDocCloseBase");
        QVERIFY(f.Main().StatusPanels()->TodayPanel()->text().isEmpty());
        QVERIFY(!f.Main().Action("munToolWritingStats")->isEnabled());
    }
};

QTEST_MAIN(TestWritingCommands)
#include "tst_writing_commands.moc"
