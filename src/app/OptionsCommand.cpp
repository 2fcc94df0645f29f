#include "app/OptionsCommand.h"

#include "app/dialogs/TfrmOption.h"
#include "platform/DialogService.h"
#include "settings/InputMethods.h"
#include "settings/OptionValues.h"

#include <QFontDatabase>

bool RunOptionsDialog(TDialogService& dialogs, TqlvRegConfig& config, QWidget* parent) {
    const TOptionValues stored = ReadOptions(config);
    TfrmOption dialog(dialogs, InstalledInputMethods(), QFontDatabase::families(), parent);
    dialog.SetValues(stored);
    QObject::connect(&dialog, &TfrmOption::QdbAssociationToggled, &dialog, [&config](bool on) {
        if (on)
            config.RegisterQdb();
        else
            config.UnregisterQdb();
    });
    QObject::connect(&dialog, &TfrmOption::TxtVerbToggled, &dialog, [&config](bool on) {
        if (on)
            config.RegisterTxtVerb();
        else
            config.UnregisterTxtVerb();
    });
    if (stored.assQDB)
        config.RegisterQdb();
    if (stored.assPop)
        config.RegisterTxtVerb();
    if (dialogs.ExecDialog(dialog) != QDialog::Accepted)
        return false;
    WriteOptions(config, dialog.Values());
    return true;
}
