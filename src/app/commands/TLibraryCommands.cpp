#include "app/commands/TLibraryCommands.h"

#include "app/TAppContext.h"
#include "app/Trace.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/dialogs/TfrmCreatDocData.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "settings/RegConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <utility>

using commandsteps::RunStep;

namespace {

const char kOpenCaption[] = QT_TRANSLATE_NOOP("Commands", "打开稿件库");  // translated where shown

}  // namespace

TLibraryCommands::TLibraryCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts)
    : m_main(main), m_context(context), m_manuscripts(manuscripts) {}

// The data layer's open with the password asked through the dialog service;
// what goes wrong is shown here. A name that is no file is reported too: the
// data layer declines it without a word.
std::optional<QString> TLibraryCommands::KnownPassword(const QString& path) const {
    const auto found = m_knownPasswords.constFind(QFileInfo(path).absoluteFilePath());
    return found == m_knownPasswords.constEnd() ? std::nullopt : std::optional<QString>(*found);
}

void TLibraryCommands::RememberPassword(const QString& path, const QString& password) {
    m_knownPasswords.insert(QFileInfo(path).absoluteFilePath(), password);
}

// Opens with the offered password first (given or known), then asks the
// user; a wrong typed password is asked again, three times in all. The last
// failure, or an empty answer (cancelled), goes on to the caller.
void TLibraryCommands::OpenWithRetries(const QString& path, std::optional<QString> offered, bool* opened) {
    constexpr int kTries = 3;
    TDialogService& dialogs = m_context.Dialogs();
    for (int typed = 0;;) {
        bool asked = false;
        bool fromUser = false;
        QString used;
        const auto prompt = [&] {
            asked = true;
            fromUser = !offered;
            used = offered ? *std::exchange(offered, std::nullopt) : dialogs.InputPassword();
            typed += fromUser ? 1 : 0;
            return used;
        };
        try {
            *opened = m_context.DocData().OpenDocData(path, prompt);
        } catch (const EUserError&) {
            const bool cancelled = fromUser && used.isEmpty();
            if (asked && !cancelled && typed < kTries)
                continue;  // a wrong password: ask (again)
            throw;
        }
        if (*opened && asked)
            RememberPassword(path, used);
        return;
    }
}

// The data layer's open with the password asked through the dialog service;
// what goes wrong is shown here. A name that is no file is reported too: the
// data layer declines it without a word.
bool TLibraryCommands::OpenDocData(const QString& path, const std::optional<QString>& password) {
    if (path.isEmpty())
        return false;
    if (!QFileInfo(path).isFile()) {
        commandsteps::ShowFailure(m_context.Dialogs(),
                                  QCoreApplication::translate("TLibraryCommands", "找不到稿件库文件：") + path,
                                  QCoreApplication::translate("Commands", kOpenCaption));
        return false;
    }
    bool opened = false;
    const bool ran = RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kOpenCaption), [&] {
        try {
            OpenWithRetries(path, password ? password : KnownPassword(path), &opened);
        } catch (const EUserError&) {
            throw;
        } catch (const std::exception& error) {
            throw EUserError(QCoreApplication::translate("TLibraryCommands", "无法打开稿件库：") + path +
                                 QLatin1Char('\n') + commandsteps::MessageOf(error),
                             QCoreApplication::translate("Commands", kOpenCaption), 2);
        }
    });
    return ran && opened;
}

// The window's switch between library and no library, and the writing
// progress of what is open now.
void TLibraryCommands::ShowLibraryState() {
    m_main.UpdateLibraryState();
    m_manuscripts.ShowWritingProgress();
}

void TLibraryCommands::ShowNoLibrary() {
    m_main.Editor()->Reset(true);
    m_manuscripts.SetCurrentFile(QString());
    m_main.ClearLibraryViews();
    ShowLibraryState();
}

bool TLibraryCommands::OpenLibrary(const QString& path, const std::optional<QString>& password) {
    Trace(QStringLiteral("OpenLibrary: ") + path);
    if (!m_manuscripts.CloseManuscript())
        return false;  // the user kept the changed text: nothing opened
    const bool opened = OpenDocData(path, password);
    if (m_context.DocData().Opened()) {
        // The new library, or the one that was open when the new one was missing.
        m_main.LoadLibraryViews();
        ShowLibraryState();
    } else {
        ShowNoLibrary();
    }
    m_context.RegConfig().WriteLastDB(path);
    return opened;
}

bool TLibraryCommands::ShowCreateDocData(QString* fileName) {
    TfrmCreatDocData dialog(m_context.Dialogs(), m_main.Window());
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return false;
    const TCreateLibraryRequest request = dialog.Request();
    // A writer's first library goes to a documents folder that may not be made yet.
    if (QFileInfo(request.FileName).absolutePath() == QDir::cleanPath(TfrmCreatDocData::DocumentsFolder()))
        QDir().mkpath(TfrmCreatDocData::DocumentsFolder());
    TqlvDocData& data = m_context.DocData();
    QString created;
    bool ok = false;
    RunStep(m_context.Dialogs(), QCoreApplication::translate("TLibraryCommands", "新建稿件库"), [&] {
        ok = data.CreateDocData(request.FileName, request.Comment, request.Password, true, request.Encrypt,
                                request.Crc32, request.LevelIndex, &created);
    });
    if (!ok) {
        // Refused before anything changed: the library that was open stays.
        // Failed while creating: the half-made file is not left connected.
        if (!data.Opened())
            data.CloseDocData();
        return false;
    }
    data.AddToDBCenter(created);
    if (request.Encrypt)
        RememberPassword(created, request.Password);  // just set: not asked again
    *fileName = created;
    return true;
}

void TLibraryCommands::munDocBaseClick() {
    // Unsaved text is offered for saving while it still has its home: once
    // the new library is open, Save would no longer write it anywhere.
    TManuscriptCommands& manuscripts = m_manuscripts;
    if (!manuscripts.SavePrompt(QCoreApplication::translate("TLibraryCommands", "新建稿件库")))
        return;
    const bool hadLibrary = m_context.DocData().Opened();
    QString fileName;
    if (!ShowCreateDocData(&fileName)) {
        if (hadLibrary && !m_context.DocData().Opened())
            ShowNoLibrary();  // creating had closed the library that was open
        return;
    }
    m_main.Editor()->SetModified(false);  // the user has answered the prompt
    if (!OpenDocData(fileName)) {
        ShowNoLibrary();
        return;
    }
    m_main.LoadLibraryViews();
    ShowLibraryState();
    manuscripts.CloseManuscript();
}

void TLibraryCommands::munDocOpenBaseClick() {
    TFileDialogRequest request;
    request.caption = QCoreApplication::translate("Commands", kOpenCaption);
    request.filter = QCoreApplication::translate("TLibraryCommands", "稿件库(*.qdb)|*.qdb");
    request.defaultExt = QStringLiteral("qdb");
    const QString path = m_context.Dialogs().OpenFileName(request);
    if (!path.isEmpty())
        OpenLibrary(path);
}

void TLibraryCommands::munDocCloseBaseClick() {
    // Closing drops the editor's text: offer to save it first.
    if (!m_manuscripts.SavePrompt(QCoreApplication::translate("TLibraryCommands", "关闭稿件库")))
        return;
    m_context.DocData().CloseDocData();
    ShowNoLibrary();
}
