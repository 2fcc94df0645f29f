#include "app/commands/CommandSteps.h"

#include "platform/DialogService.h"
#include "platform/ErrorText.h"

namespace commandsteps {

void ShowUserError(TDialogService& dialogs, const EUserError& error) {
    dialogs.Inform(TranslatedText(error.Text()), TranslatedText(error.Caption()),
                   static_cast<TMessageIcon>(error.Icon()));
}

void ShowFailure(TDialogService& dialogs, const QString& message, const QString& caption) {
    dialogs.Warn(TranslatedText(message), caption);
}

// Engine and system messages are UTF-8 (file names in them included).
QString MessageOf(const std::exception& error) { return QString::fromUtf8(error.what()); }

}  // namespace commandsteps
