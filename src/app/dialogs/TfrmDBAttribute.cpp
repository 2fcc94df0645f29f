#include "app/dialogs/TfrmDBAttribute.h"

#include "app/dialogs/DBAttrPanel.h"
#include "app/dialogs/DialogParts.h"
#include "app/dialogs/GoalBox.h"
#include "platform/DialogService.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPushButton* ToolButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

void RunAction(const std::function<void()>& action) {
    if (action)
        action();
}

}  // namespace

TfrmDBAttribute::TfrmDBAttribute(TDialogService& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmDBAttribute"));
    setWindowTitle(tr("稿件库属性"));
    m_pcAttribute = new QTabWidget;
    m_pcAttribute->setObjectName(QStringLiteral("pcAttribute"));
    m_attributes = new TDBAttrPanel(true);
    m_pcAttribute->addTab(m_attributes, tr("属性"));
    m_pcAttribute->addTab(BuildToolsPage(), tr("工具"));
    auto* goalPage = new QWidget;
    goalPage->setObjectName(QStringLiteral("tsGoal"));
    m_goalBox = new TGoalBox;
    auto* goalLayout = new QVBoxLayout(goalPage);
    goalLayout->addWidget(m_goalBox);
    goalLayout->addStretch();
    m_pcAttribute->addTab(goalPage, tr("目标"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pcAttribute);
    layout->addLayout(OkCancelRow(this, tr("确定"), tr("取消"), [this] { btnOKClick(); }));
    chkDBPasClick();
}

QWidget* TfrmDBAttribute::BuildToolsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsTools"));
    auto* group = new QGroupBox(tr("密码"));
    group->setObjectName(QStringLiteral("GroupBoxPas"));
    auto* rows = new QFormLayout(group);
    m_chkDBPas = new QCheckBox(tr("修改密码"));
    m_chkDBPas->setObjectName(QStringLiteral("chkDBPas"));
    connect(m_chkDBPas, &QCheckBox::toggled, this, &TfrmDBAttribute::chkDBPasClick);
    rows->addRow(m_chkDBPas);
    m_editDBPas = MaskedEdit("editDBPas");
    m_editDBConfirm = MaskedEdit("editDBConfirm");
    m_lblPas = AddRow(rows, tr("密码"), m_editDBPas);
    m_lblConfirm = AddRow(rows, tr("确认"), m_editDBConfirm);

    auto* btnShotrCut = ToolButton("btnShotrCut", tr("为稿件库创建快捷方式(&S)"));
    auto* btnCompress = ToolButton("btnCompress", tr("压缩稿件库(&C)"));
    auto* btnRepairDB = ToolButton("btnRepairDB", tr("修复稿件库(&R)"));
    connect(btnShotrCut, &QPushButton::clicked, this, [this] { RunAction(OnShortcut); });
    connect(btnCompress, &QPushButton::clicked, this, [this] { RunAction(OnCompress); });
    connect(btnRepairDB, &QPushButton::clicked, this, [this] { RunAction(OnRepair); });

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    for (QPushButton* button : {btnShotrCut, btnCompress, btnRepairDB})
        layout->addWidget(button);
    layout->addStretch();
    return page;
}

void TfrmDBAttribute::Fill(const TDBAttr& attr, bool encrypted) {
    ShowAttributes(attr);
    m_encryptedWhenShown = encrypted;
    m_chkDBPas->setChecked(encrypted);
    chkDBPasClick();
}

void TfrmDBAttribute::ShowAttributes(const TDBAttr& attr) {
    // A refresh keeps a description the user is still typing.
    const bool keepComment = m_attributes->CommentEdit()->isModified();
    const QString typed = m_attributes->Comment();
    m_attributes->Show(attr);
    if (keepComment) {
        m_attributes->CommentEdit()->setText(typed);
        m_attributes->CommentEdit()->setModified(true);
    }
}

void TfrmDBAttribute::ShowToolsPage() { m_pcAttribute->setCurrentIndex(1); }

int TfrmDBAttribute::CurrentPage() const { return m_pcAttribute->currentIndex(); }

QString TfrmDBAttribute::Comment() const { return m_attributes->Comment(); }

void TfrmDBAttribute::chkDBPasClick() {
    const bool on = m_chkDBPas->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_editDBPas), static_cast<QWidget*>(m_editDBConfirm),
                       static_cast<QWidget*>(m_lblPas), static_cast<QWidget*>(m_lblConfirm)})
        w->setEnabled(on);
}

std::optional<TPasswordChange> TfrmDBAttribute::PasswordChange() const {
    const QString password = m_editDBPas->text();
    // Opening the dialog to edit the description must not re-key the
    // library under the empty password.
    if (password.isEmpty() && m_editDBConfirm->text().isEmpty() && m_chkDBPas->isChecked() == m_encryptedWhenShown)
        return std::nullopt;
    return TPasswordChange{password, m_chkDBPas->isChecked()};
}

void TfrmDBAttribute::btnOKClick() {
    if (!m_goalBox->Problem().isEmpty()) {
        m_pcAttribute->setCurrentIndex(m_pcAttribute->indexOf(m_goalBox->parentWidget()));
        m_goalBox->Refused(m_dialogs);
        return;
    }
    if (OnStoreComment)
        OnStoreComment(Comment());
    if (m_editDBPas->text() != m_editDBConfirm->text()) {
        m_dialogs.Warn(tr("两次输入的密码不一致！"), windowTitle());
        m_editDBConfirm->clear();
        m_editDBConfirm->setFocus();
        return;
    }
    accept();
}
