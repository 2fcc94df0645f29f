#include "app/TQuilloraApplication.h"

#include "platform/DialogService.h"
#include "platform/ErrorText.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <exception>

TQuilloraApplication::TQuilloraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TQuilloraApplication::ShowError(const QString& message) {
    // An error no command caught: there is no context to ask through here.
    InstalledDialogService().Warn(TranslatedText(message), QString::fromLatin1(kInstanceName));
}

bool TQuilloraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QCoreApplication::translate("TQuilloraApplication", "未知错误"));
    }
    return false;
}
