// How a command runs a step that can fail: a failure the user caused
// (EUserError), a file or printer failure of the editor (EEditorError), an
// engine error (a damaged file, a full disk, a read-only library) or any other
// error ends the step with its message in a box, and the command goes on or
// stops as its caller decides. The window stays usable and nothing the user
// typed is dropped by the failure itself.
#pragma once

#include <QString>
#include <exception>

class EUserError;
class TDialogService;

namespace commandsteps {

void ShowUserError(TDialogService& dialogs, const EUserError& error);
void ShowFailure(TDialogService& dialogs, const QString& message, const QString& caption);
QString MessageOf(const std::exception& error);

// Runs step(); true when it returned, false (after the message, shown
// through dialogs) when it threw.
template <typename Step>
bool RunStep(TDialogService& dialogs, const QString& caption, Step&& step);

}  // namespace commandsteps

#include "app/commands/CommandSteps.inl"
