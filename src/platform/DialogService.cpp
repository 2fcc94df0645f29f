#include "platform/DialogService.h"

#include "platform/QtDialogService.h"
#include "platform/Skin.h"

namespace {

TDialogService* g_installed = nullptr;

}  // namespace

TQtDialogService& DefaultDialogService() {
    static TQtDialogService service;
    return service;
}

int TDialogService::SkinStyle() const {
    const TSkin* skin = Skin();
    return skin ? skin->Style() : 0;
}

void TDialogService::Inform(const QString& text, const QString& caption, TMessageIcon icon) {
    MessageBox(text, caption, static_cast<int>(icon), SkinStyle(), static_cast<int>(TMessageButtons::Ok));
}

void TDialogService::Warn(const QString& text, const QString& caption) { Inform(text, caption, TMessageIcon::Warning); }

bool TDialogService::Confirm(const QString& text, const QString& caption, TMessageIcon icon) {
    return MessageBox(text, caption, static_cast<int>(icon), SkinStyle(), static_cast<int>(TMessageButtons::YesNo)) ==
           static_cast<int>(TAnswer::Yes);
}

TAnswer TDialogService::AskYesNoCancel(const QString& text, const QString& caption) {
    const int answer = MessageBox(text, caption, static_cast<int>(TMessageIcon::Information), SkinStyle(),
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

TDialogService& InstalledDialogService() { return g_installed ? *g_installed : DefaultDialogService(); }

void SetDialogService(TDialogService* service) { g_installed = service; }
