#include "app/dialogs/TfrmDocAttr.h"

#include "app/dialogs/DialogParts.h"
#include "app/dialogs/GoalBox.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cmath>

namespace {

QLabel* ValueLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

QString TfrmDocAttr::DateText(double days) {
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days)));
    return QLocale().toString(date, QLocale::ShortFormat);
}

TfrmDocAttr::TfrmDocAttr(TDialogService& dialogs, const TDocAttr& attr, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_attr(attr) {
    setObjectName(QStringLiteral("frmDocAttr"));
    setWindowTitle(tr("属性"));
    auto* group = new QGroupBox(tr("稿件属性"), this);
    group->setObjectName(QStringLiteral("groupDocAttr"));
    auto* rows = new QFormLayout(group);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    m_editDocName = NamedEdit("editDocName", attr.DocName);
    m_editPublish = NamedEdit("editPublish", attr.Publish);
    m_editMoney = NamedEdit("editMoney", attr.Money);
    m_editMoney->setMaxLength(5);
    m_editMoney->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), m_editMoney));
    connect(m_editMoney, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });

    FitToText(m_editDocName);
    FitToText(m_editPublish);
    AddRow(rows, tr("名称："), m_editDocName);
    AddRow(rows, tr("创建日期："), ValueLabel("lblCDate", DateText(attr.DocCDate)));
    AddRow(rows, tr("修改日期："), ValueLabel("lblMDate", DateText(attr.DocMDate)));
    AddRow(rows, tr("中文字数："), ValueLabel("lblCCount", attr.cnCount));
    AddRow(rows, tr("英文单词数："), ValueLabel("lblEnCount", attr.enCount));
    AddRow(rows, tr("插图："), ValueLabel("lblPics", attr.PicCount));
    AddRow(rows, tr("标签："), ValueLabel("lblMarks", attr.MarkCount));
    AddRow(rows, tr("发表刊物："), m_editPublish);
    AddRow(rows, tr("稿费："), m_editMoney);

    auto* goalGroup = new QGroupBox(tr("写作目标"), this);
    goalGroup->setObjectName(QStringLiteral("groupGoal"));
    m_goalBox = new TGoalBox(goalGroup);
    (new QVBoxLayout(goalGroup))->addWidget(m_goalBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(goalGroup);
    layout->addLayout(OkCancelRow(this, tr("确定"), tr("取消"), [this] {
        if (!m_goalBox->Refused(m_dialogs))
            accept();
    }));
}

// The validator sees keys only; pasted or composed text is checked here.
void TfrmDocAttr::accept() {
    static const QRegularExpression kFee(QStringLiteral("^[0-9]{0,5}$"));
    if (!kFee.match(m_editMoney->text()).hasMatch()) {
        m_dialogs.Inform(tr("稿费只能填写数字，最多五位！"), tr("属性"));
        m_editMoney->setFocus();
        m_editMoney->selectAll();
        return;
    }
    QDialog::accept();
}

TDocAttr TfrmDocAttr::Result() const {
    TDocAttr result = m_attr;
    result.DocName = m_editDocName->text();
    result.Publish = m_editPublish->text();
    result.Money = m_editMoney->text();
    return result;
}
