#include "app/commands/TSessionCommands.h"

#include "app/OpenRules.h"
#include "app/TAppContext.h"
#include "app/TBackupService.h"
#include "app/Trace.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"
#include "settings/RegConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <exception>

namespace {

// Runs one closing step; an error is shown and the caller goes on with the
// next step.
template <typename Step>
void RunClosingStep(TDialogService& dialogs, Step&& step) {
    try {
        step();
    } catch (const std::exception& error) {
        dialogs.Warn(QString::fromUtf8(error.what()), QCoreApplication::translate("TSessionCommands", "退出"));
    }
}

}  // namespace

TSessionCommands::TSessionCommands(TMainView& view, TAppContext& context, TManuscriptCommands& manuscripts,
                                   TLibraryCommands& library)
    : m_view(view), m_context(context), m_manuscripts(manuscripts), m_library(library) {}

void TSessionCommands::OpenAtStart(const QString& commandLine) {
    if (IsTextFileName(commandLine))
        m_manuscripts.OpenTextFile(commandLine);
    if (IsLibraryFileName(commandLine))
        m_library.OpenLibrary(commandLine);
    TqlvRegConfig& preferences = m_context.RegConfig();
    if (preferences.ReadAutoOpen() && !preferences.ReadLastDB().isEmpty())
        m_library.OpenLibrary(preferences.ReadLastDB());
    Trace(QStringLiteral("Ready"));
}

void TSessionCommands::OpenHandedOver(const QString& name) {
    Trace(QStringLiteral("PassParams: ") + name);
    m_view.BringToFront();
    if (name.isEmpty())
        return;
    const QFileInfo file(name);
    if (file.exists() && IsTextFileName(name))
        m_manuscripts.OpenTextFile(name);
    if (file.exists() && IsLibraryFileName(name))
        m_library.OpenLibrary(name);
}

void TSessionCommands::OpenDropped(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    const QString& path = paths.first();
    Trace(QStringLiteral("DropFiles: ") + path);
    if (IsLibraryFileName(path))
        m_library.OpenLibrary(path);
    else if (IsTextFileName(path))
        m_manuscripts.OpenTextFile(path);
    else
        m_context.Dialogs().Inform(QCoreApplication::translate("TSessionCommands", "文件不为可接受格式!"),
                                   QCoreApplication::translate("TSessionCommands", "打开"));
}

void TSessionCommands::OpenLibrary(const QString& path) { m_library.OpenLibrary(path); }

// 取消 at the save prompt keeps the window open with its text; an error of
// the prompt itself does not stop closing.
bool TSessionCommands::MayClose() {
    bool cancelled = false;
    RunClosingStep(m_context.Dialogs(), [&] {
        cancelled = !m_manuscripts.SavePrompt(QCoreApplication::translate("TSessionCommands", "退出"));
    });
    return !cancelled;
}

void TSessionCommands::CloseLibraries() {
    RunClosingStep(m_context.Dialogs(), [this] {
        TqlvDocData& data = m_context.DocData();
        if (data.Opened() && m_context.RegConfig().ReadDBFlags().AutoCompress)
            data.CompressDocData();
    });
    RunClosingStep(m_context.Dialogs(), [this] { m_context.Backups().Finish(); });
    RunClosingStep(m_context.Dialogs(), [this] { m_context.Documents().CompressDocuments(); });
}
