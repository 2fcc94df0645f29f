// TTomeDBLoginForm: the engine's login dialog ("稿件库密码"), asked when
// a table needs an encrypted database that has no accepted password (for
// example when another library's attributes are read). TQtDBLogin is the
// engine login handler that shows it through the dialog service; the
// application installs one for its whole life. Only "OK" returns a password.
#pragma once

#include "tomedb/TomeDB.h"

#include <QDialog>

class QLineEdit;

class TTomeDBLoginForm : public QDialog {
    Q_OBJECT
public:
    explicit TTomeDBLoginForm(const QString& databaseName, QWidget* parent = nullptr);
    QString Password() const;

private:
    QLineEdit* DatabaseEdit = nullptr;
    QLineEdit* PasswordEdit = nullptr;
};

class TQtDBLogin : public tomedb::TTomeDBLogin {
public:
    std::optional<std::string> Login(const std::string& fileName) override;
};
