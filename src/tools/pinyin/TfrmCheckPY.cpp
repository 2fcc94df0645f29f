#include "tools/pinyin/TfrmCheckPY.h"

#include "platform/DialogService.h"
#include "tools/pinyin/PinyinText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

TfrmCheckPY::TfrmCheckPY(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCheckPY"));
    setWindowTitle(tr("反查拼音"));
    BuildControls();
    connect(btnFind, &QPushButton::clicked, this, &TfrmCheckPY::btnFindClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmCheckPY::btnClearClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmCheckPY::btnExitClick);
}

void TfrmCheckPY::BuildControls() {
    lblHZ = Named(new QLabel(tr("要查找的汉字"), this), "lblHZ");
    memoHZ = Named(new QPlainTextEdit(this), "memoHZ");
    lblPY = Named(new QLabel(tr("汉字的拼音"), this), "lblPY");
    memoPY = Named(new QPlainTextEdit(this), "memoPY");
    memoPY->setReadOnly(true);  // results only; selecting and copying still work
    lblHZ->setBuddy(memoHZ);
    lblPY->setBuddy(memoPY);

    btnFind = Named(new QPushButton(tr("查找"), this), "btnFind");
    btnClear = Named(new QPushButton(tr("清空"), this), "btnClear");
    btnExit = Named(new QPushButton(tr("退出"), this), "btnExit");
    // Enter in the text box inserts a line break; it must not close the dialog.
    for (QPushButton* button : {btnFind, btnClear, btnExit})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnFind);
    buttons->addWidget(btnClear);
    buttons->addWidget(btnExit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHZ);
    layout->addWidget(memoHZ, 1);
    layout->addWidget(lblPY);
    layout->addWidget(memoPY, 1);
    layout->addLayout(buttons);
    resize(440, 380);
}

// The editor hands its selection with CR LF line breaks; the memo keeps LF.
void TfrmCheckPY::SetHzText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memoHZ->setPlainText(lines);
}

void TfrmCheckPY::btnFindClick() { memoPY->setPlainText(PinyinSpellOf(memoHZ->toPlainText())); }

void TfrmCheckPY::btnClearClick() {
    memoHZ->clear();
    memoPY->clear();
}

void TfrmCheckPY::btnExitClick() { reject(); }

void ShowCheckPY(QWidget* parent, const QString& hzText) {
    TfrmCheckPY form(parent);
    form.SetHzText(hzText);
    InstalledDialogService().ExecDialog(form);
}
