#include "app/HelpLinks.h"

#include "platform/AppPaths.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrlQuery>

namespace {

void OpenOrComplain(TDialogService& dialogs, const QUrl& url) {
    if (!QDesktopServices::openUrl(url))
        dialogs.Warn(QCoreApplication::translate("HelpLinks", "无法打开“%1”。").arg(url.toDisplayString()),
                     QStringLiteral("Quillora"));
}

}  // namespace

QStringList HelpFolders() { return QStringList{AppPath()} + SharedDataFolders(); }

QString FindHelpFile(const QStringList& folders) {
    const QString chinese = QString::fromUtf8(kHelpFileName);
    const QString own = QCoreApplication::translate("HelpLinks", kHelpFileName);
    for (const QString& name : {own, chinese}) {
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(name);
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

QUrl ErrorReportUrl() {
    QUrl url(QStringLiteral("mailto:") + QLatin1String(kSupportMail));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       QCoreApplication::translate("HelpLinks", "QuilloraVer1.2 Plus错误反馈"));
    query.addQueryItem(QStringLiteral("body"),
                       QCoreApplication::translate("HelpLinks", "1.用户名称;2.使用的操作系统;3.错误报告;"));
    url.setQuery(query);
    return url;
}

void OpenHelpTopic(TDialogService& dialogs) {
    const QString path = FindHelpFile(HelpFolders());
    if (path.isEmpty()) {
        dialogs.Warn(QCoreApplication::translate("HelpLinks", "找不到帮助文件“%1”。")
                         .arg(AppPath() + QString::fromUtf8(kHelpFileName)),
                     QCoreApplication::translate("HelpLinks", "帮助主题"));
        return;
    }
    OpenOrComplain(dialogs, QUrl::fromLocalFile(path));
}

void OpenHomePage(TDialogService& dialogs) { OpenOrComplain(dialogs, QUrl(QLatin1String(kHomePageUrl))); }
void OpenErrorReport(TDialogService& dialogs) { OpenOrComplain(dialogs, ErrorReportUrl()); }
void OpenGuestBook(TDialogService& dialogs) { OpenOrComplain(dialogs, QUrl(QLatin1String(kGuestBookUrl))); }
