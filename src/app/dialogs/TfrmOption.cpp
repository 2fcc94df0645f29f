#include "app/dialogs/TfrmOption.h"

#include "platform/DialogService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kDefaultPort = QStringLiteral("25");

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QStringList Numbers(std::initializer_list<int> values) {
    QStringList list;
    for (int value : values)
        list << QString::number(value);
    return list;
}

QComboBox* PickList(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = Named(new QComboBox(parent), name);
    box->setEditable(false);
    box->addItems(items);
    return box;
}

void Select(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

// A label in column 0 naming the control in column 1.
void AddRow(QGridLayout* grid, int row, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, control->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
}

QWidget* Page(QWidget* parent, QLayout*& layout, bool grid) {
    auto* page = new QWidget(parent);
    if (grid)
        layout = new QGridLayout(page);
    else
        layout = new QVBoxLayout(page);
    return page;
}

}  // namespace

TfrmOption::TfrmOption(TDialogService& dialogs, const QStringList& inputMethods, const QStringList& fontFamilies,
                       QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(tr("选项"));
    pageOption = Named(new QTabWidget(this), "pageOption");
    pageOption->addTab(BuildLibraryTab(), tr("稿件库"));
    pageOption->addTab(BuildEditorTab(), tr("编辑器"));
    pageOption->addTab(BuildMailTab(), tr("邮件设置"));
    pageOption->addTab(BuildPathTab(), tr("路径"));
    pageOption->addTab(BuildBackupTab(), tr("备份"));
    pageOption->setCurrentIndex(0);
    comboxIME->addItems(inputMethods);
    comboxFontName->addItems(fontFamilies);

    btnOK = Named(new QPushButton(tr("确定"), this), "btnOK");
    btnCancel = Named(new QPushButton(tr("取消"), this), "btnCancel");
    btnOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pageOption, 1);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TfrmOption::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOption::btnCancelClick);
    connect(btnEditorColor, &QPushButton::clicked, this, &TfrmOption::btnEditorColorClick);
    connect(chkQDB, &QCheckBox::toggled, this, &TfrmOption::QdbAssociationToggled);
    connect(chkPop, &QCheckBox::toggled, this, &TfrmOption::TxtVerbToggled);
    SetValues(TOptionValues{});
    resize(460, 420);
}

QWidget* TfrmOption::BuildLibraryTab() {
    QLayout* layout = nullptr;
    QWidget* page = Page(pageOption, layout, false);
    chkAutoCompress = Named(new QCheckBox(tr("退出时自动压缩"), page), "chkAutoCompress");
    chkAutoOpen = Named(new QCheckBox(tr("自动打开上次的稿件库"), page), "chkAutoOpen");
    chkQDB = Named(new QCheckBox(tr("关联稿件库文件(*.qdb)"), page), "chkQDB");
    chkTXT = Named(new QCheckBox(tr("关联纯文本文件(*.txt)"), page), "chkTXT");
    chkPop = Named(new QCheckBox(tr("加入到右键菜单"), page), "chkPop");
    chkKeepHistory = Named(new QCheckBox(tr("保留历史版本"), page), "chkKeepHistory");
    for (QCheckBox* box : {chkAutoCompress, chkAutoOpen, chkQDB, chkTXT, chkPop, chkKeepHistory})
        layout->addWidget(box);
    // The language names itself in its own script, so anyone can find theirs.
    comboxLanguage =
        PickList(page, "comboxLanguage", {tr("跟随系统"), QStringLiteral("中文"), QStringLiteral("English")});
    auto* languageRow = new QHBoxLayout;
    auto* languageLabel = new QLabel(tr("界面语言（下次启动时生效）："), page);
    languageLabel->setBuddy(comboxLanguage);
    comboxLanguage->setAccessibleName(tr("界面语言"));
    languageRow->addWidget(languageLabel);
    languageRow->addWidget(comboxLanguage, 1);
    static_cast<QVBoxLayout*>(layout)->addLayout(languageRow);
    static_cast<QVBoxLayout*>(layout)->addStretch(1);
    return page;
}

QWidget* TfrmOption::BuildEditorTab() {
    QLayout* layout = nullptr;
    QWidget* page = Page(pageOption, layout, true);
    auto* grid = static_cast<QGridLayout*>(layout);
    chkIME = Named(new QCheckBox(tr("自动打开输入法"), page), "chkIME");
    comboxIME = PickList(page, "comboxIME", {});
    chkAutoSave = Named(new QCheckBox(tr("开启自动保存"), page), "chkAutoSave");
    comboxAutoSave = PickList(page, "comboxAutoSave", Numbers({1, 2, 3, 5, 7, 10, 13, 15, 18, 20}));
    comboxFontName = PickList(page, "comboxFontName", {});
    comboxFontSize =
        PickList(page, "comboxFontSize", Numbers({8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}));
    panelEditorColor = Named(new QFrame(page), "panelEditorColor");
    panelEditorColor->setFrameShape(QFrame::Box);
    panelEditorColor->setMinimumSize(48, 22);
    panelEditorColor->setAutoFillBackground(true);
    btnEditorColor = Named(new QPushButton(tr("选择颜色"), page), "btnEditorColor");

    grid->addWidget(chkIME, 0, 0, 1, 2);
    AddRow(grid, 1, tr("设置输入法名称："), comboxIME);
    grid->addWidget(chkAutoSave, 2, 0, 1, 2);
    AddRow(grid, 3, tr("设置保存时间间隔："), comboxAutoSave);
    AddRow(grid, 4, tr("编辑器默认字体："), comboxFontName);
    AddRow(grid, 5, tr("编辑器默认字号："), comboxFontSize);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(panelEditorColor);
    colorRow->addWidget(btnEditorColor);
    colorRow->addStretch(1);
    auto* colorLabel = new QLabel(tr("编辑器默认颜色："), page);
    colorLabel->setBuddy(btnEditorColor);
    panelEditorColor->setAccessibleName(tr("编辑器默认颜色："));
    grid->addWidget(colorLabel, 6, 0);
    grid->addLayout(colorRow, 6, 1);
    AddWritingRows(grid, 7);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(11, 1);
    return page;
}

// Full-screen writing and the writing modes: rows firstRow..firstRow+3.
void TfrmOption::AddWritingRows(QGridLayout* grid, int firstRow) {
    QWidget* page = grid->parentWidget();
    spinFullScreenColumn = Named(new QSpinBox(page), "spinFullScreenColumn");
    spinFullScreenColumn->setRange(TWritingModeSettings::kMinColumn, TWritingModeSettings::kMaxColumn);
    spinFullScreenColumn->setSuffix(tr(" 字"));
    const QStringList scopes{tr("关闭"), tr("仅全屏写作"), tr("始终")};
    comboxTypewriter = PickList(page, "comboxTypewriter", scopes);
    comboxFocusMode = PickList(page, "comboxFocusMode", scopes);
    chkParagraphIndent = Named(new QCheckBox(tr("段首缩进两字"), page), "chkParagraphIndent");
    AddRow(grid, firstRow, tr("全屏写作栏宽："), spinFullScreenColumn);
    AddRow(grid, firstRow + 1, tr("打字机滚动："), comboxTypewriter);
    AddRow(grid, firstRow + 2, tr("聚焦当前段落："), comboxFocusMode);
    grid->addWidget(chkParagraphIndent, firstRow + 3, 0, 1, 2);
    spinFullScreenColumn->setAccessibleName(tr("全屏写作栏宽"));
    comboxTypewriter->setAccessibleName(tr("打字机滚动"));
    comboxFocusMode->setAccessibleName(tr("聚焦当前段落"));
}

QWidget* TfrmOption::BuildMailTab() {
    QLayout* layout = nullptr;
    QWidget* page = Page(pageOption, layout, true);
    auto* grid = static_cast<QGridLayout*>(layout);
    editUserMail = Named(new QLineEdit(page), "editUserMail");
    editUserName = Named(new QLineEdit(page), "editUserName");
    editSever = Named(new QLineEdit(page), "editSever");
    editPort = Named(new QLineEdit(page), "editPort");
    editUser = Named(new QLineEdit(page), "editUser");
    AddRow(grid, 0, tr("发件地址："), editUserMail);
    AddRow(grid, 1, tr("发件人："), editUserName);
    AddRow(grid, 2, tr("SMTP服务器："), editSever);
    AddRow(grid, 3, tr("SMTP端口："), editPort);
    AddRow(grid, 4, tr("验证用户名："), editUser);
    auto* note = Named(new QLabel(tr("如果SMTP服务器需要身份验证，请填写用户名"), page), "lblUserNote");
    grid->addWidget(note, 5, 1);
    grid->setRowStretch(6, 1);
    return page;
}

QLineEdit* TfrmOption::AddPathRow(QGridLayout* grid, int row, const QString& label, const char* editName,
                                  const char* buttonName) {
    QWidget* page = grid->parentWidget();
    auto* edit = Named(new QLineEdit(page), editName);
    auto* browse = Named(new QPushButton(QStringLiteral("..."), page), buttonName);
    browse->setAccessibleName(label + QStringLiteral("..."));
    browse->setAutoDefault(false);
    AddRow(grid, row, label, edit);
    grid->addWidget(browse, row, 2);
    connect(browse, &QPushButton::clicked, this, [this, edit] {
        const QString folder = m_dialogs.FolderName(tr("请选择一个文件夹"), edit->text());
        if (!folder.isEmpty())
            edit->setText(folder);
    });
    return edit;
}

QWidget* TfrmOption::BuildPathTab() {
    QLayout* layout = nullptr;
    QWidget* page = Page(pageOption, layout, true);
    auto* grid = static_cast<QGridLayout*>(layout);
    editExportDoc = AddPathRow(grid, 0, tr("导出稿件："), "editExportDoc", "btnExportDoc");
    editExportFile = AddPathRow(grid, 1, tr("导出资料："), "editExportFile", "btnExportFile");
    editExportPic = AddPathRow(grid, 2, tr("插入图片："), "editExportPic", "btnExportPic");
    editSkin = AddPathRow(grid, 3, tr("皮肤文件："), "editSkin", "btnSkin");
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    return page;
}
QWidget* TfrmOption::BuildBackupTab() {
    QLayout* layout = nullptr;
    QWidget* page = Page(pageOption, layout, true);
    auto* grid = static_cast<QGridLayout*>(layout);
    auto spin = [page](const char* name, int low, int high) {
        auto* box = Named(new QSpinBox(page), name);
        box->setRange(low, high);
        return box;
    };
    chkAutoBackup = Named(new QCheckBox(tr("自动备份稿件库"), page), "chkAutoBackup");
    spinBackupTime = spin("spinBackupTime", 1, 24 * 60);
    spinBackupTime->setSuffix(tr(" 分钟"));
    spinBackupKeep = spin("spinBackupKeep", 1, 999);
    spinBackupDays = spin("spinBackupDays", 0, 366);
    grid->addWidget(chkAutoBackup, 0, 0, 1, 3);
    AddRow(grid, 1, tr("编辑时每隔："), spinBackupTime);
    editBackupPath = AddPathRow(grid, 2, tr("备份文件夹："), "editBackupPath", "btnBackupPath");
    AddRow(grid, 3, tr("保留最近的备份数："), spinBackupKeep);
    AddRow(grid, 4, tr("另外保留最近几天每天一份："), spinBackupDays);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    return page;
}

void TfrmOption::SetValues(const TOptionValues& values) {
    m_stored = values;
    {
        const QSignalBlocker qdb(chkQDB);
        const QSignalBlocker pop(chkPop);
        chkQDB->setChecked(values.assQDB);
        chkPop->setChecked(values.assPop);
    }
    chkAutoCompress->setChecked(values.AutoCompress);
    chkAutoOpen->setChecked(values.AutoOpen);
    chkTXT->setChecked(values.assTXT);
    chkKeepHistory->setChecked(values.KeepHistory);
    comboxLanguage->setCurrentIndex(static_cast<int>(values.Language));
    chkIME->setChecked(values.IME);
    Select(comboxIME, values.IMEName);
    chkAutoSave->setChecked(values.AutoSave);
    Select(comboxAutoSave, values.SaveTime);
    Select(comboxFontName, values.FontName);
    Select(comboxFontSize, values.FontSize);
    PaintSwatch(ColorOfBgr(values.EditorColor));
    spinFullScreenColumn->setValue(values.Writing.Column);
    comboxTypewriter->setCurrentIndex(int(values.Writing.Typewriter));
    comboxFocusMode->setCurrentIndex(int(values.Writing.Focus));
    chkParagraphIndent->setChecked(values.Writing.ParagraphIndent);

    editUserMail->setText(values.Mail.FromAddress);
    editUserName->setText(values.Mail.FromName);
    editSever->setText(values.Mail.Server);
    editPort->setText(values.Mail.Port.isEmpty() ? kDefaultPort : values.Mail.Port);
    editUser->setText(values.Mail.User);

    editExportDoc->setText(values.ExDoc);
    editExportFile->setText(values.ExFile);
    editExportPic->setText(values.ExPic);
    editSkin->setText(values.Skin);

    chkAutoBackup->setChecked(values.Backup.Enabled);
    spinBackupTime->setValue(values.Backup.Interval);
    editBackupPath->setText(values.Backup.Folder);
    spinBackupKeep->setValue(values.Backup.KeepLast);
    spinBackupDays->setValue(values.Backup.KeepDays);
}

QString TfrmOption::Choice(const QComboBox* box, const QString& stored) {
    return box->currentIndex() < 0 ? stored : box->currentText();
}

TOptionValues TfrmOption::Values() const {
    TOptionValues values;
    values.AutoCompress = chkAutoCompress->isChecked();
    values.AutoOpen = chkAutoOpen->isChecked();
    values.assQDB = chkQDB->isChecked();
    values.assTXT = chkTXT->isChecked();
    values.assPop = chkPop->isChecked();
    values.KeepHistory = chkKeepHistory->isChecked();
    values.Language = static_cast<TInterfaceLanguage>(std::max(0, comboxLanguage->currentIndex()));
    values.IME = chkIME->isChecked();
    values.IMEName = Choice(comboxIME, m_stored.IMEName);
    values.AutoSave = chkAutoSave->isChecked();
    values.SaveTime = Choice(comboxAutoSave, m_stored.SaveTime);
    values.FontName = Choice(comboxFontName, m_stored.FontName);
    values.FontSize = Choice(comboxFontSize, m_stored.FontSize);
    values.EditorColor = BgrOfColor(m_color);
    values.Writing = {spinFullScreenColumn->value(), TWritingModeScope(comboxTypewriter->currentIndex()),
                      TWritingModeScope(comboxFocusMode->currentIndex()), chkParagraphIndent->isChecked()};
    values.Mail = {editUserMail->text(), editUserName->text(), editSever->text(), editPort->text(), editUser->text()};
    values.ExDoc = editExportDoc->text();
    values.ExFile = editExportFile->text();
    values.ExPic = editExportPic->text();
    values.Skin = editSkin->text();
    values.Backup = {chkAutoBackup->isChecked(), spinBackupTime->value(), editBackupPath->text().trimmed(),
                     spinBackupKeep->value(), spinBackupDays->value()};
    if (values.Backup.Folder.isEmpty())
        values.Backup.Folder = DefaultBackupFolder();
    return values;
}

void TfrmOption::PaintSwatch(const QColor& color) {
    m_color = color;
    QPalette palette = panelEditorColor->palette();
    palette.setColor(QPalette::Window, color);
    panelEditorColor->setPalette(palette);
    panelEditorColor->setToolTip(color.name());
}

void TfrmOption::btnEditorColorClick() {
    if (std::optional<QColor> chosen = m_dialogs.ChooseColor(m_color))
        PaintSwatch(*chosen);
}

void TfrmOption::btnOKClick() { accept(); }

void TfrmOption::btnCancelClick() { reject(); }
