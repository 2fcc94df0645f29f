#include "tools/reader/TfrmReader.h"

#include "platform/DialogService.h"
#include "platform/TextCodec.h"
#include "tools/reader/TReaderView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Translated when used: a translator is installed after static initialisation.
const char kCaption[] = QT_TRANSLATE_NOOP("TfrmReader", "阅读模式");

QToolButton* ToolButton(QToolBar* bar, const char* name, const QString& text) {
    auto* button = Named(new QToolButton(bar), name);
    button->setText(text);
    button->setToolTip(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

}  // namespace

TfrmReader::TfrmReader(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReader"));
    setWindowTitle(tr(kCaption));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    setSizeGripEnabled(true);
    BuildControls();
    connect(btnOpen, &QToolButton::clicked, this, &TfrmReader::btnOpenClick);
    connect(btnStart, &QToolButton::clicked, this, &TfrmReader::btnStartClick);
    connect(SpeedBar, &QSpinBox::valueChanged, this, &TfrmReader::SpeedBarChange);
    connect(comboxDirect, &QComboBox::currentIndexChanged, this, &TfrmReader::comboxDirectChange);
    connect(btnFont, &QToolButton::clicked, this, &TfrmReader::btnFontClick);
    connect(btnClose, &QToolButton::clicked, this, &TfrmReader::reject);
    connect(txtReader, &TReaderView::Completed, this, &TfrmReader::txtReaderComplete);
}

void TfrmReader::BuildControls() {
    tbReader = Named(new QToolBar(this), "tbReader");
    btnOpen = ToolButton(tbReader, "btnOpen", tr("打开文件"));
    btnStart = ToolButton(tbReader, "btnStart", tr("开始"));
    btnStart->setCheckable(true);
    tbReader->addSeparator();
    lblDirect = Named(new QLabel(tr("滚动方向："), tbReader), "lblDirect");
    comboxDirect = Named(new QComboBox(tbReader), "comboxDirect");
    comboxDirect->addItems({tr("向上"), tr("向下")});
    lblDirect->setBuddy(comboxDirect);
    tbReader->addWidget(lblDirect);
    tbReader->addWidget(comboxDirect);
    lblSpeed = Named(new QLabel(tr("滚动速度："), tbReader), "lblSpeed");
    SpeedBar = Named(new QSpinBox(tbReader), "SpeedBar");
    SpeedBar->setRange(0, 100);
    SpeedBar->findChild<QLineEdit*>()->setReadOnly(true);  // the arrows only
    lblSpeed->setBuddy(SpeedBar);
    tbReader->addWidget(lblSpeed);
    tbReader->addWidget(SpeedBar);
    tbReader->addSeparator();
    btnFont = ToolButton(tbReader, "btnFont", tr("设置字体"));
    btnClose = ToolButton(tbReader, "btnClose", tr("关闭"));

    txtReader = new TReaderView(this);
    StatusBar = Named(new QStatusBar(this), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    panelFile = Named(new QLabel(StatusBar), "panelFile");
    panelFile->setFixedWidth(450);
    panelSpeed = Named(new QLabel(StatusBar), "panelSpeed");
    panelSpeed->setFixedWidth(150);
    StatusBar->addWidget(panelFile);
    StatusBar->addWidget(panelSpeed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tbReader);
    layout->addWidget(txtReader, 1);
    layout->addWidget(StatusBar);
    resize(720, 520);
}

void TfrmReader::ShowStatus() {
    panelFile->setText(tr("文件名称：%1").arg(m_fileName));
    panelSpeed->setText(tr("滚动速度:%1").arg(SpeedBar->value()));
}

bool TfrmReader::OpenFile(const QString& path) {
    QString text, error;
    if (!ReadTextFile(path, &text, &error)) {
        InstalledDialogService().Warn(error, tr(kCaption));
        return false;
    }
    ShowText(path, text);
    return true;
}

void TfrmReader::ShowText(const QString& name, const QString& text) {
    m_fileName = name;
    txtReader->SetMarkup(QStringLiteral("<Left><text3>") + text);
    ShowStatus();
}

void TfrmReader::btnOpenClick() {
    TFileDialogRequest request;
    request.caption = tr("打开文件");
    request.filter = tr("文本文件(*.txt)|*.txt");
    const QString path = InstalledDialogService().OpenFileName(request);
    if (!path.isEmpty())
        OpenFile(path);
}

// A press starts a stopped view and stops a scrolling one. The button may
// already show "down" because a speed was set while stopped; a press then
// starts the scrolling instead of stopping the stopped view.
void TfrmReader::btnStartClick() {
    const bool start = !txtReader->Active();
    btnStart->setChecked(start);
    txtReader->SetDelay(10 * SpeedBar->value());
    txtReader->SetActive(start);
}

// The start button shows whether a speed is set; it does not itself start
// or stop the scrolling.
void TfrmReader::SpeedBarChange() {
    btnStart->setChecked(SpeedBar->value() != 0);
    txtReader->SetDelay(10 * SpeedBar->value());
    ShowStatus();
}

void TfrmReader::comboxDirectChange() {
    txtReader->SetStep(comboxDirect->currentIndex() == 1 ? -1 : 1);
    SpeedBar->setFocus();
    ShowStatus();
}

void TfrmReader::btnFontClick() {
    if (const std::optional<QFont> font = InstalledDialogService().ChooseFont(txtReader->BodyFont()))
        txtReader->SetBodyFont(*font);
}

void TfrmReader::txtReaderComplete() {
    txtReader->SetActive(false);
    btnStart->setChecked(false);
    SpeedBar->setValue(0);
    InstalledDialogService().Inform(tr("已完成对文档的阅读！"), tr(kCaption));
}

void TfrmReader::done(int result) {
    txtReader->SetActive(false);
    QDialog::done(result);
}

void ShowReader(QWidget* parent, const QString& name, const QString& text) {
    TfrmReader form(parent);
    if (!name.isEmpty())
        form.ShowText(name, text);
    InstalledDialogService().ExecDialog(form);
}
