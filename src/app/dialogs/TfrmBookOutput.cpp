#include "app/dialogs/TfrmBookOutput.h"

#include "app/dialogs/DialogParts.h"
#include "platform/DialogService.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct TFormatEntry {
    TBookFormat Format;
    const char* Caption;
};

// The formats in the order the list offers them.
constexpr TFormatEntry kFormats[] = {
    {TBookFormat::Docx, QT_TRANSLATE_NOOP("TfrmBookOutput", "Word 文档 (DOCX)")},
    {TBookFormat::Odt, QT_TRANSLATE_NOOP("TfrmBookOutput", "OpenDocument 文本 (ODT)")},
    {TBookFormat::Epub, QT_TRANSLATE_NOOP("TfrmBookOutput", "电子书 (EPUB)")},
    {TBookFormat::Pdf, "PDF"},
    {TBookFormat::Html, QT_TRANSLATE_NOOP("TfrmBookOutput", "网页 (HTML)")},
    {TBookFormat::Markdown, "Markdown"},
    {TBookFormat::Text, QT_TRANSLATE_NOOP("TfrmBookOutput", "纯文本 (TXT)")},
};

QRadioButton* NamedRadio(const char* name, const QString& caption) {
    auto* radio = new QRadioButton(caption);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setAccessibleName(caption);
    return radio;
}

QComboBox* NamedCombo(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

QString WithBookExtension(const QString& path, TBookFormat format) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return trimmed;
    QString stem = trimmed;
    if (BookFormatOfPath(trimmed))
        stem.chop(QFileInfo(trimmed).suffix().size() + 1);
    return stem + BookFormatExtension(format);
}

TfrmBookOutput::TfrmBookOutput(TDialogService& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmBookOutput"));
    setWindowTitle(tr("输出书稿"));
    BuildControls();
    rbLibrary->setChecked(true);
    cbFormat->setCurrentIndex(cbFormat->findData(static_cast<int>(TBookFormat::Epub)));
    cbFormatChange();
}

void TfrmBookOutput::BuildControls() {
    auto* what = new QGroupBox(tr("输出内容"));
    what->setObjectName(QStringLiteral("groupWhat"));
    what->setAccessibleName(what->title());
    rbLibrary = NamedRadio("rbLibrary", tr("整个稿件库"));
    rbFolder = NamedRadio("rbFolder", tr("选中的稿件夹"));
    rbManuscripts = NamedRadio("rbManuscripts", tr("选中的稿件"));
    auto* whatRows = new QVBoxLayout(what);
    for (QRadioButton* radio : {rbLibrary, rbFolder, rbManuscripts})
        whatRows->addWidget(radio);

    cbFormat = NamedCombo("cbFormat");
    for (const TFormatEntry& entry : kFormats)
        cbFormat->addItem(tr(entry.Caption), static_cast<int>(entry.Format));
    connect(cbFormat, &QComboBox::currentIndexChanged, this, &TfrmBookOutput::cbFormatChange);
    cbPage = NamedCombo("cbPage");
    cbPage->addItem(QStringLiteral("A5"), static_cast<int>(TBookPage::A5));
    cbPage->addItem(QStringLiteral("A4"), static_cast<int>(TBookPage::A4));
    editTitle = NamedEdit("editTitle");
    editAuthor = NamedEdit("editAuthor");
    editPath = NamedEdit("editPath");
    QToolButton* btnBrowse = nullptr;
    QWidget* pathRow = BrowseRow(editPath, "btnBrowse", &btnBrowse);
    connect(btnBrowse, &QToolButton::clicked, this, &TfrmBookOutput::btnBrowseClick);

    auto* rows = new QFormLayout;
    AddRow(rows, tr("格式："), cbFormat);
    AddRow(rows, tr("PDF 纸张："), cbPage);
    AddRow(rows, tr("书名："), editTitle);
    AddRow(rows, tr("作者："), editAuthor);
    AddRow(rows, tr("输出文件："), pathRow)->setBuddy(editPath);
    editPath->setAccessibleName(tr("输出文件"));

    QPushButton* ok = nullptr;
    QBoxLayout* buttons = OkCancelRow(this, tr("输出(&O)"), tr("取消(&C)"), &ok);
    ok->setAccessibleName(tr("输出"));
    disconnect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ok, &QPushButton::clicked, this, &TfrmBookOutput::btnOKClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addLayout(rows);
    layout->addLayout(buttons);
    findChild<QPushButton*>(QStringLiteral("btnCancel"))->setAccessibleName(tr("取消"));
}

void TfrmBookOutput::SetSelection(const QString& folderName, int manuscriptCount) {
    rbFolder->setEnabled(!folderName.isEmpty());
    rbFolder->setText(folderName.isEmpty() ? tr("选中的稿件夹") : tr("选中的稿件夹：%1").arg(folderName));
    rbManuscripts->setEnabled(manuscriptCount > 0);
    rbManuscripts->setText(manuscriptCount > 0 ? tr("选中的稿件（%1 篇）").arg(manuscriptCount) : tr("选中的稿件"));
    for (QRadioButton* radio : {rbFolder, rbManuscripts}) {
        radio->setAccessibleName(radio->text());
        if (radio->isChecked() && !radio->isEnabled())
            rbLibrary->setChecked(true);
    }
}

void TfrmBookOutput::SetChoice(const TBookOutputChoice& choice) {
    QRadioButton* scope = choice.What == TBookScope::Kind::Folder        ? rbFolder
                          : choice.What == TBookScope::Kind::Manuscripts ? rbManuscripts
                                                                         : rbLibrary;
    (scope->isEnabled() ? scope : rbLibrary)->setChecked(true);
    cbFormat->setCurrentIndex(cbFormat->findData(static_cast<int>(choice.Format)));
    cbPage->setCurrentIndex(cbPage->findData(static_cast<int>(choice.Page)));
    editTitle->setText(choice.Title);
    editAuthor->setText(choice.Author);
    editPath->setText(WithBookExtension(choice.Path, choice.Format));
    cbFormatChange();
}

TBookOutputChoice TfrmBookOutput::Choice() const {
    TBookOutputChoice choice;
    choice.What = rbFolder->isChecked()        ? TBookScope::Kind::Folder
                  : rbManuscripts->isChecked() ? TBookScope::Kind::Manuscripts
                                               : TBookScope::Kind::Library;
    choice.Format = Format();
    choice.Page = static_cast<TBookPage>(cbPage->currentData().toInt());
    choice.Title = editTitle->text().trimmed();
    choice.Author = editAuthor->text().trimmed();
    choice.Path = WithBookExtension(editPath->text(), choice.Format);
    return choice;
}

TBookFormat TfrmBookOutput::Format() const { return static_cast<TBookFormat>(cbFormat->currentData().toInt()); }

QString TfrmBookOutput::Extension() const { return BookFormatExtension(Format()).mid(1); }

void TfrmBookOutput::cbFormatChange() {
    cbPage->setEnabled(Format() == TBookFormat::Pdf);
    editPath->setText(WithBookExtension(editPath->text(), Format()));
}

void TfrmBookOutput::btnBrowseClick() {
    const QFileInfo current(editPath->text().trimmed());
    TFileDialogRequest request;
    request.caption = windowTitle();
    request.filter = QStringLiteral("%1(*.%2)|*.%2").arg(cbFormat->currentText(), Extension());
    if (!editPath->text().trimmed().isEmpty()) {
        request.initialDir = current.absolutePath();
        request.fileName = current.fileName();
    } else {
        request.fileName = editTitle->text().trimmed();
    }
    request.defaultExt = Extension();
    const QString path = m_dialogs.SaveFileName(request);
    if (!path.isEmpty())
        editPath->setText(WithBookExtension(path, Format()));
}

void TfrmBookOutput::btnOKClick() {
    if (editPath->text().trimmed().isEmpty()) {
        m_dialogs.Warn(tr("请选择输出文件。"), windowTitle());
        editPath->setFocus();
        return;
    }
    accept();
}
