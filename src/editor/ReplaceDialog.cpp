#include "editor/ReplaceDialog.h"

#include "editor/SearchDialogParts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace searchdialog;

TfrmReplace::TfrmReplace(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(tr("替换"));
    setModal(false);

    editFind = MakeLineEdit(this, QStringLiteral("editFind"));
    editReplace = MakeLineEdit(this, QStringLiteral("editReplace"));
    chkWholeWord = MakeCheckBox(this, QStringLiteral("chkWholeWord"), tr("全字匹配(&W)"));
    chkMatchCase = MakeCheckBox(this, QStringLiteral("chkMatchCase"), tr("区分大小写(&C)"));
    QGroupBox* direction = MakeDirectionGroup(this, &rbUp, &rbDown);
    btnFindNext = MakeButton(this, QStringLiteral("btnFindNext"), tr("查找下一个(&F)"));
    btnReplace = MakeButton(this, QStringLiteral("btnReplace"), tr("替换(&R)"));
    btnReplaceAll = MakeButton(this, QStringLiteral("btnReplaceAll"), tr("全部替换(&A)"));
    btnCancel = MakeButton(this, QStringLiteral("btnCancel"), tr("取消"));
    btnFindNext->setDefault(true);

    auto* findLabel = new QLabel(tr("查找内容(&N)："), this);
    findLabel->setBuddy(editFind);
    auto* replaceLabel = new QLabel(tr("替换为(&P)："), this);
    replaceLabel->setBuddy(editReplace);
    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(editFind, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(editReplace, 1, 1);
    grid->addWidget(chkWholeWord, 2, 0, 1, 2);
    grid->addWidget(chkMatchCase, 3, 0);
    grid->addWidget(direction, 3, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {btnFindNext, btnReplace, btnReplaceAll, btnCancel})
        buttons->addWidget(button);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);

    for (QPushButton* button : {btnFindNext, btnReplace, btnReplaceAll})
        EnableWhileText(editFind, button);
    connect(btnFindNext, &QPushButton::clicked, this, &TfrmReplace::FindNextClicked);
    connect(btnReplace, &QPushButton::clicked, this, &TfrmReplace::ReplaceClicked);
    connect(btnReplaceAll, &QPushButton::clicked, this, &TfrmReplace::ReplaceAllClicked);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSearchOptions TfrmReplace::Options() const {
    TSearchOptions options;
    options.text = editFind->text();
    options.matchCase = chkMatchCase->isChecked();
    options.wholeWord = chkWholeWord->isChecked();
    options.down = rbDown->isChecked();
    return options;
}

QString TfrmReplace::ReplaceText() const { return editReplace->text(); }

void TfrmReplace::SetSearchText(const QString& text) {
    editFind->setText(text);
    editFind->selectAll();
}
