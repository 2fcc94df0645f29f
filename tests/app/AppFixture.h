// Shared fixture of the command tests: a started application (not shown) with
// scripted dialogs, and helpers to make library files and read the window.
#pragma once

#include "app/TAppContext.h"
#include "app/TQuilloraApp.h"
#include "app/TStatusPanels.h"
#include "app/TfrmMain.h"
#include "app/ViewFill.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TMainCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/AppPaths.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

// One manuscript of a library made for a test.
struct TSeedDoc {
    QString name;
    QString text;
};

class TAppFixture {
public:
    TAppFixture() {
        QFile::remove(AppPath() + "Config.ini");
        m_app = std::make_unique<TQuilloraApp>(QStringList{"quillora"});
        m_app->Startup();
    }

    TfrmMain& Main() const { return *m_app->MainWindow(); }
    TMainCommands& Commands() const { return *m_app->Commands(); }
    TAppContext& Context() const { return *m_app->Context(); }
    TqlvEditor& Editor() const { return *Main().Editor(); }
    TqlvDocData& Data() const { return Context().DocData(); }
    QString Panel(int index) const { return Main().StatusPanels()->PanelText(index); }
    void Trigger(const char* action) const { Main().Action(QString::fromLatin1(action))->trigger(); }
    QString Path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }

    // A library file with the given manuscripts in its top folder; returns
    // its path. The fixture's application has nothing open afterwards.
    QString MakeLibrary(const QString& name, const QList<TSeedDoc>& docs = {}, const QString& password = QString()) {
        TqlvDocData maker;
        QString file;
        maker.CreateDocData(Path(name), QStringLiteral("测试"), password, true, !password.isEmpty(), false, 2, &file);
        maker.CloseDocData();
        maker.OpenDocData(file, [&] { return password; });
        for (const TSeedDoc& doc : docs) {
            TDocAttr attr;
            attr.DocName = doc.name;
            attr.Txt = doc.text;
            maker.AddDoc(0, attr);
        }
        maker.CloseDocData();
        return file;
    }

    // Opens a library made by MakeLibrary (no password asked).
    QString OpenSeededLibrary(const QList<TSeedDoc>& docs) {
        const QString file = MakeLibrary(QStringLiteral("库"), docs);
        Commands().Library().OpenLibrary(file);
        return file;
    }

    QTreeWidgetItem* DocItem(const QString& caption) const {
        const QList<QTreeWidgetItem*> found = Main().DocList()->findItems(caption, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    void SelectDoc(const QString& caption) const {
        QTreeWidget* list = Main().DocList();
        list->clearSelection();
        QTreeWidgetItem* item = DocItem(caption);
        list->setCurrentItem(item);
        item->setSelected(true);
    }
    // The manuscript's stored text, read through a handle of its own on a
    // library the application has closed.
    QString StoredText(const QString& file, int id) const {
        TqlvDocData reader;
        reader.OpenDocData(file);
        return reader.LoadDocText(id);
    }

    TScriptedDialogs dialogs;  // installed before the application starts

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TQuilloraApp> m_app;
};
