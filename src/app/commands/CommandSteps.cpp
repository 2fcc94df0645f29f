#include "app/commands/CommandSteps.h"

#include "platform/DialogService.h"

namespace commandsteps {

void ShowUserError(TDialogService& dialogs, const EUserError& error) {
    dialogs.Inform(error.Text(), error.Caption(), static_cast<TMessageIcon>(error.Icon()));
}

void ShowFailure(TDialogService& dialogs, const QString& message, const QString& caption) {
    dialogs.Warn(message, caption);
}

// Engine and system messages are UTF-8 (file names in them included).
QString MessageOf(const std::exception& error) { return QString::fromUtf8(error.what()); }

}  // namespace commandsteps
