// The themes shipped with the program: where the 更换皮肤 dialog opens, and
// every shipped theme file is a style sheet Qt accepts.
#include "app/SkinFolders.h"
#include "platform/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList g_messages;

void CollectMessages(QtMsgType, const QMessageLogContext&, const QString& message) { g_messages << message; }

void WriteFile(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("QMenuBar { color: #000000; }");
}

}  // namespace

class TestSkinFolders : public QObject {
    Q_OBJECT

private slots:
    void dialogOpensWhereThemesAre_data() {
        QTest::addColumn<QString>("configured");  // names below the temporary folder
        QTest::addColumn<QStringList>("shipped");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own themes win") << "own" << QStringList{"shipA"} << "own";
        QTest::newRow("empty own folder") << "empty" << QStringList{"shipA"} << "shipA";
        QTest::newRow("nothing configured") << "" << QStringList{"shipA"} << "shipA";
        QTest::newRow("first shipped holding themes")
            << "missing" << QStringList{"none", "empty", "shipA", "shipB"} << "shipA";
        QTest::newRow("no themes anywhere") << "empty" << QStringList{"none", "other"} << "empty";
        QTest::newRow("only other files") << "other" << QStringList{} << "other";
    }
    void dialogOpensWhereThemesAre() {
        QFETCH(QString, configured);
        QFETCH(QStringList, shipped);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString base = dir.path() + QLatin1Char('/');
        for (const char* folder : {"own", "empty", "shipA", "shipB", "other"})
            QVERIFY(QDir().mkpath(base + QLatin1String(folder)));
        WriteFile(base + "own/mine.sui");
        WriteFile(base + "shipA/paper.sui");
        WriteFile(base + "shipB/night.sui");
        WriteFile(base + "other/notes.txt");
        const auto full = [&](const QString& name) { return name.isEmpty() ? name : base + name + '/'; };
        QStringList shippedFolders;
        for (const QString& name : shipped)
            shippedFolders << full(name);
        QCOMPARE(SkinDialogStartFolder(full(configured), shippedFolders), full(expected));
    }

    // A sheet Qt cannot parse would leave the window unstyled with nothing
    // but a warning on stderr.
    void shippedThemesAreValidStyleSheets() {
        const QString source = qEnvironmentVariable("QUILLORA_SOURCE_DIR");
        if (source.isEmpty())
            QSKIP("QUILLORA_SOURCE_DIR is not set");
        const QDir skins(source + "/data/skins");
        const QStringList themes = skins.entryList({"*.sui"}, QDir::Files);
        QVERIFY(!themes.isEmpty());
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("稿件"));
        window.show();
        for (const QString& theme : themes) {
            g_messages.clear();
            const QtMessageHandler previous = qInstallMessageHandler(CollectMessages);
            ApplySkin(nullptr, 0, skins.filePath(theme));
            window.ensurePolished();
            window.menuBar()->ensurePolished();
            qInstallMessageHandler(previous);
            QVERIFY2(!qApp->styleSheet().isEmpty(), qPrintable(theme));
            QVERIFY2(g_messages.isEmpty(), qPrintable(theme + ": " + g_messages.join("; ")));
        }
    }
};

QTEST_MAIN(TestSkinFolders)
#include "tst_skin_folders.moc"
