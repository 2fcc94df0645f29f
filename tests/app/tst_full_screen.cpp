// 工具 ▸ 全屏写作 in the window: entering hides every bar and the side panel
// and leaving (Escape, Ctrl+F11) brings the layout back exactly; the same
// editor takes the typing, which saves like any other; the footer repeats
// the day's count and the manuscript's goal, readable in every skin; the
// writing-mode options reach the editor; 整理段首缩进 works on the open text.
#include "AppFixture.h"
#include "support/ColourContrast.h"

#include "app/TFullScreenWriting.h"
#include "app/TSideChannel.h"
#include "app/dialogs/TfrmOption.h"
#include "editor/TqlvTextEdit.h"
#include "library/ManuscriptSaves.h"
#include "settings/WritingModeSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

namespace {

// Key presses carrying the characters (QTest::keyClicks only sends Latin-1).
void Type(TAppFixture& f, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, f.Editor().Control(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// What full-screen writing may change, as one comparable record.
struct TLayout {
    QRect geometry;
    Qt::WindowStates state;
    QList<bool> shown;
    QList<QList<int>> splitters;
    bool operator==(const TLayout&) const = default;
};

QList<QWidget*> Bars(TfrmMain& main) {
    return {main.menuBar(), main.findChild<QToolBar*>(QStringLiteral("tbTool")), main.SideChannel(),
            main.StatusPanels()};
}

TLayout LayoutOf(TfrmMain& main) {
    TLayout layout{main.geometry(), main.windowState(), {}, {}};
    for (QWidget* bar : Bars(main))
        layout.shown << bar->isVisible();
    // A splitter on a hidden tab has no geometry of its own to compare.
    for (QSplitter* splitter : main.findChildren<QSplitter*>())
        if (splitter->isVisible())
            layout.splitters << splitter->sizes();
    return layout;
}

char* Describe(const TLayout& l) {
    QString text = QStringLiteral("%1,%2 %3x%4 state %5 shown")
                       .arg(l.geometry.x())
                       .arg(l.geometry.y())
                       .arg(l.geometry.width())
                       .arg(l.geometry.height())
                       .arg(int(l.state));
    for (bool shown : l.shown)
        text += shown ? QStringLiteral(" 1") : QStringLiteral(" 0");
    for (const QList<int>& sizes : l.splitters) {
        text += QStringLiteral(" [");
        for (int size : sizes)
            text += QString::number(size) + QLatin1Char(' ');
        text += QLatin1Char(']');
    }
    return qstrdup(text.toUtf8().constData());
}

bool Shown(TfrmMain& main) {
    main.show();
    return QTest::qWaitForWindowExposed(&main);
}

// A plain mouse move (no button) over `widget`, as mouse tracking reports it.
void MoveMouse(QWidget* widget, const QPoint& at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

}  // namespace

namespace QTest {
template <>
char* toString(const TLayout& layout) {
    return Describe(layout);
}
}  // namespace QTest

class TestFullScreen : public QObject {
    Q_OBJECT

private slots:
    void enteringAndLeavingKeepsTheLayout();
    void typingInFullScreenSavesTheManuscript();
    void footerRepeatsTodayAndTheGoal();
    void footerIsReadableInEverySkin();
    void optionsReachTheEditor();
    void indentCommandWorksOnTheOpenText();
};

void TestFullScreen::enteringAndLeavingKeepsTheLayout() {
    TAppFixture f;
    f.OpenSeededLibrary({{QStringLiteral("第一章"), QStringLiteral("开头")}});
    TfrmMain& main = f.Main();
    QVERIFY(Shown(main));
    main.setGeometry(60, 50, 900, 640);
    main.findChild<QSplitter*>(QStringLiteral("SplitterLeft"))->setSizes({230, 660});
    main.findChild<QSplitter*>(QStringLiteral("SplitterDoc"))->setSizes({150, 300});
    const TLayout before = LayoutOf(main);
    QTextEdit* editor = f.Editor().Control();

    for (const bool byKeys : {false, true}) {
        if (byKeys)
            QTest::keySequence(&main, QKeySequence(Qt::CTRL | Qt::Key_F11));
        else
            main.ToolButton(QStringLiteral("tbFullScreen"))->click();
        QVERIFY(main.FullScreen()->IsActive());
        QVERIFY(main.windowState() & Qt::WindowFullScreen);
        for (QWidget* bar : Bars(main))
            QVERIFY2(!bar->isVisible(), qPrintable(bar->objectName()));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor, main.Editor()->Control());  // the same editor, not a copy
        QVERIFY(main.Action(QStringLiteral("munToolFullScreen"))->isChecked());

        if (byKeys)
            QTest::keyClick(&main, Qt::Key_Escape);
        else
            QTest::keySequence(&main, QKeySequence(Qt::CTRL | Qt::Key_F11));
        QVERIFY(!main.FullScreen()->IsActive());
        QCOMPARE(LayoutOf(main), before);
        QVERIFY(!main.Action(QStringLiteral("munToolFullScreen"))->isChecked());
    }
    // Escape outside full screen is the editor's again: nothing changes.
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(LayoutOf(main), before);
}

void TestFullScreen::typingInFullScreenSavesTheManuscript() {
    TAppFixture f;
    const QString file = f.OpenSeededLibrary({{QStringLiteral("第一章"), QStringLiteral("开头")}});
    f.SelectDoc(QStringLiteral("第一章"));
    f.Trigger("munFileOpen");
    TfrmMain& main = f.Main();
    QVERIFY(Shown(main));
    f.Trigger("munToolFullScreen");
    QVERIFY(main.FullScreen()->IsActive());
    QTest::keyClick(f.Editor().Control(), Qt::Key_End, Qt::ControlModifier);
    Type(f, QStringLiteral("，全屏里写的字"));
    QVERIFY(f.Editor().IsModified());
    QVERIFY(main.windowTitle().startsWith(QLatin1Char('*')));
    QVERIFY(f.Editor().CanUndo());
    // Ctrl+S with the menu bar hidden.
    QTest::keySequence(&main, QKeySequence(Qt::CTRL | Qt::Key_S));
    QVERIFY(!f.Editor().IsModified());
    QVERIFY(main.FullScreen()->IsActive());
    QTest::keyClick(&main, Qt::Key_Escape);
    QCOMPARE(f.Editor().GetText(), QStringLiteral("开头，全屏里写的字"));
    f.Trigger("munDocCloseBase");
    QCOMPARE(f.StoredText(file, 1), QStringLiteral("开头，全屏里写的字"));
}

void TestFullScreen::footerRepeatsTodayAndTheGoal() {
    TAppFixture f;
    f.OpenSeededLibrary({{QStringLiteral("第一章"), QStringLiteral("开头")}});
    f.Context().Saves().Goals().Set({0, TGoalKind::Manuscript, 1, 500, 0, 0});
    f.SelectDoc(QStringLiteral("第一章"));
    f.Trigger("munFileOpen");
    TfrmMain& main = f.Main();
    QVERIFY(Shown(main));
    TFullScreenWriting& full = *main.FullScreen();
    f.Trigger("munToolFullScreen");
    QTextEdit* editor = f.Editor().Control();
    QVERIFY(!full.Footer()->isVisible());  // quiet until the mouse comes down

    MoveMouse(editor->viewport(), QPoint(50, editor->viewport()->height() - 10));
    QVERIFY(full.Footer()->isVisible());
    QCOMPARE(full.Footer()->geometry().bottom(), editor->height() - 1);
    TStatusPanels& status = *main.StatusPanels();
    QCOMPARE(full.TodayLabel()->text(), QStringLiteral("今日：0 字"));
    QVERIFY(full.GoalLabel()->text().startsWith(QStringLiteral("目标：")));
    QCOMPARE(full.GoalLabel()->text(), status.GoalPanel()->text());
    QVERIFY(!full.Footer()->accessibleName().isEmpty());
    QCOMPARE(full.GoalLabel()->accessibleName(), full.GoalLabel()->text());

    // A save updates it, as it updates the status bar.
    Type(f, QStringLiteral("又写三"));
    f.Trigger("munFileSave");
    QCOMPARE(full.TodayLabel()->text(), status.TodayPanel()->text());
    QVERIFY(full.TodayLabel()->text() != QStringLiteral("今日：0 字"));
    QCOMPARE(full.GoalLabel()->text(), status.GoalPanel()->text());

    MoveMouse(editor->viewport(), QPoint(50, 20));
    QVERIFY(!full.Footer()->isVisible());
    QTest::keyClick(&main, Qt::Key_Escape);
    QVERIFY(!full.Footer()->isVisible());
}

void TestFullScreen::footerIsReadableInEverySkin() {
    TAppFixture f;
    f.OpenSeededLibrary({{QStringLiteral("第一章"), QStringLiteral("开头")}});
    TfrmMain& main = f.Main();
    QVERIFY(Shown(main));
    TFullScreenWriting& full = *main.FullScreen();
    const QString themes = QStringLiteral(QUILLORA_SOURCE_DIR "/data/skins/");
    const QList<std::pair<int, QString>> skins{
        {0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}, {5, {}}, {0, themes + "night.sui"}, {0, themes + "paper.sui"}};
    for (const QColor& page : {QColor(Qt::white), QColor(0x20, 0x22, 0x26)}) {
        f.Editor().SetColor(page);
        // Dark pages get light text, as a writer would choose them.
        f.Editor().SetFont(f.Editor().Control()->font(), page.lightness() < 128 ? QColor(0xdd, 0xdd, 0xdd) : Qt::black);
        for (const auto& [style, theme] : skins) {
            main.SetSkin(style, theme);
            full.Enter();
            full.SetFooterShown(true);
            QVERIFY(full.Footer()->isVisible());
            // The footer as drawn: its background and the strongest pixel of
            // the day's count written on it.
            const QImage shot = full.Footer()->grab().toImage();
            const QColor background = shot.pixelColor(2, shot.height() / 2);
            const QImage label = full.TodayLabel()->grab().toImage();
            double best = 1;
            for (int y = 0; y < label.height(); ++y)
                for (int x = 0; x < label.width(); ++x)
                    best = std::max(best, Contrast(label.pixelColor(x, y), background));
            QVERIFY2(
                best >= 4.5,
                qPrintable(
                    QStringLiteral("style %1 %2: %3 on %4").arg(style).arg(theme).arg(best).arg(background.name())));
            full.Leave();
        }
    }
}

void TestFullScreen::optionsReachTheEditor() {
    TAppFixture f;
    TfrmMain& main = f.Main();
    QVERIFY(Shown(main));
    f.dialogs.QueueDialog([](QDialog& dialog) {
        auto& options = static_cast<TfrmOption&>(dialog);
        options.spinFullScreenColumn->setValue(24);
        options.comboxTypewriter->setCurrentIndex(int(TWritingModeScope::Off));
        options.comboxFocusMode->setCurrentIndex(int(TWritingModeScope::Always));
        options.chkParagraphIndent->setChecked(true);
        return TScriptedDialogs::Click(dialog, "btnOK");
    });
    f.Trigger("munToolOption");
    const TWritingModeSettings stored = ReadWritingModeSettings(f.Context().RegConfig());
    QCOMPARE(stored, (TWritingModeSettings{24, TWritingModeScope::Off, TWritingModeScope::Always, true}));
    TqlvTextEdit* edit = f.Editor().TextEdit();
    QVERIFY(f.Editor().ParagraphIndent());
    QVERIFY(edit->FocusMode());  // always
    QCOMPARE(edit->ColumnCharacters(), 0);
    f.Trigger("munToolFullScreen");
    QCOMPARE(edit->ColumnCharacters(), 24);
    QVERIFY(!edit->TypewriterScrolling());
    f.Trigger("munToolFullScreen");
    QCOMPARE(edit->ColumnCharacters(), 0);
    QVERIFY(edit->FocusMode());
}

void TestFullScreen::indentCommandWorksOnTheOpenText() {
    TAppFixture f;
    f.Editor().SetText(QStringLiteral("甲\n  乙"));
    f.Trigger("munToolIndent");
    QCOMPARE(f.Editor().GetText(), QStringLiteral("　　甲\r\n　　乙"));
    QVERIFY(f.Editor().IsModified());
}

QTEST_MAIN(TestFullScreen)
#include "tst_full_screen.moc"
