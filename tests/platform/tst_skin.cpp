// The skin object: the style it keeps, and that the widgets it drew follow
// each new choice while the application wears it too.
#include "platform/Skin.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// The widget wears what the application wears: its own palette and style
// sheet equal the application's.
bool WearsTheApplicationSkin(const QWidget& widget) {
    const QPalette own = widget.palette();
    const QPalette application = QApplication::palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::Highlight})
        if (own.color(role) != application.color(role))
            return false;
    return widget.styleSheet() == qApp->styleSheet();
}

}  // namespace

class TestSkin : public QObject {
    Q_OBJECT

private slots:
    void keepsStylesInRange_data() {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("kept");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("middle") << 3 << 3;
        QTest::newRow("last") << 5 << 5;
        QTest::newRow("one past") << 6 << 0;
        QTest::newRow("negative") << -1 << 0;
        QTest::newRow("far out") << 1000 << 0;
    }
    void keepsStylesInRange() {
        QFETCH(int, given);
        QFETCH(int, kept);
        TSkin skin;
        skin.Set(given, QStringLiteral("/themes/a.sui"));
        QCOMPARE(skin.Style(), kept);
        QCOMPARE(skin.Theme(), QStringLiteral("/themes/a.sui"));
    }

    // Setting draws nothing: the stored choice is read before any window.
    void settingDrawsNothing() {
        const QString before = qApp->styleSheet();
        TSkin skin;
        skin.Set(4, QString());
        QCOMPARE(qApp->styleSheet(), before);
    }

    // Open widgets follow every choice, through the built-in styles and a
    // theme file; one destroyed on the way is simply no longer drawn.
    void drawnWidgetsFollowEachChoice() {
        QTemporaryDir dir;
        const QString theme = dir.filePath(QStringLiteral("green.sui"));
        QFile file(theme);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("QMenuBar { background: #00aa00; }");
        file.close();

        TSkin skin;
        skin.Choose(2, QString());
        QDialog kept;
        kept.show();  // polished: a new style sheet then restores the palette of the old
        auto gone = std::make_unique<QDialog>();
        QPointer<QDialog> goneWatch = gone.get();
        skin.ApplyTo(&kept);
        skin.ApplyTo(gone.get());
        skin.ApplyTo(&kept);  // drawn twice, kept once
        QVERIFY(WearsTheApplicationSkin(kept));
        gone.reset();
        QVERIFY(goneWatch.isNull());
        const QList<QPair<int, QString>> choices{{5, {}}, {1, {}}, {0, theme}, {3, {}}, {0, {}}};
        QStringList sheets;
        for (const auto& [style, file] : choices) {
            skin.Choose(style, file);
            QCOMPARE(skin.Style(), style);
            QVERIFY2(WearsTheApplicationSkin(kept), qPrintable(QString::number(style) + file));
            sheets << kept.styleSheet();
        }
        QCOMPARE(sheets.at(2), QStringLiteral("QMenuBar { background: #00aa00; }"));
        QCOMPARE(sheets.last(), QString());  // style 0 without a theme: the neutral look
        QCOMPARE(QSet<QString>(sheets.begin(), sheets.end()).size(), sheets.size());
    }

    // An unreadable theme file leaves style 0's neutral look.
    void missingThemeFileGivesTheNeutralLook() {
        TSkin skin;
        skin.Choose(0, QStringLiteral("/no/such/theme.sui"));
        QDialog dialog;
        skin.ApplyTo(&dialog);
        QCOMPARE(dialog.styleSheet(), QString());
        QVERIFY(WearsTheApplicationSkin(dialog));
    }
};

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
