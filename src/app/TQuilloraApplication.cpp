#include "app/TQuilloraApplication.h"

#include "platform/DialogService.h"
#include "platform/ErrorText.h"
#include "platform/SingleInstance.h"
#include "platform/Skin.h"

#include <exception>
#include <QCoreApplication>

TQuilloraApplication::TQuilloraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TQuilloraApplication::ShowError(const QString& message) {
    ShowMsgBox(TranslatedText(message), QString::fromLatin1(kInstanceName), 2, g_Style, 1);
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
