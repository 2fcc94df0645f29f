#include "app/dialogs/TfrmImport.h"

#include "app/ViewFill.h"
#include "app/dialogs/ExchangeParts.h"
#include "library/RecordExchange.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFileImage = 3;

QPushButton* Button(const char* name, const QString& caption, const QString& hint = QString()) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

QString ImportCaption() { return QCoreApplication::translate("TfrmImport", "导入"); }

}  // namespace

TfrmImport::TfrmImport(TDialogService& dialogs, TqlvDocData& library, TqlvDocuments& materials, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_library(library), m_materials(materials) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(ImportCaption());
    BuildControls();
    connect(m_btnAdd, &QPushButton::clicked, this, &TfrmImport::btnAddClick);
    connect(m_btnDel, &QPushButton::clicked, this, &TfrmImport::btnDelClick);
    connect(m_btnClear, &QPushButton::clicked, this, &TfrmImport::btnClearClick);
    connect(m_btnImport, &QPushButton::clicked, this, &TfrmImport::btnImportClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfrmImport::reject);
    m_lvDoc->installEventFilter(this);
}

void TfrmImport::BuildControls() {
    m_label1 = new QLabel(tr("选择稿件夹"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_tvDocFloder = new QTreeWidget;
    m_tvDocFloder->setObjectName(QStringLiteral("tvDocFloder"));
    m_tvDocFloder->setHeaderHidden(true);
    m_label1->setBuddy(m_tvDocFloder);
    m_tvDocFloder->setAccessibleName(m_label1->text());

    m_lvDoc = new QTreeWidget;
    m_lvDoc->setObjectName(QStringLiteral("lvDoc"));
    m_lvDoc->setAccessibleName(tr("导入的文件"));
    m_lvDoc->setRootIsDecorated(false);
    m_lvDoc->setHeaderLabels({tr("稿件"), tr("位置")});
    m_lvDoc->setColumnWidth(0, 140);

    m_btnAdd = Button("btnAdd", tr("添加"), tr("添加稿件"));
    m_btnDel = Button("btnDel", tr("删除"), tr("删除稿件"));
    m_btnClear = Button("btnClear", tr("清空"));
    m_btnImport = Button("btnImport", tr("导入(&I)"));
    m_btnClose = Button("btnClose", tr("关闭(&C)"));
    m_progress = new TExchangeProgress;

    auto* lists = new QHBoxLayout;
    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(m_label1);
    treeColumn->addWidget(m_tvDocFloder, 1);
    lists->addLayout(treeColumn, 1);
    lists->addWidget(m_lvDoc, 2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_btnAdd, m_btnDel, m_btnClear})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_btnImport);
    buttons->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    resize(560, 360);
}

void TfrmImport::SetFolderLabel(const QString& text) {
    m_label1->setText(text);
    m_tvDocFloder->setAccessibleName(text);
}

void TfrmImport::btnAddClick() {
    TFileDialogRequest request;
    request.caption = ImportCaption();
    request.filter = tr("文本文件(*.txt)|*.txt");
    AddFiles(m_dialogs.OpenFileNames(request));
}

// A file that is gone or unreadable is named; the others are still listed.
void TfrmImport::AddFiles(const QStringList& paths) {
    QStringList refused;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable()) {
            refused << path;
            continue;
        }
        auto* item = new QTreeWidgetItem(QStringList{info.completeBaseName(), path});
        item->setData(0, Qt::UserRole + 1, kFileImage);
        m_lvDoc->addTopLevelItem(item);
    }
    if (!refused.isEmpty())
        m_dialogs.Warn(tr("以下文件不存在或无法读取，没有加入列表：\n") + refused.join(QLatin1Char('\n')),
                       ImportCaption());
}

void TfrmImport::btnDelClick() {
    if (!m_progress->Running())
        delete m_lvDoc->currentItem();
}

void TfrmImport::btnClearClick() {
    if (!m_progress->Running())
        m_lvDoc->clear();
}

int TfrmImport::TargetFolder() const {
    const QTreeWidgetItem* node = m_tvDocFloder->currentItem();
    return node ? ItemID(node) : 0;
}

void TfrmImport::SetWorking(bool working) {
    for (QPushButton* button : {m_btnAdd, m_btnDel, m_btnClear, m_btnImport, m_btnClose})
        button->setEnabled(!working);
    m_tvDocFloder->setEnabled(!working);
}

namespace {

// The line naming a file the import refused.
QString ImportFailureLine(const TExchangeFailure& failure) {
    switch (failure.fault) {
        case TExchangeFault::Missing:
            return QCoreApplication::translate("TfrmImport", "\"%1\" 不存在").arg(failure.name);
        case TExchangeFault::NotAFile:
            return QCoreApplication::translate("TfrmImport", "\"%1\" 不是普通文件").arg(failure.name);
        case TExchangeFault::NotText:
            return QCoreApplication::translate("TfrmImport", "\"%1\" 不是文本文件").arg(failure.name);
        default:
            return QCoreApplication::translate("TfrmImport", "无法读取文件 \"%1\"：%2")
                .arg(failure.name, failure.detail);
    }
}

}  // namespace

void TfrmImport::btnImportClick() {
    if (m_progress->Running())
        return;
    const bool library = exchange::IsLibraryTree(m_tvDocFloder);
    QList<TImportFile> files;
    for (int i = 0; i < m_lvDoc->topLevelItemCount(); ++i)
        files.append({QFile::encodeName(m_lvDoc->topLevelItem(i)->text(1))});
    TRecordExchange work(library ? static_cast<TRecordStore&>(m_library) : m_materials);
    work.SetProgress([this](int done, int, const QString& name) { return m_progress->Step(done, name); });
    TImportTally tally;
    QString failure;
    SetWorking(true);
    m_progress->Start(static_cast<int>(files.size()));
    try {
        tally = work.Import(files, TargetFolder());
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    m_progress->Finish();
    SetWorking(false);
    if (!failure.isEmpty()) {
        m_dialogs.Warn(failure, ImportCaption());
        return;
    }
    m_imported += static_cast<int>(tally.stored.size());
    QString text = library ? tr("已经完成稿件的导入！") : tr("已经完成资料的导入！");
    if (tally.cancelled)
        text = tr("导入已取消：没有导入任何文件。");
    QStringList failures;
    for (const TExchangeFailure& refused : tally.failures)
        failures << ImportFailureLine(refused);
    if (!failures.isEmpty())
        text =
            tr("没有导入任何文件。") + exchange::FailureLines(tr("%1 个文件无法导入：").arg(failures.size()), failures);
    m_dialogs.Inform(text, ImportCaption(), failures.isEmpty() ? TMessageIcon::Information : TMessageIcon::Warning);
}

bool TfrmImport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lvDoc && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        btnDelClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Closing while files are being imported stops after the current file.
void TfrmImport::reject() {
    if (m_progress->Running()) {
        m_progress->Cancel();
        return;
    }
    QDialog::reject();
}
