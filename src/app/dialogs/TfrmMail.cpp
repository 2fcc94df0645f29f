#include "app/dialogs/TfrmMail.h"

#include "app/dialogs/DialogParts.h"
#include "platform/DialogService.h"
#include "settings/RegConfig.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Translated when used: a translator is installed after static initialisation.
const char kCaption[] = QT_TRANSLATE_NOOP("TfrmMail", "发送邮件");

QPushButton* NamedButton(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);  // Enter in the body inserts a line break
    return button;
}

}  // namespace

TfrmMail::TfrmMail(TDialogService& dialogs, TqlvRegConfig& regConfig, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_reg(regConfig) {
    setObjectName(QStringLiteral("frmMail"));
    setWindowTitle(tr(kCaption));
    BuildControls();
    connect(btnSend, &QPushButton::clicked, this, &TfrmMail::btnSendClick);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmMail::btnAddClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmMail::btnCloseClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMail::btnCancelClick);
    connect(listAttach, &QListWidget::itemClicked, this, &TfrmMail::listAttachClick);
}

TfrmMail::~TfrmMail() { StopSending(); }

// Cancels a running send and waits for its worker; its result is dropped.
void TfrmMail::StopSending() {
    if (!Sending())
        return;
    m_client.Cancel();
    JoinWorker();
    m_dropResult = true;
    SetBusy(false);
}

void TfrmMail::BuildControls() {
    editMailTo = NamedEdit("editMailTo");
    editSubject = NamedEdit("editSubject");
    listAttach = new QListWidget;
    listAttach->setObjectName(QStringLiteral("listAttach"));
    listAttach->setMaximumHeight(80);
    listAttach->setToolTip(tr("单击附件可将其移除"));
    memoContent = new QPlainTextEdit;
    memoContent->setObjectName(QStringLiteral("memoContent"));
    auto* rows = new QFormLayout;
    AddRow(rows, tr("收件人："), editMailTo);
    AddRow(rows, tr("主题："), editSubject);
    AddRow(rows, tr("附件："), listAttach);
    AddRow(rows, tr("内容："), memoContent);

    btnSend = NamedButton(tr("发送邮件(&S)"), "btnSend");
    btnAdd = NamedButton(tr("添加附件(&A)"), "btnAdd");
    btnCancel = NamedButton(tr("取消"), "btnCancel");
    btnCancel->setEnabled(false);
    btnClose = NamedButton(tr("关闭(&C)"), "btnClose");
    lblState = new QLabel;
    lblState->setObjectName(QStringLiteral("lblState"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblState, 1);
    for (QPushButton* button : {btnSend, btnAdd, btnCancel, btnClose})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows, 1);
    layout->addLayout(buttons);
    resize(520, 420);
}

void TfrmMail::SetSubject(const QString& subject) { editSubject->setText(subject); }

void TfrmMail::SetContent(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memoContent->setPlainText(lines);
}

void TfrmMail::AddAttachment(const QString& path) { listAttach->addItem(path); }

QStringList TfrmMail::AttachmentPaths() const {
    QStringList paths;
    for (int i = 0; i < listAttach->count(); ++i)
        paths << listAttach->item(i)->text();
    return paths;
}

void TfrmMail::listAttachClick(QListWidgetItem* item) {
    if (!Sending())
        delete item;
}

void TfrmMail::btnAddClick() {
    TFileDialogRequest request;
    request.caption = tr("添加附件");
    request.filter = tr("所有文件 (*.*)|*");
    const QString path = m_dialogs.OpenFileName(request);
    if (!path.isEmpty())
        AddAttachment(path);
}

void TfrmMail::btnCloseClick() { reject(); }

void TfrmMail::btnCancelClick() { m_client.Cancel(); }

void TfrmMail::reject() {
    StopSending();
    QDialog::reject();
}

// Configures the client from the preferences and returns them; nothing
// (after the message) when one of them is missing.
std::optional<TMailConfig> TfrmMail::PrepareSettings() {
    const TMailConfig config = m_reg.ReadMailConfig();
    if (config.Server.isEmpty() || config.Port.isEmpty() || config.User.isEmpty() || config.FromAddress.isEmpty() ||
        config.FromName.isEmpty()) {
        m_dialogs.Inform(tr("请先在“选项”配置发送邮件选项！"), tr(kCaption), TMessageIcon::None);
        return std::nullopt;
    }
    TSmtpSettings settings;
    settings.Host = config.Server.trimmed();
    bool ok = false;
    settings.Port = config.Port.trimmed().toInt(&ok);
    if (!ok)
        settings.Port = 0;  // refused by the client as a server it cannot reach
    settings.ClientName = config.User;
    settings.User = config.User;
    settings.Password = m_password;
    settings.CaFile = m_caFile;
    m_client.Configure(settings);
    return config;
}

void TfrmMail::btnSendClick() {
    if (Sending())
        return;
    if (editMailTo->text().trimmed().isEmpty() || editSubject->text().isEmpty()) {
        m_dialogs.Inform(tr("请填写收件人地址和邮件主题！"), tr(kCaption));
        return;
    }
    const std::optional<TMailConfig> config = PrepareSettings();
    if (!config)
        return;
    TMailMessage message;
    message.FromAddress = config->FromAddress.trimmed();
    message.FromName = config->FromName;
    message.Subject = editSubject->text();
    message.Recipients << editMailTo->text().trimmed();
    message.Attachments = AttachmentPaths();
    message.Body = memoContent->toPlainText().split(QLatin1Char('\n'));
    StartSending(std::move(message));
}

void TfrmMail::StartSending(TMailMessage message) {
    m_dropResult = false;
    SetBusy(true);
    m_worker = std::thread([this, message = std::move(message)]() mutable {
        std::shared_ptr<ESmtpError> error;
        TMailMessage sent = message;
        try {
            m_client.Send(sent);
        } catch (const ESmtpError& e) {
            error = std::make_shared<ESmtpError>(e);
        } catch (const std::exception& e) {
            error = std::make_shared<ESmtpError>(TSmtpFailure::Other, QString::fromUtf8(e.what()));
        }
        QMetaObject::invokeMethod(
            this, [this, message, error] { SendDone(message, error); }, Qt::QueuedConnection);
    });
}

void TfrmMail::SendDone(TMailMessage message, std::shared_ptr<ESmtpError> error) {
    if (m_dropResult)
        return;
    JoinWorker();
    SetBusy(false);
    if (!error) {
        lblState->setText(tr("邮件已发送。"));
        emit SendFinished(true);
        return;
    }
    if (error->Kind() == TSmtpFailure::AuthenticationRequired || error->Kind() == TSmtpFailure::AuthenticationFailed) {
        if (error->Kind() == TSmtpFailure::AuthenticationFailed)
            ShowFailure(*error);
        m_password.clear();
        if (AskPassword() && PrepareSettings()) {
            StartSending(std::move(message));
            return;
        }
        lblState->setText(tr("邮件没有发出。"));
        emit SendFinished(false);
        return;
    }
    lblState->setText(tr("邮件没有发出。"));
    if (error->Kind() != TSmtpFailure::Cancelled)
        ShowFailure(*error);
    emit SendFinished(false);
}

void TfrmMail::ShowFailure(const ESmtpError& error) {
    switch (error.Kind()) {
        case TSmtpFailure::CannotConnect:
            m_dialogs.Inform(tr("无法连接！"), tr(kCaption), TMessageIcon::None);
            return;
        case TSmtpFailure::Refused:
        case TSmtpFailure::AuthenticationFailed:
        case TSmtpFailure::AuthenticationRequired:
            m_dialogs.Warn(tr("邮件没有发出，服务器拒绝了请求：\n") +
                               (error.ServerReply().isEmpty() ? error.Text() : error.ServerReply()),
                           tr(kCaption));
            return;
        default:
            m_dialogs.Warn(tr("邮件没有发出：\n") + error.Text(), tr(kCaption));
    }
}

// Asks for the password of the preference User; false when cancelled.
bool TfrmMail::AskPassword() {
    QDialog prompt(this);
    prompt.setObjectName(QStringLiteral("frmMailPassword"));
    prompt.setWindowTitle(tr(kCaption));
    auto* rows = new QFormLayout;
    QLineEdit* edit = MaskedEdit("editPassword");
    rows->addRow(new QLabel(tr("SMTP服务器要求身份验证。用户：%1").arg(m_client.Settings().User)));
    AddRow(rows, tr("密码："), edit);
    auto* layout = new QVBoxLayout(&prompt);
    layout->addLayout(rows);
    layout->addLayout(OkCancelRow(&prompt, tr("确定"), tr("取消")));
    if (m_dialogs.ExecDialog(prompt) != QDialog::Accepted || edit->text().isEmpty())
        return false;
    m_password = edit->text();
    return true;
}

void TfrmMail::SetBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        lblState->setText(tr("正在发送…"));
    } else {
        QApplication::restoreOverrideCursor();
    }
    btnSend->setEnabled(!busy);
    btnAdd->setEnabled(!busy);
    btnCancel->setEnabled(busy);
}

void TfrmMail::JoinWorker() {
    if (m_worker.joinable())
        m_worker.join();
}
