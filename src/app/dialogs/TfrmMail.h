// TfrmMail, the "发送邮件" dialog: one recipient, subject, attachments and a
// plain-text body, sent with the mail preferences of the registry
// (ReadMailConfig) through its own TSmtpClient.
//
// Sending runs on a worker thread: the window keeps painting, the cursor is
// busy and "取消" stops the transfer. A refusal is shown with the server's
// reply; nothing is reported as sent unless the server took it. When the
// server wants a login the dialog asks for the password of the preference
// `User`; the password lives only as long as the dialog.
//
// Modal; created by the command that shows it, which fills subject, body and
// attachments first. It owns its controls (the public pointers are for the
// caller and tests) and its client; closing it while sending cancels and
// waits for the worker.
#pragma once

#include "settings/RegConfig.h"
#include "tools/mail/TSmtpClient.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <thread>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class TDialogService;

class TfrmMail : public QDialog {
    Q_OBJECT
public:
    TfrmMail(TDialogService& dialogs, TqlvRegConfig& regConfig, QWidget* parent = nullptr);
    ~TfrmMail() override;

    void SetSubject(const QString& subject);
    // The editor's text (CR LF line breaks); the memo keeps LF.
    void SetContent(const QString& text);
    void AddAttachment(const QString& path);
    QStringList AttachmentPaths() const;
    bool Sending() const { return m_worker.joinable(); }
    // Extra trusted certificates for the server (tests with their own CA).
    void SetCaFile(const QString& path) { m_caFile = path; }

    QLineEdit* editMailTo = nullptr;
    QLineEdit* editSubject = nullptr;
    QListWidget* listAttach = nullptr;
    QPlainTextEdit* memoContent = nullptr;
    QPushButton* btnSend = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lblState = nullptr;

signals:
    // After every send attempt that got as far as the server: true when the
    // server took the message.
    void SendFinished(bool sent);

public slots:
    void btnSendClick();
    void btnAddClick();
    void btnCloseClick();
    void btnCancelClick();
    void listAttachClick(QListWidgetItem* item);

protected:
    void reject() override;

private:
    TDialogService& m_dialogs;
    void BuildControls();
    std::optional<TMailConfig> PrepareSettings();
    void StartSending(TMailMessage message);
    void SendDone(TMailMessage message, std::shared_ptr<ESmtpError> error);
    void ShowFailure(const ESmtpError& error);
    bool AskPassword();
    void SetBusy(bool busy);
    void JoinWorker();
    void StopSending();

    TqlvRegConfig& m_reg;
    TSmtpClient m_client;
    QString m_password;
    QString m_caFile;
    std::thread m_worker;
    bool m_busy = false;
    bool m_dropResult = false;  // the dialog stopped the send; ignore its result
};
