// The one place where the application asks the user something: message boxes,
// the library password prompt, common dialogs and the application's own modal
// dialogs. The installed service is a Qt implementation by default; tests
// install a scripted one that answers from a queue and records what was shown,
// so every command runs headless. The service is not owned by the caller of
// SetDialogService; passing nullptr restores the Qt implementation.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

// A file dialog request. `filter` uses the "描述|*.ext|描述2|*.a;*.b" form the
// commands write their filters in; the service converts it for Qt.
struct TFileDialogRequest {
    QString caption;
    QString filter;
    QString initialDir;
    QString fileName;     // preset file name
    QString defaultExt;   // without the dot; appended when the user types none
};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // icon 0 none, 1 information, 2 warning; buttons 1 = "确定", 2 = "是(&Y)"/"否(&N)".
    // Returns 1 for "确定"/"是(&Y)", 2 for "否(&N)" or closing the box.
    virtual int MessageBox(const QString& text, const QString& caption, int icon,
                           int style, int buttons) = 0;
    // The "打开稿件库" password prompt; empty when cancelled.
    virtual QString InputPassword() = 0;
    // Empty / empty list when cancelled.
    virtual QString OpenFileName(const TFileDialogRequest& request) = 0;
    virtual QStringList OpenFileNames(const TFileDialogRequest& request) = 0;
    virtual QString SaveFileName(const TFileDialogRequest& request) = 0;
    virtual QString FolderName(const QString& caption, const QString& initialDir) = 0;
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
    // Runs one of the application's modal dialogs, already built and filled
    // by its caller; returns QDialog::Accepted or QDialog::Rejected. A test
    // service fills the dialog's controls and accepts or rejects it instead.
    virtual int ExecDialog(QDialog& dialog) = 0;
};

TDialogService& Dialogs();
void SetDialogService(TDialogService* service);

// The shell helpers every subsystem uses; both go through Dialogs().
int ShowMsgBox(const QString& text, const QString& caption, int icon, int style, int buttons);
QString InputPassword();
