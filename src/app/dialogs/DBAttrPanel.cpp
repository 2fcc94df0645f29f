#include "app/dialogs/DBAttrPanel.h"
#include "platform/ErrorText.h"

#include "app/dialogs/DialogParts.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel* ValueLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TDBAttrPanel::TDBAttrPanel(bool commentEditable, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlDBAttr"));
    auto* rows = new QFormLayout(this);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_lblDBName = ValueLabel("lblDBName");
    m_lblDBSize = ValueLabel("lblDBSize");
    m_editComments = NamedEdit("editComments");
    m_editComments->setReadOnly(!commentEditable);
    m_editPos = NamedEdit("editPos");
    m_editPos->setReadOnly(true);
    m_lblFloder = ValueLabel("lblFloder");
    m_lblDoc = ValueLabel("lblDoc");
    m_lblPics = ValueLabel("lblPics");
    m_lblMark = ValueLabel("lblMark");
    m_lblDate = ValueLabel("lblDate");
    m_lblCompressed = ValueLabel("lblCompressed");
    m_lblCompressLevel = ValueLabel("lblCompressLevel");
    m_lblEncrept = ValueLabel("lblEncrept");
    AddRow(rows, tr("名称："), m_lblDBName);
    AddRow(rows, tr("大小："), m_lblDBSize);
    AddRow(rows, tr("描述："), m_editComments);
    AddRow(rows, tr("位置："), m_editPos);
    AddRow(rows, tr("稿件夹："), m_lblFloder);
    AddRow(rows, tr("稿件："), m_lblDoc);
    AddRow(rows, tr("插图："), m_lblPics);
    AddRow(rows, tr("标签："), m_lblMark);
    AddRow(rows, tr("修改日期："), m_lblDate);
    AddRow(rows, tr("是否压缩："), m_lblCompressed);
    AddRow(rows, tr("压缩等级："), m_lblCompressLevel);
    AddRow(rows, tr("是否加密："), m_lblEncrept);
}

void TDBAttrPanel::Show(const TDBAttr& attr) {
    m_lblDBName->setText(QFileInfo(attr.FileName).completeBaseName());
    m_lblDBSize->setText(TranslatedText(attr.Size));
    m_editComments->setText(attr.Comment);
    m_editPos->setText(attr.FileName);
    m_lblFloder->setText(attr.FolderCount);
    m_lblDoc->setText(attr.DocCount);
    m_lblPics->setText(attr.PicCount);
    m_lblMark->setText(attr.MarkCount);
    m_lblDate->setText(attr.FileDate);
    m_lblCompressed->setText(TranslatedText(attr.Compressed));
    m_lblCompressLevel->setText(TranslatedText(attr.CompressLevel));
    m_lblEncrept->setText(TranslatedText(attr.Encrypted));
    FitToText(m_editComments);
    FitToText(m_editPos);
}

void TDBAttrPanel::Clear() { Show(TDBAttr()); }

QString TDBAttrPanel::Comment() const { return m_editComments->text(); }
