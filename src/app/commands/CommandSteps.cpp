#include "app/commands/CommandSteps.h"

#include "platform/DialogService.h"
#include "platform/ErrorText.h"
#include "platform/Skin.h"

namespace commandsteps {

void ShowUserError(const EUserError& error) {
    ShowMsgBox(TranslatedText(error.Text()), TranslatedText(error.Caption()), error.Icon(), g_Style, 1);
}

void ShowFailure(const QString& message, const QString& caption) {
    ShowMsgBox(TranslatedText(message), caption, 2, g_Style, 1);
}

// Engine and system messages are UTF-8 (file names in them included).
QString MessageOf(const std::exception& error) { return QString::fromUtf8(error.what()); }

}  // namespace commandsteps
