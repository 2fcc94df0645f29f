// TTomeDBLoginForm: the engine's login dialog ("稿件库密码"), asked when
// a table needs an encrypted database that has no accepted password (for
// example when another library's attributes are read). TQtDBLogin is the
// engine login handler that shows it through the dialog service; the
// application installs one for its whole life. Only "OK" returns a password.
#pragma once

#include "tomedb/TomeDB.h"

#include <QDialog>

class QLineEdit;
class TDialogService;

class TTomeDBLoginForm : public QDialog {
    Q_OBJECT
public:
    explicit TTomeDBLoginForm(const QString& databaseName, QWidget* parent = nullptr);
    QString Password() const;

private:
    QLineEdit* m_databaseEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
};

// The engine's login through the dialog service it is made with.
class TQtDBLogin : public tomedb::TTomeDBLogin {
public:
    explicit TQtDBLogin(TDialogService& dialogs) : m_dialogs(dialogs) {}
    std::optional<std::string> Login(const std::string& fileName) override;

private:
    TDialogService& m_dialogs;
};
