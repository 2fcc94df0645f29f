#include "app/dialogs/TTomeDBLoginForm.h"

#include "platform/DialogService.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel* PanelLabel(const char* name, const QString& caption, QWidget* buddy, QWidget* panel, int top) {
    auto* label = new QLabel(caption, panel);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    label->move(12, top);
    return label;
}

}  // namespace

TTomeDBLoginForm::TTomeDBLoginForm(const QString& databaseName, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("稿件库密码"));
    setFixedSize(281, 154);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("BackPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(8, 8, width() - 16, 75);

    m_databaseEdit = new QLineEdit(databaseName, panel);
    m_databaseEdit->setObjectName(QStringLiteral("DatabaseEdit"));
    m_databaseEdit->setReadOnly(true);
    m_databaseEdit->setFocusPolicy(Qt::NoFocus);
    m_databaseEdit->setBackgroundRole(QPalette::Button);
    m_databaseEdit->setGeometry(86, 12, panel->width() - 98, 21);
    m_databaseEdit->setAccessibleName(tr("稿件库"));
    m_passwordEdit = new QLineEdit(panel);
    m_passwordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setGeometry(86, 42, panel->width() - 98, 21);
    m_passwordEdit->setAccessibleName(tr("密码"));
    PanelLabel("DatabaseLabel", tr("稿件库："), m_databaseEdit, panel, 15);
    PanelLabel("PasswordLabel", tr("密码："), m_passwordEdit, panel, 45);

    auto* ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    ok->move(109, 94);
    auto* cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->move(191, 94);
    for (QPushButton* button : {ok, cancel})
        button->resize(75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_passwordEdit->setFocus();
}

QString TTomeDBLoginForm::Password() const { return m_passwordEdit->text(); }

std::optional<std::string> TQtDBLogin::Login(const std::string& fileName) {
    TTomeDBLoginForm form(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (m_dialogs.ExecDialog(form) != QDialog::Accepted)
        return std::nullopt;
    return PasswordBytes(form.Password());
}
