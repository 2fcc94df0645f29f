#include "app/dialogs/TfrmExport.h"

#include "app/ViewFill.h"
#include "app/dialogs/ExchangeParts.h"
#include "library/RecordExchange.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSizeColumn = 1;
constexpr int kIdColumn = 2;
const QString kExtension = QStringLiteral(".txt");

QPushButton* Button(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QTreeWidget* List(const char* name, const QString& accessibleName) {
    auto* list = new QTreeWidget;
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(accessibleName);
    list->setRootIsDecorated(false);
    return list;
}

QString ExportCaption() { return QCoreApplication::translate("TfrmExport", "导出"); }

// The line naming a record the export could not write.
QString ExportFailureLine(const TExchangeFailure& failure) {
    switch (failure.fault) {
        case TExchangeFault::Missing:
            return QCoreApplication::translate("TfrmExport", "\"%1\" 已不存在").arg(failure.name);
        case TExchangeFault::BadName:
            return QCoreApplication::translate("TfrmExport", "\"%1\" 不能用作文件名").arg(failure.name);
        case TExchangeFault::Damaged:
            return QCoreApplication::translate("TfrmExport", "\"%1\" 无法读取：%2").arg(failure.name, failure.detail);
        default:
            return failure.detail;
    }
}

// Runs step and shows what it threw; true when it returned.
template <typename Step>
bool Guarded(TDialogService& dialogs, Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        dialogs.Warn(QString::fromUtf8(error.what()), ExportCaption());
        return false;
    }
}

}  // namespace

TfrmExport::TfrmExport(TDialogService& dialogs, TqlvDocData& library, TqlvDocuments& materials, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_library(library), m_materials(materials) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(ExportCaption());
    BuildControls();
    connect(m_tvDocFloder, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            ShowFolder(ItemID(node));
    });
    connect(m_lvDocs, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { AddRecord(item); });
    connect(m_lvFiles, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (!m_progress->Running())
            delete item;
    });
    connect(m_btnSelectAll, &QPushButton::clicked, this, &TfrmExport::btnSelectAllClick);
    connect(m_btnRemoveAll, &QPushButton::clicked, this, &TfrmExport::btnRemoveAllClick);
    connect(m_btnBrowse, &QPushButton::clicked, this, &TfrmExport::btnBrowseClick);
    connect(m_btnExport, &QPushButton::clicked, this, &TfrmExport::btnExportClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfrmExport::reject);
}

void TfrmExport::BuildControls() {
    m_tvDocFloder = List("tvDocFloder", tr("稿件夹"));
    m_tvDocFloder->setRootIsDecorated(true);
    m_tvDocFloder->setHeaderHidden(true);
    m_lvDocs = List("lvDocs", tr("文件夹中的稿件"));
    m_lvDocs->setHeaderLabels({tr("稿件")});
    m_lvFiles = List("lvFiles", tr("要导出的稿件"));
    m_lvFiles->setHeaderLabels({tr("稿件"), tr("大小"), QStringLiteral("ID")});
    m_lvFiles->setColumnWidth(0, 140);
    m_lvFiles->setColumnHidden(kIdColumn, true);

    m_lblPath = new QLabel(tr("导出稿件的存放路径(不要包含空格)："));
    m_lblPath->setObjectName(QStringLiteral("lblPath"));
    m_editPath = new QLineEdit;
    m_editPath->setObjectName(QStringLiteral("editPath"));
    m_editPath->setReadOnly(true);
    m_lblPath->setBuddy(m_editPath);
    m_editPath->setAccessibleName(m_lblPath->text());
    m_btnBrowse = Button("btnBrowse", "...");
    m_btnBrowse->setToolTip(tr("浏览"));
    m_btnBrowse->setAccessibleName(tr("浏览"));
    m_btnSelectAll = Button("btnSelectAll", tr("全部选择>>"));
    m_btnRemoveAll = Button("btnRemoveAll", tr("全部删除<<"));
    m_btnExport = Button("btnExport", tr("导出(&E)"));
    m_btnClose = Button("btnClose", tr("关闭(&C)"));
    m_progress = new TExchangeProgress;

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_btnSelectAll);
    middle->addWidget(m_btnRemoveAll);
    middle->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_tvDocFloder, 1);
    lists->addWidget(m_lvDocs, 1);
    lists->addLayout(middle);
    lists->addWidget(m_lvFiles, 2);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_editPath, 1);
    pathRow->addWidget(m_btnBrowse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnExport);
    buttons->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(m_lblPath);
    layout->addLayout(pathRow);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    resize(680, 400);
}

QString TfrmExport::Path() const { return m_editPath->text(); }
void TfrmExport::SetPath(const QString& folder) { m_editPath->setText(folder); }

void TfrmExport::SetPathLabel(const QString& text) {
    m_lblPath->setText(text);
    m_editPath->setAccessibleName(text);
}

void TfrmExport::SetRecordCaption(const QString& caption) {
    m_lvDocs->headerItem()->setText(0, caption);
    m_lvFiles->headerItem()->setText(0, caption);
}

void TfrmExport::SetSizeColumnWidth(int width) {
    m_lvFiles->setColumnHidden(kSizeColumn, width == 0);
    if (width > 0)
        m_lvFiles->setColumnWidth(kSizeColumn, width);
}

bool TfrmExport::ForLibrary() const { return exchange::IsLibraryTree(m_tvDocFloder); }

TRecordStore& TfrmExport::Store() const { return ForLibrary() ? static_cast<TRecordStore&>(m_library) : m_materials; }

void TfrmExport::ShowFolder(int folderID) {
    Guarded(m_dialogs, [&] {
        FillListWidget(m_lvDocs, ForLibrary() ? m_library.LoadDocList(folderID) : m_materials.LoadDocList(folderID));
    });
}

void TfrmExport::AddRecord(const QTreeWidgetItem* docItem) {
    if (!docItem || m_progress->Running())
        return;
    const int id = ItemID(docItem);
    TDocAttr attr;
    // A record deleted since the list was filled is not offered.
    if (!Guarded(m_dialogs, [&] { Store().ReadRecord(id, attr); }) || attr.DocName.isEmpty())
        return;
    const bool library = ForLibrary();
    TViewItem record;
    record.Caption = attr.DocName;
    record.ID = id;
    record.ImageIndex = library ? docimages::Manuscript : docimages::Material;
    record.SubItems = {library ? attr.DocSize : QString(), QString::number(id)};
    m_lvFiles->addTopLevelItem(MakeListItem(record));
}

void TfrmExport::btnSelectAllClick() {
    for (int i = 0; i < m_lvDocs->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_lvDocs->topLevelItem(i);
        m_lvDocs->setCurrentItem(item);
        AddRecord(item);
    }
}

void TfrmExport::btnRemoveAllClick() {
    if (!m_progress->Running())
        m_lvFiles->clear();
}

void TfrmExport::btnBrowseClick() {
    const QString folder = m_dialogs.FolderName(tr("请选择一个文件夹"), m_editPath->text());
    if (!folder.isEmpty())
        m_editPath->setText(folder);
}

void TfrmExport::SetWorking(bool working) {
    for (QWidget* control : std::initializer_list<QWidget*>{m_btnSelectAll, m_btnRemoveAll, m_btnBrowse, m_btnExport,
                                                            m_btnClose, m_tvDocFloder, m_lvDocs})
        control->setEnabled(!working);
}

void TfrmExport::btnExportClick() {
    const QString folder = m_editPath->text().trimmed();
    const int total = m_lvFiles->topLevelItemCount();
    if (folder.isEmpty() || total == 0 || m_progress->Running())
        return;
    // A folder preference that does not exist yet is made, as a user expects.
    if (!QDir().mkpath(folder)) {
        m_dialogs.Warn(tr("无法创建文件夹 \"%1\"").arg(folder), ExportCaption());
        return;
    }
    const bool library = ForLibrary();
    QList<int> ids;
    QStringList listed;
    for (int i = 0; i < total; ++i) {
        ids.append(m_lvFiles->topLevelItem(i)->text(kIdColumn).toInt());
        listed.append(m_lvFiles->topLevelItem(i)->text(0));
    }
    TRecordExchange work(Store());
    work.SetProgress([this](int done, int, const QString& name) { return m_progress->Step(done, name); });
    TExportTally tally;
    SetWorking(true);
    m_progress->Start(total);
    const bool finished = Guarded(m_dialogs, [&] { tally = work.Export(ids, folder, listed); });
    m_progress->Finish();
    SetWorking(false);
    if (!finished)
        return;

    QString text = library ? tr("已经完成对稿件的导出！") : tr("已经完成对资料的导出！");
    if (tally.cancelled)
        text = tr("导出已取消：已经导出 %1 个文件，共 %2 个。").arg(tally.written.size()).arg(total);
    QStringList renamed;
    for (const TExportedRecord& record : tally.written)
        if (record.renamed)
            renamed << QFileInfo(record.path).fileName();
    if (!renamed.isEmpty())
        text += (library ? tr("\n同名的稿件另存为：") : tr("\n同名的资料另存为：")) + exchange::NameList(renamed);
    QStringList failures;
    for (const TExchangeFailure& failure : tally.failures)
        failures << ExportFailureLine(failure);
    text += exchange::FailureLines(
        (library ? tr("%1 个稿件未能导出：") : tr("%1 个资料未能导出：")).arg(failures.size()), failures);
    m_dialogs.Inform(text, ExportCaption(), failures.isEmpty() ? TMessageIcon::Information : TMessageIcon::Warning);
}

// Closing while files are being written stops after the current file.
void TfrmExport::reject() {
    if (m_progress->Running()) {
        m_progress->Cancel();
        return;
    }
    QDialog::reject();
}
