// The one place where the application asks the user something: message boxes,
// the library password prompt, common dialogs and the application's own modal
// dialogs. The installed service is a Qt implementation by default; tests
// install a scripted one that answers from a queue and records what was shown,
// so every command runs headless. The service is not owned by the caller of
// SetDialogService; passing nullptr restores the Qt implementation.
//
// The Qt service draws in the skin the application context gives it
// (DefaultDialogService().DrawIn); without one, its boxes and dialogs keep the
// application's look.
//
// The application layer reaches the service through its context
// (TAppContext::Dialogs()) or the reference a dialog is made with; only that
// context and the widgets below the application layer (editor, tools), which
// have no context, read InstalledDialogService().
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;
class TSkin;

// What a message box shows beside its text.
enum class TMessageIcon { None = 0, Information = 1, Warning = 2 };
// The buttons of a message box: "确定"; "是(&Y)"/"否(&N)"; "是(&Y)"/"否(&N)"/"取消".
enum class TMessageButtons { Ok = 1, YesNo = 2, YesNoCancel = 3 };
// The answer to a question. Closing the box or Escape answers No on a yes/no
// box and Cancel on a yes/no/cancel box.
enum class TAnswer { Yes = 1, No = 2, Cancel = 3 };

// A file dialog request. `filter` uses the "描述|*.ext|描述2|*.a;*.b" form the
// commands write their filters in; the service converts it for Qt.
struct TFileDialogRequest {
    QString caption;
    QString filter;
    QString initialDir;
    QString fileName;    // preset file name
    QString defaultExt;  // without the dot; appended when the user types none
};

class TDialogService {
public:
    virtual ~TDialogService() = default;

    // The skin the service draws its boxes and dialogs in; null when it has
    // none (they keep the application's look).
    virtual const TSkin* Skin() const { return nullptr; }

    // The named questions and notices; each draws in the service's skin.
    // A notice with one "确定" button (information icon unless told otherwise).
    void Inform(const QString& text, const QString& caption, TMessageIcon icon = TMessageIcon::Information);
    // A notice with the warning icon.
    void Warn(const QString& text, const QString& caption);
    // "是(&Y)"/"否(&N)"; true for 是.
    bool Confirm(const QString& text, const QString& caption, TMessageIcon icon = TMessageIcon::Information);
    // "是(&Y)"/"否(&N)"/"取消" with the information icon.
    TAnswer AskYesNoCancel(const QString& text, const QString& caption);

    // The box behind the named calls: icon and buttons as the enums above
    // number them, style the skin to draw in. Returns the TAnswer's number
    // (1 for "确定").
    virtual int MessageBox(const QString& text, const QString& caption, int icon, int style, int buttons) = 0;
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

private:
    // The style the named calls pass to MessageBox: the skin's, else 0.
    int SkinStyle() const;
};

// The service in use: the Qt one unless a test installed its own.
TDialogService& InstalledDialogService();
void SetDialogService(TDialogService* service);
