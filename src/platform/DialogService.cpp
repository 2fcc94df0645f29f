#include "platform/DialogService.h"

#include "platform/QtDialogService.h"
#include "platform/Skin.h"

namespace {

TDialogService* g_installed = nullptr;

TDialogService& QtService() {
    static TQtDialogService service;
    return service;
}

}  // namespace

void TDialogService::Inform(const QString& text, const QString& caption, TMessageIcon icon) {
    MessageBox(text, caption, static_cast<int>(icon), g_Style, static_cast<int>(TMessageButtons::Ok));
}

void TDialogService::Warn(const QString& text, const QString& caption) { Inform(text, caption, TMessageIcon::Warning); }

bool TDialogService::Confirm(const QString& text, const QString& caption, TMessageIcon icon) {
    return MessageBox(text, caption, static_cast<int>(icon), g_Style, static_cast<int>(TMessageButtons::YesNo)) ==
           static_cast<int>(TAnswer::Yes);
}

TAnswer TDialogService::AskYesNoCancel(const QString& text, const QString& caption) {
    const int answer = MessageBox(text, caption, static_cast<int>(TMessageIcon::Information), g_Style,
                                  static_cast<int>(TMessageButtons::YesNoCancel));
    switch (answer) {
        case static_cast<int>(TAnswer::Yes):
            return TAnswer::Yes;
        case static_cast<int>(TAnswer::No):
            return TAnswer::No;
        default:
            return TAnswer::Cancel;
    }
}

TDialogService& InstalledDialogService() { return g_installed ? *g_installed : QtService(); }

void SetDialogService(TDialogService* service) { g_installed = service; }
