// TCliDialogService: the dialog service qdb installs for the library layer,
// which reports user errors through message boxes and asks for passwords
// through a prompt. Message texts are remembered (a command reports the last
// one when the layer refuses something); the password prompt
// answers with the --password value; every other dialog is cancelled.
// Install it with TCliDialogScope for the life of a command.
#pragma once

#include <QString>
#include <QStringList>

#include "platform/DialogService.h"

class TCliDialogService : public TDialogService {
public:
    explicit TCliDialogService(QString password) : password_(std::move(password)) {}
    int MessageBox(const QString& text, const QString& caption, int icon, int style,
                   int buttons) override;
    QString InputPassword() override { return password_; }
    QString OpenFileName(const TFileDialogRequest&) override { return {}; }
    QStringList OpenFileNames(const TFileDialogRequest&) override { return {}; }
    QString SaveFileName(const TFileDialogRequest&) override { return {}; }
    QString FolderName(const QString&, const QString&) override { return {}; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> ChooseColor(const QColor&) override { return std::nullopt; }
    int ExecDialog(QDialog&) override;
    const QStringList& Messages() const { return messages_; }

private:
    QString password_;
    QStringList messages_;
};

class TCliDialogScope {
public:
    explicit TCliDialogScope(TCliDialogService& service) { SetDialogService(&service); }
    ~TCliDialogScope() { SetDialogService(nullptr); }
    TCliDialogScope(const TCliDialogScope&) = delete;
    TCliDialogScope& operator=(const TCliDialogScope&) = delete;
};
