// The English interface: with the build's English translation installed, no
// caption, hint, title or accessible name of the main window or of any
// dialog still shows Chinese (a string that bypasses the translation system
// shows its Chinese source text). Text the user typed or the library holds
// (editor text, list and tree items, font names) is data and not looked at.
// Also: the language rule, the stored option, and the texts the data layers
// raise translated where they are shown.
#include "app/InterfaceLanguage.h"
#include "app/TAppContext.h"
#include "app/TQuilloraApp.h"
#include "app/TfrmMain.h"
#include "app/dialogs/GoalBox.h"
#include "app/dialogs/TTomeDBLoginForm.h"
#include "app/dialogs/TfrmAbout.h"
#include "app/dialogs/TfrmBookOutput.h"
#include "app/dialogs/TfrmCreatDocData.h"
#include "app/dialogs/TfrmDBAttribute.h"
#include "app/dialogs/TfrmDBCenter.h"
#include "app/dialogs/TfrmDocAttr.h"
#include "app/dialogs/TfrmExport.h"
#include "app/dialogs/TfrmHistory.h"
#include "app/dialogs/TfrmImport.h"
#include "app/dialogs/TfrmLibraryFind.h"
#include "app/dialogs/TfrmMail.h"
#include "app/dialogs/TfrmMarks.h"
#include "app/dialogs/TfrmOption.h"
#include "app/dialogs/TfrmRestore.h"
#include "app/dialogs/TfrmWritingStats.h"
#include "editor/FindDialog.h"
#include "editor/ReplaceDialog.h"
#include "platform/ErrorText.h"
#include "settings/OptionValues.h"
#include "settings/RegConfig.h"
#include "tools/pinyin/TfrmCheckPY.h"
#include "tools/reader/TfrmReader.h"
#include "tools/searcher/TfrmSearcher.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

bool HasChinese(const QString& text) {
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(cjk);
}

// "where: text" for every caption under `root` that is still Chinese.
class TCaptionWalk {
public:
    QStringList Found;

    void Widget(QWidget* root) {
        Check(root, QStringLiteral("title"), root->windowTitle());
        QList<QWidget*> widgets = root->findChildren<QWidget*>();
        widgets << root;
        for (QWidget* widget : widgets) {
            Check(widget, QStringLiteral("accessible name"), widget->accessibleName());
            Check(widget, QStringLiteral("tool tip"), widget->toolTip());
            Check(widget, QStringLiteral("accessible description"), widget->accessibleDescription());
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                Check(widget, QStringLiteral("text"), button->text());
            if (auto* label = qobject_cast<QLabel*>(widget))
                Check(widget, QStringLiteral("label"), label->text());
            if (auto* group = qobject_cast<QGroupBox*>(widget))
                Check(widget, QStringLiteral("group"), group->title());
            if (auto* edit = qobject_cast<QLineEdit*>(widget))
                Check(widget, QStringLiteral("placeholder"), edit->placeholderText());
            if (auto* spin = qobject_cast<QSpinBox*>(widget))
                Check(widget, QStringLiteral("suffix"), spin->suffix());
            if (auto* menu = qobject_cast<QMenu*>(widget))
                Check(widget, QStringLiteral("menu"), menu->title());
            if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
                for (int i = 0; i < tabs->count(); ++i)
                    Check(widget, QStringLiteral("tab"), tabs->tabText(i));
            }
            if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
                for (int i = 0; i < tree->columnCount(); ++i) {
                    Check(widget, QStringLiteral("header"), tree->headerItem()->text(i));
                    Check(widget, QStringLiteral("header tip"), tree->headerItem()->toolTip(i));
                }
            }
            if (auto* table = qobject_cast<QTableWidget*>(widget)) {
                for (int i = 0; i < table->columnCount(); ++i)
                    if (const QTableWidgetItem* item = table->horizontalHeaderItem(i))
                        Check(widget, QStringLiteral("header"), item->text());
            }
            for (const QAction* action : widget->actions()) {
                Check(widget, QStringLiteral("action ") + action->objectName(), action->text());
                Check(widget, QStringLiteral("action tip ") + action->objectName(), action->toolTip());
            }
        }
    }

private:
    void Check(const QObject* owner, const QString& what, const QString& text) {
        if (HasChinese(text))
            Found << QStringLiteral("%1 %2 (%3): %4")
                         .arg(QString::fromLatin1(owner->metaObject()->className()), owner->objectName(), what, text);
    }
};

}  // namespace

using TMakeDialog = std::function<QWidget*()>;
Q_DECLARE_METATYPE(TMakeDialog)

class TestEnglishInterface : public QObject {
    Q_OBJECT

    std::unique_ptr<TInterfaceTranslations> m_translations;
    std::unique_ptr<TQuilloraApp> m_app;

    QStringList Walk(QWidget* widget) {
        TCaptionWalk walk;
        walk.Widget(widget);
        return walk.Found;
    }

private slots:
    void initTestCase() {
        // The application's own start-up is told English too, so it sets
        // the English locale and Qt's English strings as a user's would.
        qputenv("QUILLORA_LANGUAGE", "en");
        m_translations = std::make_unique<TInterfaceTranslations>();
        m_translations->Install(TLanguage::English, {QStringLiteral(QUILLORA_QM_DIR)});
        QVERIFY2(m_translations->Translated(), "the build's quillora_en.qm was not found");
        m_app = std::make_unique<TQuilloraApp>(QStringList{"quillora"});
        m_app->Startup();
    }
    void cleanupTestCase() {
        m_app.reset();
        m_translations.reset();
    }

    void languageRule_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<bool>("chinese");
        const int follow = static_cast<int>(TInterfaceLanguage::FollowSystem);
        QTest::newRow("zh-CN desktop") << follow << QStringList{"zh-CN", "zh"} << true;
        QTest::newRow("zh-Hant-TW desktop") << follow << QStringList{"zh-Hant-TW"} << true;
        QTest::newRow("bare zh") << follow << QStringList{"zh"} << true;
        QTest::newRow("en-US desktop") << follow << QStringList{"en-US"} << false;
        QTest::newRow("German first, Chinese second") << follow << QStringList{"de-DE", "zh-CN"} << false;
        QTest::newRow("no languages (C locale)") << follow << QStringList{} << false;
        QTest::newRow("zu is not zh") << follow << QStringList{"zu-ZA"} << false;
        QTest::newRow("option Chinese on English desktop")
            << static_cast<int>(TInterfaceLanguage::Chinese) << QStringList{"en-US"} << true;
        QTest::newRow("option English on Chinese desktop")
            << static_cast<int>(TInterfaceLanguage::English) << QStringList{"zh-CN"} << false;
    }
    void languageRule() {
        QFETCH(int, option);
        QFETCH(QStringList, uiLanguages);
        QFETCH(bool, chinese);
        const TLanguage chosen = ChooseLanguage(static_cast<TInterfaceLanguage>(option), uiLanguages);
        QCOMPARE(chosen == TLanguage::Chinese, chinese);
    }

    // The option is stored with the others and read back at start; a value
    // no version writes falls back to following the system.
    void optionStored() {
        TqlvRegConfig& config = m_app->Context()->RegConfig();
        TOptionValues values = ReadOptions(config);
        QCOMPARE(values.Language, TInterfaceLanguage::FollowSystem);
        values.Language = TInterfaceLanguage::English;
        WriteOptions(config, values);
        QCOMPARE(ReadInterfaceLanguage(config), TInterfaceLanguage::English);
        QCOMPARE(ReadOptions(config).Language, TInterfaceLanguage::English);
        TRegistry& reg = config.Registry();
        QVERIFY(reg.OpenKey(TqlvRegConfig::kConfigKey, false));
        reg.WriteInteger(QStringLiteral("Language"), 7);
        reg.CloseKey();
        QCOMPARE(ReadInterfaceLanguage(config), TInterfaceLanguage::FollowSystem);
        values.Language = TInterfaceLanguage::FollowSystem;
        WriteOptions(config, values);
    }

    void mainWindowIsEnglish() {
        TfrmMain* main = m_app->MainWindow();
        main->show();
        QTest::qWait(20);
        const QStringList found = Walk(main);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        QCOMPARE(main->findChild<QMenu*>(QStringLiteral("munFile"))->title(), QStringLiteral("&Manuscript"));
    }

    void dialogsAreEnglish_data() {
        QTest::addColumn<TMakeDialog>("make");
        TAppContext& context = *m_app->Context();
        auto add = [](const char* name, TMakeDialog make) { QTest::newRow(name) << make; };
        add("options", [&context] {
            return new TfrmOption(context.Dialogs(), {QStringLiteral("ibus")}, {QStringLiteral("Serif")});
        });
        add("about", [] { return new TfrmAbout; });
        add("book output", [&context] { return new TfrmBookOutput(context.Dialogs()); });
        add("new library", [&context] { return new TfrmCreatDocData(context.Dialogs()); });
        add("library properties", [&context] { return new TfrmDBAttribute(context.Dialogs()); });
        add("library centre", [&context] { return new TfrmDBCenter(context.Dialogs(), context.DocData(), QString()); });
        add("manuscript properties", [&context] { return new TfrmDocAttr(context.Dialogs(), TDocAttr{}); });
        add("export", [&context] { return new TfrmExport(context.Dialogs(), context.DocData(), context.Documents()); });
        add("import", [&context] { return new TfrmImport(context.Dialogs(), context.DocData(), context.Documents()); });
        add("history", [] { return new TfrmHistory({}, QString(), [](int) { return std::optional<QString>(); }); });
        add("find in library", [] { return new TfrmLibraryFind; });
        add("mail", [&context] { return new TfrmMail(context.Dialogs(), context.RegConfig()); });
        add("mark", [&context] { return new TfrmMarks(context.Dialogs(), TMark{}); });
        add("restore", [] { return new TfrmRestore({}); });
        add("writing statistics", [] { return new TfrmWritingStats; });
        add("goal", [&context] {
            return new TfrmGoal(context.Dialogs(), QStringLiteral("Novel"), TGoalKind::Library, 0, std::nullopt, 0);
        });
        add("password", [] { return new TTomeDBLoginForm(QStringLiteral("novel.qdb")); });
        add("find", [] { return new TfrmFind; });
        add("replace", [] { return new TfrmReplace; });
        add("pinyin", [] { return new TfrmCheckPY; });
        add("reader", [] { return new TfrmReader; });
        add("find in files", [] { return new TfrmSearcher; });
    }
    void dialogsAreEnglish() {
        QFETCH(TMakeDialog, make);
        std::unique_ptr<QWidget> dialog(make());
        const QStringList found = Walk(dialog.get());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    // The data layers raise Chinese texts; the window shows them in English,
    // arguments and trailing details carried over unchanged.
    void raisedTextsTranslatedWhereShown_data() {
        QTest::addColumn<QString>("raised");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole text") << QStringLiteral("稿件库名称不能为空！")
                                    << QStringLiteral("The library name cannot be empty!");
        QTest::newRow("arguments") << QStringLiteral("无法打开文件 \"/tmp/a b.txt\"：Permission denied")
                                   << QStringLiteral("Cannot open the file \"/tmp/a b.txt\": Permission denied");
        QTest::newRow("known action as argument")
            << QStringLiteral("稿件库文件是只读的，无法替换：\n/tmp/n.qdb")
            << QStringLiteral("The library file is read-only; cannot replace:\n/tmp/n.qdb");
        QTest::newRow("detail after the text")
            << QStringLiteral("图片的路径太长（超过255字节），无法插入：\n/very/long")
            << QStringLiteral("The picture's path is too long (over 255 bytes) and cannot be inserted:\n/very/long");
        QTest::newRow("attribute value") << QStringLiteral("1024 字节") << QStringLiteral("1024 bytes");
        QTest::newRow("unknown text unchanged") << QStringLiteral("引擎：未知") << QStringLiteral("引擎：未知");
        QTest::newRow("English unchanged") << QStringLiteral("disk full") << QStringLiteral("disk full");
    }
    void raisedTextsTranslatedWhereShown() {
        QFETCH(QString, raised);
        QFETCH(QString, shown);
        QCOMPARE(TranslatedText(raised), shown);
    }
};

QTEST_MAIN(TestEnglishInterface)
#include "tst_english_interface.moc"
