#include "tools/searcher/TfrmSearcher.h"

#include "platform/DialogService.h"
#include "platform/Skin.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Translated when used: a translator is installed after static initialisation.
const char kPauseCaption[] = QT_TRANSLATE_NOOP("TfrmSearcher", "暂停(&P)");
// Translated when used: a translator is installed after static initialisation.
const char kResumeCaption[] = QT_TRANSLATE_NOOP("TfrmSearcher", "继续(&R)");

}  // namespace

TfrmSearcher::TfrmSearcher(QWidget* parent, OpenFileHandler openFile)
    : QDialog(parent), m_openFile(std::move(openFile)), m_caseInsensitive(std::make_shared<std::atomic<bool>>(true)) {
    setObjectName(QStringLiteral("frmSearcher"));
    setWindowTitle(tr("查找文件"));
    setModal(false);
    BuildControls();
    connect(btnSearch, &QPushButton::clicked, this, &TfrmSearcher::btnSearchClick);
    connect(btnPause, &QPushButton::clicked, this, &TfrmSearcher::btnPauseClick);
    connect(btnBrowse, &QPushButton::clicked, this, &TfrmSearcher::btnBrowseClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmSearcher::btnExitClick);
    connect(chkWordMatch, &QCheckBox::clicked, this, &TfrmSearcher::chkWordMatchClick);
    connect(listFiles, &QListWidget::itemDoubleClicked, this, &TfrmSearcher::listFilesDblClick);
}

TfrmSearcher::~TfrmSearcher() { StopScan(); }

void TfrmSearcher::BuildControls() {
    lblFindStr = Named(new QLabel(tr("查找内容："), this), "lblFindStr");
    editFindStr = Named(new QLineEdit(this), "editFindStr");
    lblFindStr->setBuddy(editFindStr);
    lblFindPath = Named(new QLabel(tr("查找路径："), this), "lblFindPath");
    editFindPath = Named(new QLineEdit(this), "editFindPath");
    lblFindPath->setBuddy(editFindPath);
    btnBrowse = Named(new QPushButton(QStringLiteral("..."), this), "btnBrowse");
    btnBrowse->setToolTip(tr("浏览文件夹"));
    btnBrowse->setAccessibleName(tr("浏览文件夹"));
    btnBrowse->setAutoDefault(false);
    chkSub = Named(new QCheckBox(tr("包括子文件夹"), this), "chkSub");
    chkSub->setChecked(true);
    chkWordMatch = Named(new QCheckBox(tr("不区分大小写"), this), "chkWordMatch");
    chkWordMatch->setChecked(true);
    listFiles = Named(new QListWidget(this), "listFiles");
    listFiles->setAccessibleName(tr("查找结果"));
    lblProgress = Named(new QLabel(tr("查找进度："), this), "lblProgress");
    progressBar = Named(new QProgressBar(this), "progressBar");
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(true);
    lblProgress->setBuddy(progressBar);
    btnSearch = Named(new QPushButton(tr("搜索(&S)"), this), "btnSearch");
    btnSearch->setDefault(true);
    btnPause = Named(new QPushButton(tr(kPauseCaption), this), "btnPause");
    btnPause->setEnabled(false);
    btnPause->setAutoDefault(false);
    btnExit = Named(new QPushButton(tr("退出(&X)"), this), "btnExit");
    btnExit->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(lblFindStr, 0, 0);
    fields->addWidget(editFindStr, 0, 1, 1, 2);
    fields->addWidget(lblFindPath, 1, 0);
    fields->addWidget(editFindPath, 1, 1);
    fields->addWidget(btnBrowse, 1, 2);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(chkSub);
    boxes->addWidget(chkWordMatch);
    boxes->addStretch(1);
    auto* progress = new QHBoxLayout;
    progress->addWidget(lblProgress);
    progress->addWidget(progressBar, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnSearch);
    buttons->addWidget(btnPause);
    buttons->addWidget(btnExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(boxes);
    layout->addWidget(listFiles, 1);
    layout->addLayout(progress);
    layout->addLayout(buttons);
    resize(520, 420);
}

void TfrmSearcher::btnSearchClick() {
    StopScan();
    listFiles->clear();
    progressBar->setValue(0);
    TSearchRequest request;
    request.folder = editFindPath->text();
    request.findText = editFindStr->text();
    request.includeSubFolders = chkSub->isChecked();
    request.caseInsensitive = m_caseInsensitive;
    TSearchHandlers handlers;
    handlers.found = [this](const QString& path, int percent) { AddMatch(path, percent); };
    handlers.progress = [this](int percent) { progressBar->setValue(percent); };
    handlers.finished = [this] { SearchEnded(); };
    m_worker = std::make_unique<TSearchWordInFile>(std::move(request), std::move(handlers));
    m_worker->Start();
    btnPause->setText(tr(kPauseCaption));
    btnPause->setEnabled(true);
}

void TfrmSearcher::btnPauseClick() {
    if (!m_worker || !m_worker->IsRunning())
        return;
    if (m_worker->IsPaused()) {
        m_worker->Resume();
        btnPause->setText(tr(kPauseCaption));
    } else {
        m_worker->Pause();
        btnPause->setText(tr(kResumeCaption));
    }
}

void TfrmSearcher::btnBrowseClick() {
    const QString folder = InstalledDialogService().FolderName(tr("请选择一个文件夹"), editFindPath->text());
    if (!folder.isEmpty())
        editFindPath->setText(folder);
}

void TfrmSearcher::btnExitClick() { close(); }

void TfrmSearcher::chkWordMatchClick() { m_caseInsensitive->store(chkWordMatch->isChecked()); }

void TfrmSearcher::listFilesDblClick(QListWidgetItem* item) {
    if (item && m_openFile)
        m_openFile(item->text());
}

void TfrmSearcher::AddMatch(const QString& path, int percent) {
    auto* item = new QListWidgetItem(path, listFiles);
    item->setToolTip(path);
    progressBar->setValue(percent);
}

void TfrmSearcher::SearchEnded() {
    progressBar->setValue(0);
    btnPause->setEnabled(false);
    btnPause->setText(tr(kPauseCaption));
    progressBar->setValue(100);
}

void TfrmSearcher::StopScan() {
    if (m_worker)
        m_worker->Stop();
}

void TfrmSearcher::closeEvent(QCloseEvent* event) {
    StopScan();
    btnPause->setEnabled(false);
    QDialog::closeEvent(event);
}

// Escape (the cancel button's key) closes the window like "退出(&X)".
void TfrmSearcher::reject() {
    StopScan();
    btnPause->setEnabled(false);
    QDialog::reject();
}

TfrmSearcher* OpenFindInFiles(QWidget* parent, const TSkin& skin, TfrmSearcher::OpenFileHandler openFile) {
    auto* form = new TfrmSearcher(parent, std::move(openFile));
    skin.ApplyTo(form);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}
