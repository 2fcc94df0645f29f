// Template part of CommandSteps.h.
#include "editor/TqlvEditor.h"
#include "library/UserError.h"

namespace commandsteps {

template <typename Step>
bool RunStep(const QString& caption, Step&& step) {
    try {
        step();
        return true;
    } catch (const EUserError& error) {
        ShowUserError(error);
    } catch (const EEditorError& error) {
        ShowFailure(error.Message(), caption);
    } catch (const std::exception& error) {
        ShowFailure(MessageOf(error), caption);
    }
    return false;
}

}  // namespace commandsteps
