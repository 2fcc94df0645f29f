// Import and export of text files for the library (稿件库 ▸ 导入/导出) and the
// materials store (the materials panel's 导入/导出): what is stored, what is
// written, the names files get, and what the end messages say.
#include "AppFixture.h"

#include "app/commands/TExchangeCommands.h"
#include "app/dialogs/ExchangeParts.h"
#include "app/dialogs/TfrmExport.h"
#include "app/dialogs/TfrmImport.h"
#include "materials/TqlvDocuments.h"
#include "platform/TextCodec.h"
#include "settings/RegConfig.h"

#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

template <typename Dialog>
Dialog& As(QDialog& d) {
    return static_cast<Dialog&>(d);
}

// Adds the files through the file dialog, imports and closes; records the
// captions the list holds after the import.
TScriptedDialogs::DialogHandler ImportFiles(TScriptedDialogs& dialogs, const QStringList& paths,
                                            QStringList* listed = nullptr, const QString& folder = QString()) {
    return [&dialogs, paths, listed, folder](QDialog& d) {
        auto& import = As<TfrmImport>(d);
        if (!folder.isEmpty()) {
            const auto found = import.FolderTree()->findItems(folder, Qt::MatchExactly | Qt::MatchRecursive);
            import.FolderTree()->setCurrentItem(found.value(0));
        }
        dialogs.QueueOpenFileNames(paths);
        TScriptedDialogs::Click(d, "btnAdd");
        TScriptedDialogs::Click(d, "btnImport");
        if (listed) {
            for (int i = 0; i < import.FileList()->topLevelItemCount(); ++i)
                *listed << import.FileList()->topLevelItem(i)->text(0);
        }
        return TScriptedDialogs::Click(d, "btnClose");
    };
}

// Picks every record of the listed folder, chooses `folder` with "..." and exports.
TScriptedDialogs::DialogHandler ExportAll(TScriptedDialogs& dialogs, const QString& folder) {
    return [&dialogs, folder](QDialog& d) {
        dialogs.QueueFolderName(folder);
        TScriptedDialogs::Click(d, "btnBrowse");
        TScriptedDialogs::Click(d, "btnSelectAll");
        TScriptedDialogs::Click(d, "btnExport");
        return TScriptedDialogs::Click(d, "btnClose");
    };
}

// Stored texts of the library's top folder by name.
QMap<QString, QString> StoredDocs(TqlvDocData& data, int folder = 0) {
    QMap<QString, QString> docs;
    for (const TViewItem& item : data.LoadDocList(folder))
        docs.insert(item.Caption, data.LoadDocText(item.ID));
    return docs;
}

}  // namespace

class TestExchangeCommands : public QObject {
    Q_OBJECT

private slots:
    // ---- text round trip: file -> library -> file ------------------------------

    void importedTextsAndTheirExport_data() {
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::addColumn<QString>("stored");
        const QString chapter = QStringLiteral("第一章 春天\r\n她说：“好。”\r\n");
        QTest::newRow("GBK") << ToGB(chapter) << chapter;
        QTest::newRow("UTF-8 without mark") << chapter.toUtf8() << chapter;
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + chapter.toUtf8() << chapter;
        QTest::newRow("UTF-16 with mark")
            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(chapter.utf16()), chapter.size() * 2)
            << chapter;
        QTest::newRow("bare LF") << QStringLiteral("一\n二\n\n三").toUtf8() << QStringLiteral("一\r\n二\r\n\r\n三");
        const QString rare = QStringLiteral("𠀀𪚥 and 😀 beyond GBK\r\n");
        QTest::newRow("characters outside GBK") << rare.toUtf8() << rare;
        QTest::newRow("ASCII only") << QByteArray("plain\r\ntext") << QStringLiteral("plain\r\ntext");
    }
    void importedTextsAndTheirExport() {
        QFETCH(QByteArray, fileBytes);
        QFETCH(QString, stored);
        TAppFixture f;
        f.OpenSeededLibrary({});
        const QString file = f.Path("样章.txt");
        WriteBytes(file, fileBytes);
        f.dialogs.QueueDialog(ImportFiles(f.dialogs, {file}));
        f.Trigger("munDocImport");
        QCOMPARE(StoredDocs(f.Data()), (QMap<QString, QString>{{QStringLiteral("样章"), stored}}));

        const QString out = f.Path("导出");
        QDir().mkpath(out);
        f.dialogs.QueueDialog(ExportAll(f.dialogs, out));
        f.Trigger("munDocExport");
        const QByteArray written = ReadBytes(out + "/样章.txt");
        QCOMPARE(written, ToGB(stored));  // GB18030, CR LF
        QCOMPARE(FromGB(written), stored);
    }

    // ---- import ------------------------------------------------------------------

    void importTwoChapters_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("into the top folder") << QString();
        QTest::newRow("into a chosen folder") << QStringLiteral("长篇");
    }
    void importTwoChapters() {
        QFETCH(QString, folder);
        TAppFixture f;
        f.OpenSeededLibrary({});
        const int folderID = folder.isEmpty() ? 0 : f.Data().AddFolder(0, folder);
        f.Main().LoadLibraryViews();
        WriteBytes(f.Path("第一章.txt"), ToGB(QStringLiteral("一的正文")));
        WriteBytes(f.Path("第二章.txt"), ToGB(QStringLiteral("二的正文")));
        QStringList listed;
        f.dialogs.QueueDialog(ImportFiles(f.dialogs, {f.Path("第一章.txt"), f.Path("第二章.txt")}, &listed, folder));
        f.Trigger("munDocImport");
        QCOMPARE(StoredDocs(f.Data(), folderID),
                 (QMap<QString, QString>{{QStringLiteral("第一章"), QStringLiteral("一的正文")},
                                         {QStringLiteral("第二章"), QStringLiteral("二的正文")}}));
        QCOMPARE(listed, (QStringList{"第一章", "第二章"}));  // the list stays filled
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"已经完成稿件的导入！"});
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("导入"));
        QCOMPARE(f.dialogs.Messages().at(0).icon, 1);
        // The window's list of the top folder shows what came in there.
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), folder.isEmpty() ? 2 : 0);
        // An imported manuscript carries its size and counts, as a saved one does.
        TDocAttr attr;
        f.Data().GetDocAttr(f.Data().LoadDocList(folderID).at(0).ID, attr);
        QCOMPARE(attr.DocSize, QString::number(ToGB(attr.Txt).size()));
        QCOMPARE(attr.cnCount, QString("4"));
    }

    void goneFilesAreNamedAndTheOthersStillAdded() {
        TAppFixture f;
        f.OpenSeededLibrary({});
        const QStringList files{f.Path("一.txt"), f.Path("二.txt"), f.Path("三.txt")};
        for (const QString& path : files)
            WriteBytes(path, "x");
        QFile::remove(files[1]);
        QStringList listed;
        f.dialogs.QueueDialog(ImportFiles(f.dialogs, files, &listed));
        f.Trigger("munDocImport");
        QCOMPARE(listed, (QStringList{"一", "三"}));
        QCOMPARE(f.dialogs.Messages().size(), size_t(2));
        QVERIFY(f.dialogs.Messages().at(0).text.contains(files[1]));
        QCOMPARE(f.dialogs.Messages().at(0).icon, 2);
        QCOMPARE(f.Data().LoadDocList(0).size(), size_t(2));
    }

    // Import stores all files or none: one gone since it was listed stores nothing.
    void fileGoneBeforeImportIsNamedAndNothingImported() {
        TAppFixture f;
        f.OpenSeededLibrary({});
        const QStringList files{f.Path("甲.txt"), f.Path("乙.txt"), f.Path("丙.txt")};
        for (const QString& path : files)
            WriteBytes(path, ToGB(QFileInfo(path).completeBaseName()));
        f.dialogs.QueueDialog([&](QDialog& d) {
            f.dialogs.QueueOpenFileNames(files);
            TScriptedDialogs::Click(d, "btnAdd");
            QFile::remove(files[1]);
            TScriptedDialogs::Click(d, "btnImport");
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munDocImport");
        QVERIFY(StoredDocs(f.Data()).isEmpty());
        const TShownMessage end = f.dialogs.Messages().back();
        QVERIFY(end.text.startsWith(QStringLiteral("没有导入任何文件。")));
        QVERIFY(end.text.contains(files[1]));
        QCOMPARE(end.icon, 2);
    }

    void deleteAndClearTouchOnlyTheList() {
        TAppFixture f;
        f.OpenSeededLibrary({});
        const QStringList files{f.Path("a.txt"), f.Path("b.txt"), f.Path("c.txt")};
        for (const QString& path : files)
            WriteBytes(path, "x");
        QStringList afterDelete;
        int afterClear = -1;
        f.dialogs.QueueDialog([&](QDialog& d) {
            QTreeWidget* list = As<TfrmImport>(d).FileList();
            f.dialogs.QueueOpenFileNames(files + QStringList{files[0]});  // the same file twice
            TScriptedDialogs::Click(d, "btnAdd");
            list->setCurrentItem(list->topLevelItem(1));
            TScriptedDialogs::Click(d, "btnDel");
            list->setCurrentItem(list->topLevelItem(0));
            QTest::keyClick(list, Qt::Key_Delete);
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                afterDelete << list->topLevelItem(i)->text(0);
            TScriptedDialogs::Click(d, "btnClear");
            afterClear = list->topLevelItemCount();
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munDocImport");
        QCOMPARE(afterDelete, (QStringList{"c", "a"}));
        QCOMPARE(afterClear, 0);
        for (const QString& path : files)
            QVERIFY(QFile::exists(path));
        QVERIFY(f.Data().LoadDocList(0).empty());
    }

    void cancelStopsBetweenFiles_data() {
        QTest::addColumn<bool>("exporting");
        QTest::newRow("import") << false;
        QTest::newRow("export") << true;
    }
    // A cancelled export keeps the files written; a cancelled import stores nothing.
    void cancelStopsBetweenFiles() {
        QFETCH(bool, exporting);
        TAppFixture f;
        QList<TSeedDoc> seeds;
        QStringList files;
        for (int i = 1; i <= 5; ++i) {
            const QString name = QStringLiteral("篇%1").arg(i);
            files << f.Path(name + ".txt");
            WriteBytes(files.back(), ToGB(name));
            if (exporting)
                seeds << TSeedDoc{name, name};
        }
        f.OpenSeededLibrary(seeds);
        const QString out = f.Path("出");
        QDir().mkpath(out);
        f.dialogs.QueueDialog([&](QDialog& d) {
            TExchangeProgress* progress = exporting ? As<TfrmExport>(d).Progress() : As<TfrmImport>(d).Progress();
            // Cancel clicked while the third file is about to start.
            connect(progress, &TExchangeProgress::Stepped, progress, [&d](int done, int) {
                if (done == 2)
                    TScriptedDialogs::Click(d, "btnStop");
            });
            if (exporting) {
                f.dialogs.QueueFolderName(out);
                TScriptedDialogs::Click(d, "btnBrowse");
                TScriptedDialogs::Click(d, "btnSelectAll");
                TScriptedDialogs::Click(d, "btnExport");
            } else {
                f.dialogs.QueueOpenFileNames(files);
                TScriptedDialogs::Click(d, "btnAdd");
                TScriptedDialogs::Click(d, "btnImport");
            }
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger(exporting ? "munDocExport" : "munDocImport");
        QCOMPARE(f.dialogs.MessageTexts(),
                 QStringList{exporting ? QStringLiteral("导出已取消：已经导出 2 个文件，共 5 个。")
                                       : QStringLiteral("导入已取消：没有导入任何文件。")});
        if (exporting)
            QCOMPARE(QDir(out).entryList(QDir::Files).size(), 2);
        else
            QCOMPARE(f.Data().LoadDocList(0).size(), size_t(0));
    }

    void materialsImportGoesToTheMaterialsStore() {
        TAppFixture f;
        TqlvDocuments& store = f.Context().Documents();
        const QString folder = QStringLiteral("素材") + QString::number(QDateTime::currentMSecsSinceEpoch());
        const int folderID = store.AddFolder(0, folder);
        f.Main().LoadMaterials();
        WriteBytes(f.Path("引文.txt"), ToGB(QStringLiteral("引文正文")));
        QString label;
        f.dialogs.QueueDialog([&](QDialog& d) {
            label = d.findChild<QLabel*>("Label1")->text();
            return ImportFiles(f.dialogs, {f.Path("引文.txt")}, nullptr, folder)(d);
        });
        f.Main().ToolButton("tbFileImport")->click();
        QCOMPARE(label, QString("请选择资料夹"));
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"已经完成资料的导入！"});
        const TViewItems docs = store.LoadDocList(folderID);
        QCOMPARE(docs.size(), size_t(1));
        QCOMPARE(docs.at(0).Caption, QString("引文"));
        QCOMPARE(store.LoadDocText(docs.at(0).ID), QString("引文正文"));
        QVERIFY(f.Data().LoadDocList(0).empty());  // no library was touched
    }

    // ---- export --------------------------------------------------------------------

    void exportDialogsShowTheirStore_data() {
        QTest::addColumn<bool>("materials");
        QTest::newRow("manuscripts") << false;
        QTest::newRow("materials") << true;
    }
    void exportDialogsShowTheirStore() {
        QFETCH(bool, materials);
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("旧稿"), QStringLiteral("正文")}});
        const int docID = f.Data().LoadDocList(0).at(0).ID;
        TDocAttr saved;
        saved.DocName = QStringLiteral("旧稿");
        saved.DocSize = QStringLiteral("4321");
        saved.Txt = QStringLiteral("正文");
        f.Data().SaveDoc(docID, saved);
        const int materialID = f.Context().Documents().AddDoc(0, TDocAttr{QStringLiteral("摘录")});
        f.Context().RegConfig().WritePaths(f.Path("稿件出口"), f.Path("图"), QString(), f.Path("资料出口"));

        QString path, label, header;
        bool sizeHidden = false;
        QString size;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto& dialog = As<TfrmExport>(d);
            path = d.findChild<QLineEdit*>("editPath")->text();
            label = d.findChild<QLabel*>("lblPath")->text();
            header = dialog.DocList()->headerItem()->text(0);
            sizeHidden = dialog.FileList()->isColumnHidden(1);
            const int id = materials ? materialID : docID;
            for (int i = 0; i < dialog.DocList()->topLevelItemCount(); ++i)
                if (ItemID(dialog.DocList()->topLevelItem(i)) == id)
                    dialog.AddRecord(dialog.DocList()->topLevelItem(i));
            if (dialog.FileList()->topLevelItemCount() == 1)
                size = dialog.FileList()->topLevelItem(0)->text(1);
            return TScriptedDialogs::Click(d, "btnClose");
        });
        if (materials)
            f.Main().ToolButton("tbFileExport")->click();
        else
            f.Trigger("munDocExport");
        QCOMPARE(path, f.Path(materials ? "资料出口" : "稿件出口"));
        QCOMPARE(label, materials ? QString("导出资料的存放路径(不要包含空格):")
                                  : QString("导出稿件的存放路径(不要包含空格)："));
        QCOMPARE(header, materials ? QString("资料") : QString("稿件"));
        QCOMPARE(sizeHidden, materials);
        QCOMPARE(size, materials ? QString() : QString("4321"));
    }

    void listsFollowClicks() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("1")}, {QStringLiteral("乙"), QStringLiteral("2")}});
        const int sub = f.Data().AddFolder(0, QStringLiteral("子"));
        TDocAttr inSub;
        inSub.DocName = QStringLiteral("丙");
        f.Data().AddDoc(sub, inSub);
        QStringList chosen, subList;
        int afterRemoveAll = -1;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto& dialog = As<TfrmExport>(d);
            QTreeWidget* docs = dialog.DocList();
            QTreeWidget* files = dialog.FileList();
            emit docs->itemClicked(docs->topLevelItem(0), 0);
            emit docs->itemClicked(docs->topLevelItem(0), 0);  // listed twice
            TScriptedDialogs::Click(d, "btnSelectAll");
            emit files->itemClicked(files->topLevelItem(0), 0);  // removed
            for (int i = 0; i < files->topLevelItemCount(); ++i)
                chosen << files->topLevelItem(i)->text(0);
            dialog.FolderTree()->setCurrentItem(dialog.FolderTree()->topLevelItem(0)->child(0));
            for (int i = 0; i < docs->topLevelItemCount(); ++i)
                subList << docs->topLevelItem(i)->text(0);
            TScriptedDialogs::Click(d, "btnRemoveAll");
            afterRemoveAll = files->topLevelItemCount();
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munDocExport");
        QCOMPARE(chosen, (QStringList{"甲", "甲", "乙"}));
        QCOMPARE(subList, QStringList{"丙"});
        QCOMPARE(afterRemoveAll, 0);
    }

    void sameNamesAndUnsafeNamesStayInsideTheFolder_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("folderSuffix");
        QTest::newRow("two of one name") << QStringList{"同名", "同名"} << QStringList{"同名.txt", "同名 (2).txt"}
                                         << "";
        QTest::newRow("three of one name, trailing separator")
            << QStringList{"重", "重", "重"} << QStringList{"重.txt", "重 (2).txt", "重 (3).txt"} << "/";
        QTest::newRow("slash and dots") << QStringList{"上/下", "../逃"} << QStringList{"上_下.txt", ".._逃.txt"} << "";
        QTest::newRow("folder with blanks") << QStringList{"空 格"} << QStringList{"空 格.txt"} << "";
    }
    void sameNamesAndUnsafeNamesStayInsideTheFolder() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, files);
        QFETCH(QString, folderSuffix);
        TAppFixture f;
        QList<TSeedDoc> seeds;
        for (int i = 0; i < names.size(); ++i)
            seeds << TSeedDoc{names[i], QStringLiteral("第%1份").arg(i + 1)};
        f.OpenSeededLibrary(seeds);
        const QString out = f.Path("导 出");
        QDir().mkpath(out);
        WriteBytes(out + "/" + files[0], "existed before");  // replaced, as before
        f.dialogs.QueueDialog(ExportAll(f.dialogs, out + folderSuffix));
        f.Trigger("munDocExport");
        QStringList written = QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QStringList expected = files;
        expected.sort();
        written.sort();
        QCOMPARE(written, expected);
        QCOMPARE(QDir(f.Path("")).entryList({"*.txt"}, QDir::Files), QStringList());  // nothing outside
        // Each record's own text, in list order (the data layer lists by ID here).
        QStringList texts;
        for (const QString& file : files)
            texts << FromGB(ReadBytes(out + "/" + file));
        QStringList seededTexts;
        for (const TSeedDoc& seed : seeds)
            seededTexts << seed.text;
        texts.sort();
        seededTexts.sort();
        QCOMPARE(texts, seededTexts);
        const QString end = f.dialogs.Messages().back().text;
        QVERIFY(end.startsWith(QStringLiteral("已经完成对稿件的导出！")));
        for (const QString& file : files.mid(1))
            if (file.contains(" ("))
                QVERIFY2(end.contains(file), qPrintable(end));
    }

    void oneFailingFileDoesNotStopTheOthers_data() {
        QTest::addColumn<bool>("deleteRecord");
        QTest::newRow("a folder stands where the file goes") << false;
        QTest::newRow("the record was deleted after it was listed") << true;
    }
    void oneFailingFileDoesNotStopTheOthers() {
        QFETCH(bool, deleteRecord);
        TAppFixture f;
        f.OpenSeededLibrary(
            {{QStringLiteral("挡住"), QStringLiteral("一")}, {QStringLiteral("通过"), QStringLiteral("二")}});
        const QString out = f.Path("出口");
        QDir().mkpath(deleteRecord ? out : out + "/挡住.txt");
        f.dialogs.QueueDialog([&](QDialog& d) {
            f.dialogs.QueueFolderName(out);
            TScriptedDialogs::Click(d, "btnBrowse");
            TScriptedDialogs::Click(d, "btnSelectAll");
            if (deleteRecord)
                f.Data().DeleteSelectedDocs({ItemID(As<TfrmExport>(d).FileList()->topLevelItem(0))});
            TScriptedDialogs::Click(d, "btnExport");
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munDocExport");
        QCOMPARE(FromGB(ReadBytes(out + "/通过.txt")), QString("二"));
        QCOMPARE(QFileInfo(out + "/挡住.txt").isFile(), false);
        const TShownMessage end = f.dialogs.Messages().back();
        QVERIFY2(end.text.contains(QStringLiteral("1 个稿件未能导出")), qPrintable(end.text));
        QVERIFY(end.text.contains(QStringLiteral("挡住")));
        QCOMPARE(end.icon, 2);
    }

    void exportNeedsAFolderAndRecords_data() {
        QTest::addColumn<bool>("withPath");
        QTest::addColumn<bool>("withRecords");
        QTest::newRow("no folder") << false << true;
        QTest::newRow("no records") << true << false;
    }
    void exportNeedsAFolderAndRecords() {
        QFETCH(bool, withPath);
        QFETCH(bool, withRecords);
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("1")}});
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::SetText(d, "editPath", withPath ? f.Path("x") : QStringLiteral("  "));
            if (withRecords)
                TScriptedDialogs::Click(d, "btnSelectAll");
            TScriptedDialogs::Click(d, "btnExport");
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munDocExport");
        QVERIFY(f.dialogs.Messages().empty());
        QVERIFY(!QFileInfo::exists(f.Path("x")));
    }

    void missingExportFolderIsMade() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("1")}});
        const QString out = f.Path("新/更深");
        f.dialogs.QueueDialog(ExportAll(f.dialogs, out));
        f.Trigger("munDocExport");
        QCOMPARE(ReadBytes(out + "/甲.txt"), QByteArray("1"));
    }
};

QTEST_MAIN(TestExchangeCommands)
#include "tst_exchange_commands.moc"
