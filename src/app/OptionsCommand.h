// The 首选项 command: reads the preferences, runs TfrmOption modally through
// the dialog service and stores what it returns when accepted. Ticking or
// unticking the two association boxes registers or removes them at once;
// opening the dialog with either already set writes it again (so a moved
// executable is registered anew). Changes reach the editor and the auto-save
// timer at the next start. Returns true when the dialog was accepted.
#pragma once

class QWidget;
class TDialogService;
class TqlvRegConfig;

bool RunOptionsDialog(TDialogService& dialogs, TqlvRegConfig& config, QWidget* parent);
