#include "editor/FindDialog.h"

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

TfrmFind::TfrmFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(tr("查找"));
    setModal(false);

    editFind = MakeLineEdit(this, QStringLiteral("editFind"));
    chkWholeWord = MakeCheckBox(this, QStringLiteral("chkWholeWord"), tr("全字匹配(&W)"));
    chkMatchCase = MakeCheckBox(this, QStringLiteral("chkMatchCase"), tr("区分大小写(&C)"));
    QGroupBox* direction = MakeDirectionGroup(this, &rbUp, &rbDown);
    btnFindNext = MakeButton(this, QStringLiteral("btnFindNext"), tr("查找下一个(&F)"));
    btnCancel = MakeButton(this, QStringLiteral("btnCancel"), tr("取消"));
    btnFindNext->setDefault(true);

    auto* label = new QLabel(tr("查找内容(&N)："), this);
    label->setBuddy(editFind);
    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(editFind, 0, 1);
    grid->addWidget(chkWholeWord, 1, 0, 1, 2);
    grid->addWidget(chkMatchCase, 2, 0);
    grid->addWidget(direction, 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    EnableWhileText(editFind, btnFindNext);
    connect(btnFindNext, &QPushButton::clicked, this, &TfrmFind::FindNextClicked);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSearchOptions TfrmFind::Options() const {
    TSearchOptions options;
    options.text = editFind->text();
    options.matchCase = chkMatchCase->isChecked();
    options.wholeWord = chkWholeWord->isChecked();
    options.down = rbDown->isChecked();
    return options;
}

void TfrmFind::SetSearchText(const QString& text) {
    editFind->setText(text);
    editFind->selectAll();
}
