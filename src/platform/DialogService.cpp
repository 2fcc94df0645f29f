#include "platform/DialogService.h"

#include "platform/QtDialogService.h"

namespace {

TDialogService* g_installed = nullptr;

TDialogService& QtService() {
    static TQtDialogService service;
    return service;
}

}  // namespace

TDialogService& Dialogs() { return g_installed ? *g_installed : QtService(); }

void SetDialogService(TDialogService* service) { g_installed = service; }

int ShowMsgBox(const QString& text, const QString& caption, int icon, int style, int buttons) {
    return Dialogs().MessageBox(text, caption, icon, style, buttons);
}

QString InputPassword() { return Dialogs().InputPassword(); }
