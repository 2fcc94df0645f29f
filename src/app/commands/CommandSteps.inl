// Template part of CommandSteps.h.
#include "editor/TqlvEditor.h"
#include "library/UserError.h"

namespace commandsteps {

template <typename Step>
bool RunStep(TDialogService& dialogs, const QString& caption, Step&& step) {
    try {
        step();
        return true;
    } catch (const EUserError& error) {
        ShowUserError(dialogs, error);
    } catch (const EEditorError& error) {
        ShowFailure(dialogs, error.Message(), caption);
    } catch (const std::exception& error) {
        ShowFailure(dialogs, MessageOf(error), caption);
    }
    return false;
}

}  // namespace commandsteps
