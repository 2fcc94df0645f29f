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
    m_rbLibrary->setChecked(true);
    m_cbFormat->setCurrentIndex(m_cbFormat->findData(static_cast<int>(TBookFormat::Epub)));
    cbFormatChange();
}

void TfrmBookOutput::BuildControls() {
    auto* what = new QGroupBox(tr("输出内容"));
    what->setObjectName(QStringLiteral("groupWhat"));
    what->setAccessibleName(what->title());
    m_rbLibrary = NamedRadio("rbLibrary", tr("整个稿件库"));
    m_rbFolder = NamedRadio("rbFolder", tr("选中的稿件夹"));
    m_rbManuscripts = NamedRadio("rbManuscripts", tr("选中的稿件"));
    auto* whatRows = new QVBoxLayout(what);
    for (QRadioButton* radio : {m_rbLibrary, m_rbFolder, m_rbManuscripts})
        whatRows->addWidget(radio);

    m_cbFormat = NamedCombo("cbFormat");
    for (const TFormatEntry& entry : kFormats)
        m_cbFormat->addItem(tr(entry.Caption), static_cast<int>(entry.Format));
    connect(m_cbFormat, &QComboBox::currentIndexChanged, this, &TfrmBookOutput::cbFormatChange);
    m_cbPage = NamedCombo("cbPage");
    m_cbPage->addItem(QStringLiteral("A5"), static_cast<int>(TBookPage::A5));
    m_cbPage->addItem(QStringLiteral("A4"), static_cast<int>(TBookPage::A4));
    m_editTitle = NamedEdit("editTitle");
    m_editAuthor = NamedEdit("editAuthor");
    m_editPath = NamedEdit("editPath");
    QToolButton* btnBrowse = nullptr;
    QWidget* pathRow = BrowseRow(m_editPath, "btnBrowse", &btnBrowse);
    connect(btnBrowse, &QToolButton::clicked, this, &TfrmBookOutput::btnBrowseClick);

    auto* rows = new QFormLayout;
    AddRow(rows, tr("格式："), m_cbFormat);
    AddRow(rows, tr("PDF 纸张："), m_cbPage);
    AddRow(rows, tr("书名："), m_editTitle);
    AddRow(rows, tr("作者："), m_editAuthor);
    AddRow(rows, tr("输出文件："), pathRow)->setBuddy(m_editPath);
    m_editPath->setAccessibleName(tr("输出文件"));

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
    m_rbFolder->setEnabled(!folderName.isEmpty());
    m_rbFolder->setText(folderName.isEmpty() ? tr("选中的稿件夹") : tr("选中的稿件夹：%1").arg(folderName));
    m_rbManuscripts->setEnabled(manuscriptCount > 0);
    m_rbManuscripts->setText(manuscriptCount > 0 ? tr("选中的稿件（%1 篇）").arg(manuscriptCount) : tr("选中的稿件"));
    for (QRadioButton* radio : {m_rbFolder, m_rbManuscripts}) {
        radio->setAccessibleName(radio->text());
        if (radio->isChecked() && !radio->isEnabled())
            m_rbLibrary->setChecked(true);
    }
}

void TfrmBookOutput::SetChoice(const TBookOutputChoice& choice) {
    QRadioButton* scope = choice.What == TBookScope::Kind::Folder        ? m_rbFolder
                          : choice.What == TBookScope::Kind::Manuscripts ? m_rbManuscripts
                                                                         : m_rbLibrary;
    (scope->isEnabled() ? scope : m_rbLibrary)->setChecked(true);
    m_cbFormat->setCurrentIndex(m_cbFormat->findData(static_cast<int>(choice.Format)));
    m_cbPage->setCurrentIndex(m_cbPage->findData(static_cast<int>(choice.Page)));
    m_editTitle->setText(choice.Title);
    m_editAuthor->setText(choice.Author);
    m_editPath->setText(WithBookExtension(choice.Path, choice.Format));
    cbFormatChange();
}

TBookOutputChoice TfrmBookOutput::Choice() const {
    TBookOutputChoice choice;
    choice.What = m_rbFolder->isChecked()        ? TBookScope::Kind::Folder
                  : m_rbManuscripts->isChecked() ? TBookScope::Kind::Manuscripts
                                                 : TBookScope::Kind::Library;
    choice.Format = Format();
    choice.Page = static_cast<TBookPage>(m_cbPage->currentData().toInt());
    choice.Title = m_editTitle->text().trimmed();
    choice.Author = m_editAuthor->text().trimmed();
    choice.Path = WithBookExtension(m_editPath->text(), choice.Format);
    return choice;
}

TBookFormat TfrmBookOutput::Format() const { return static_cast<TBookFormat>(m_cbFormat->currentData().toInt()); }

QString TfrmBookOutput::Extension() const { return BookFormatExtension(Format()).mid(1); }

void TfrmBookOutput::cbFormatChange() {
    m_cbPage->setEnabled(Format() == TBookFormat::Pdf);
    m_editPath->setText(WithBookExtension(m_editPath->text(), Format()));
}

void TfrmBookOutput::btnBrowseClick() {
    const QFileInfo current(m_editPath->text().trimmed());
    TFileDialogRequest request;
    request.caption = windowTitle();
    request.filter = QStringLiteral("%1(*.%2)|*.%2").arg(m_cbFormat->currentText(), Extension());
    if (!m_editPath->text().trimmed().isEmpty()) {
        request.initialDir = current.absolutePath();
        request.fileName = current.fileName();
    } else {
        request.fileName = m_editTitle->text().trimmed();
    }
    request.defaultExt = Extension();
    const QString path = m_dialogs.SaveFileName(request);
    if (!path.isEmpty())
        m_editPath->setText(WithBookExtension(path, Format()));
}

void TfrmBookOutput::btnOKClick() {
    if (m_editPath->text().trimmed().isEmpty()) {
        m_dialogs.Warn(tr("请选择输出文件。"), windowTitle());
        m_editPath->setFocus();
        return;
    }
    accept();
}
