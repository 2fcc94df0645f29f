#include "app/dialogs/TfrmCreatDocData.h"

#include "app/dialogs/DialogParts.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QCheckBox* NamedCheck(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

TfrmCreatDocData::TfrmCreatDocData(TDialogService& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmCreatDocData"));
    setWindowTitle(tr("新建稿件库"));

    m_editDataBaseName = NamedEdit("editDataBaseName");
    QToolButton* btnOpen = nullptr;
    QWidget* nameRow = BrowseRow(m_editDataBaseName, "btnOpen", &btnOpen);
    connect(btnOpen, &QToolButton::clicked, this, &TfrmCreatDocData::btnOpenClick);
    m_editDataBaseComment = NamedEdit("editDataBaseComment");
    m_lblFullPath = new QLabel;
    m_lblFullPath->setObjectName(QStringLiteral("lblFullPath"));
    m_lblFullPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblFullPath->setWordWrap(true);
    connect(m_editDataBaseName, &QLineEdit::textChanged, this, [this] {
        const QString name = FullName();
        m_lblFullPath->setText(name.isEmpty() ? QString() : TqlvDocData::LibraryFileName(name));
    });

    auto* top = new QFormLayout;
    QLabel* nameLabel = AddRow(top, tr("稿件库名称："), nameRow);
    nameLabel->setBuddy(m_editDataBaseName);
    m_editDataBaseName->setAccessibleName(tr("稿件库名称"));
    AddRow(top, tr("位置："), m_lblFullPath);
    AddRow(top, tr("稿件库描述："), m_editDataBaseComment);

    auto* group = new QGroupBox(tr("稿件库属性"));
    group->setObjectName(QStringLiteral("groupAttribute"));
    auto* rows = new QFormLayout(group);
    m_chkModifyPas = NamedCheck("chkModifyPas", tr("设置稿件库密码"));
    connect(m_chkModifyPas, &QCheckBox::toggled, this, &TfrmCreatDocData::chkModifyPasClick);
    rows->addRow(m_chkModifyPas);
    m_editPas = MaskedEdit("editPas");
    m_editConfirmPas = MaskedEdit("editConfirmPas");
    m_lblPas = AddRow(rows, tr("密码："), m_editPas);
    m_lblConfirmPas = AddRow(rows, tr("确认："), m_editConfirmPas);
    m_chkCRC = NamedCheck("chkCRC", tr("使用CRC32校验保护稿件库"));
    rows->addRow(m_chkCRC);
    m_comboxCompressLevel = new QComboBox;
    m_comboxCompressLevel->setObjectName(QStringLiteral("comboxCompressLevel"));
    m_comboxCompressLevel->addItems({tr("最快"), tr("较快"), tr("标准"), tr("最好")});
    m_comboxCompressLevel->setCurrentIndex(2);
    AddRow(rows, tr("稿件库压缩级别："), m_comboxCompressLevel);

    QPushButton* create = nullptr;
    QBoxLayout* buttons = OkCancelRow(this, tr("创建(&B)"), tr("取消(&C)"), &create);
    create->setObjectName(QStringLiteral("btnCreate"));
    disconnect(create, &QPushButton::clicked, this, &QDialog::accept);
    connect(create, &QPushButton::clicked, this, &TfrmCreatDocData::btnCreateClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addLayout(buttons);
    chkModifyPasClick();
    m_editDataBaseName->setFocus();
}

void TfrmCreatDocData::chkModifyPasClick() {
    const bool on = m_chkModifyPas->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_editPas), static_cast<QWidget*>(m_editConfirmPas),
                       static_cast<QWidget*>(m_lblPas), static_cast<QWidget*>(m_lblConfirmPas)})
        w->setEnabled(on);
}

void TfrmCreatDocData::btnOpenClick() {
    TFileDialogRequest request;
    request.caption = tr("新建稿件库");
    request.filter = tr("稿件库(*.qdb)|*.qdb");
    request.fileName = tr("稿件库");
    request.defaultExt = QStringLiteral("qdb");
    const QString path = m_dialogs.SaveFileName(request);
    if (!path.isEmpty())
        m_editDataBaseName->setText(path);
}

QString TfrmCreatDocData::DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

// The typed name as a full path; empty while nothing is typed.
QString TfrmCreatDocData::FullName() const {
    const QString typed = m_editDataBaseName->text().trimmed();
    if (typed.isEmpty() || QDir::isAbsolutePath(typed))
        return typed;
    return QDir::cleanPath(QDir(DocumentsFolder()).filePath(typed));
}

void TfrmCreatDocData::btnCreateClick() {
    if (FullName().isEmpty()) {
        m_dialogs.Inform(tr("稿件库名称不能为空！"), windowTitle());
        m_editDataBaseName->setFocus();
        return;
    }
    // A mistyped confirmation would otherwise encrypt with a password nobody
    // knows (or with none): say so and let the user type it again.
    if (m_chkModifyPas->isChecked() && m_editPas->text() != m_editConfirmPas->text()) {
        m_dialogs.Warn(tr("两次输入的密码不一致！"), windowTitle());
        m_editConfirmPas->clear();
        m_editConfirmPas->setFocus();
        return;
    }
    accept();
}

TCreateLibraryRequest TfrmCreatDocData::Request() const {
    TCreateLibraryRequest request;
    request.FileName = FullName();
    request.Comment = m_editDataBaseComment->text();
    request.Encrypt = m_chkModifyPas->isChecked();
    request.Password = request.Encrypt ? m_editPas->text() : QString();
    request.Crc32 = m_chkCRC->isChecked();
    request.LevelIndex = m_comboxCompressLevel->currentIndex();
    return request;
}
