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
    lblDBName = ValueLabel("lblDBName");
    lblDBSize = ValueLabel("lblDBSize");
    editComments = NamedEdit("editComments");
    editComments->setReadOnly(!commentEditable);
    editPos = NamedEdit("editPos");
    editPos->setReadOnly(true);
    lblFloder = ValueLabel("lblFloder");
    lblDoc = ValueLabel("lblDoc");
    lblPics = ValueLabel("lblPics");
    lblMark = ValueLabel("lblMark");
    lblDate = ValueLabel("lblDate");
    lblCompressed = ValueLabel("lblCompressed");
    lblCompressLevel = ValueLabel("lblCompressLevel");
    lblEncrept = ValueLabel("lblEncrept");
    AddRow(rows, tr("名称："), lblDBName);
    AddRow(rows, tr("大小："), lblDBSize);
    AddRow(rows, tr("描述："), editComments);
    AddRow(rows, tr("位置："), editPos);
    AddRow(rows, tr("稿件夹："), lblFloder);
    AddRow(rows, tr("稿件："), lblDoc);
    AddRow(rows, tr("插图："), lblPics);
    AddRow(rows, tr("标签："), lblMark);
    AddRow(rows, tr("修改日期："), lblDate);
    AddRow(rows, tr("是否压缩："), lblCompressed);
    AddRow(rows, tr("压缩等级："), lblCompressLevel);
    AddRow(rows, tr("是否加密："), lblEncrept);
}

void TDBAttrPanel::Show(const TDBAttr& attr) {
    lblDBName->setText(QFileInfo(attr.FileName).completeBaseName());
    lblDBSize->setText(TranslatedText(attr.Size));
    editComments->setText(attr.Comment);
    editPos->setText(attr.FileName);
    lblFloder->setText(attr.FolderCount);
    lblDoc->setText(attr.DocCount);
    lblPics->setText(attr.PicCount);
    lblMark->setText(attr.MarkCount);
    lblDate->setText(attr.FileDate);
    lblCompressed->setText(TranslatedText(attr.Compressed));
    lblCompressLevel->setText(TranslatedText(attr.CompressLevel));
    lblEncrept->setText(TranslatedText(attr.Encrypted));
    FitToText(editComments);
    FitToText(editPos);
}

void TDBAttrPanel::Clear() { Show(TDBAttr()); }

QString TDBAttrPanel::Comment() const { return editComments->text(); }
