#include "app/dialogs/TfrmMarks.h"

#include "app/dialogs/DialogParts.h"
#include "platform/DialogService.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* ValueLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TfrmMarks::TfrmMarks(TDialogService& dialogs, const TMark& mark, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_mark(mark) {
    setObjectName(QStringLiteral("frmMarks"));
    setWindowTitle(tr("标签"));
    auto* rows = new QFormLayout;
    m_editName = NamedEdit("editName", mark.MarkName);
    AddRow(rows, tr("名称："), m_editName);
    AddRow(rows, tr("所属："), ValueLabel("lblParent", mark.MarkParentName));
    AddRow(rows, tr("位置："), ValueLabel("lblPosLine", tr("%1 行").arg(mark.MarkPosLine)));

    m_memoContent = new QPlainTextEdit(mark.MarkContent);
    m_memoContent->setObjectName(QStringLiteral("memoContent"));
    m_memoContent->setAccessibleName(tr("内容"));
    m_memoContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoContent->setTabChangesFocus(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(m_memoContent, 1);
    QPushButton* ok = nullptr;
    layout->addLayout(OkCancelRow(this, tr("确定"), tr("取消"), &ok));
    // The name is checked before the dialog may close.
    disconnect(ok, nullptr, this, nullptr);
    connect(ok, &QPushButton::clicked, this, &TfrmMarks::btnOKClick);
}

void TfrmMarks::btnOKClick() {
    if (m_editName->text().isEmpty()) {
        m_dialogs.Inform(tr("标签名称不能为空！"), tr("标签"));
        m_editName->setFocus();
        return;
    }
    accept();
}

TMark TfrmMarks::Result() const {
    TMark result = m_mark;
    result.MarkName = m_editName->text();
    result.MarkContent = m_memoContent->toPlainText();
    return result;
}

bool ShowMarks(TDialogService& dialogs, TMark& mark, QWidget* parent) {
    TfrmMarks dialog(dialogs, mark, parent);
    if (dialogs.ExecDialog(dialog) != QDialog::Accepted)
        return false;
    mark = dialog.Result();
    return true;
}
