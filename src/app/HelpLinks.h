// The addresses and texts of the 帮助 menu, and the commands behind it. Every
// address opens through QDesktopServices, so the user's default browser or
// mail program takes it (tests catch the schemes with setUrlHandler).
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;
class TDialogService;

// The Chinese help page; the translation names the page in the interface's
// language (help-en.html for English), which is looked for first.
inline constexpr char kHelpFileName[] = QT_TRANSLATE_NOOP("HelpLinks", "帮助主题.html");
// The project's addresses; the domain is the one reserved for examples until
// the project has a site of its own.
inline constexpr char kHomePageUrl[] = "https://quillora.example.org/";
inline constexpr char kGuestBookUrl[] = "https://quillora.example.org/guestbook";
inline constexpr char kSupportMail[] = "support@quillora.example.org";

// The first of the folders holding the help page in the interface's language,
// else the first holding the Chinese page; empty when none does.
QString FindHelpFile(const QStringList& folders);
// AppPath(), then the folders the page is shipped in (beside the executable
// in the build tree, the shared folder when installed).
QStringList HelpFolders();
// mailto: address of the error report, with its subject and body.
QUrl ErrorReportUrl();

// The commands. OpenHelpTopic shows a message naming the page when it is
// missing or no program opens it.
void OpenHelpTopic(TDialogService& dialogs);
void OpenHomePage(TDialogService& dialogs);
void OpenErrorReport(TDialogService& dialogs);
void OpenGuestBook(TDialogService& dialogs);
