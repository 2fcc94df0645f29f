#include "cli/CliDialogs.h"

#include <QDialog>

int TCliDialogService::MessageBox(const QString& text, const QString&, int, int, int buttons) {
    messages_.push_back(text);
    // A yes/no question is answered "no": the tool never agrees to anything unasked.
    return buttons == 2 ? 2 : 1;
}

int TCliDialogService::ExecDialog(QDialog&) { return QDialog::Rejected; }
