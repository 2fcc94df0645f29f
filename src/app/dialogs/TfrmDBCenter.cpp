#include "app/dialogs/TfrmDBCenter.h"

#include "app/dialogs/DBAttrPanel.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "platform/ErrorText.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Translated when used: a translator is installed after static initialisation.
const char kCaption[] = QT_TRANSLATE_NOOP("TfrmDBCenter", "稿件库中心");

QPushButton* CentreButton(const char* name, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QString SamePathKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

TfrmDBCenter::TfrmDBCenter(TDialogService& dialogs, TqlvDocData& data, const QString& openPath, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_data(data), m_openPath(openPath) {
    setObjectName(QStringLiteral("frmDBCenter"));
    setWindowTitle(tr(kCaption));
    m_lvDB = new QListWidget;
    m_lvDB->setObjectName(QStringLiteral("lvDB"));
    m_lvDB->setAccessibleName(tr("稿件库"));
    m_lvDB->setViewMode(QListView::IconMode);
    m_lvDB->setMovement(QListView::Static);
    m_lvDB->setResizeMode(QListView::Adjust);
    m_lvDB->setSortingEnabled(true);
    m_lvDB->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvDB->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvDB->installEventFilter(this);
    connect(m_lvDB, &QListWidget::itemSelectionChanged, this, &TfrmDBCenter::lvDBSelectionChanged);
    connect(m_lvDB, &QListWidget::itemDoubleClicked, this, &TfrmDBCenter::btnOpenClick);

    m_attributes = new TDBAttrPanel(false);
    m_attributes->CommentEdit()->setVisible(false);
    m_attributes->PositionEdit()->setVisible(false);

    auto* btnCreate = CentreButton("btnCreate", tr("新建(&C)"), tr("新建稿件库"));
    m_btnOpen = CentreButton("btnOpen", tr("打开(&O)"), tr("打开稿件库"));
    auto* btnAdd = CentreButton("btnAdd", tr("添加(&A)"), tr("添加已存在的稿件库"));
    m_btnDel = CentreButton("btnDel", tr("移除(&D)"), tr("从列表中移除"));
    auto* tbnCancel = CentreButton("tbnCancel", tr("关闭(&X)"), tr("关闭"));
    connect(btnCreate, &QPushButton::clicked, this, &TfrmDBCenter::btnCreateClick);
    connect(m_btnOpen, &QPushButton::clicked, this, &TfrmDBCenter::btnOpenClick);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmDBCenter::btnAddClick);
    connect(m_btnDel, &QPushButton::clicked, this, &TfrmDBCenter::btnDelClick);
    connect(tbnCancel, &QPushButton::clicked, this, &TfrmDBCenter::tbnCancelClick);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnCreate, m_btnOpen, btnAdd, m_btnDel})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(tbnCancel);
    auto* body = new QHBoxLayout;
    body->addWidget(m_lvDB, 1);
    body->addWidget(m_attributes, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    resize(640, 420);

    FillList();
    lvDBSelectionChanged();
}

TfrmDBCenter::~TfrmDBCenter() { CloseOwnDatabase(); }

void TfrmDBCenter::FillList() {
    const QSignalBlocker quiet(m_lvDB);
    m_lvDB->clear();
    for (const QString& name : m_data.GetDBCenterList()) {
        if (QFileInfo(m_data.GetDBCenterPath(name)).isFile())
            m_lvDB->addItem(new QListWidgetItem(style()->standardIcon(QStyle::SP_DriveHDIcon), name));
        else
            m_data.RemoveFromDBCenter(name);
    }
    lvDBSelectionChanged();
}

QListWidgetItem* TfrmDBCenter::SelectedItem() const {
    const QList<QListWidgetItem*> selected = m_lvDB->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool TfrmDBCenter::IsOpenLibrary(const QString& path) const {
    return !m_openPath.isEmpty() && m_data.Opened() && SamePathKey(path) == SamePathKey(m_openPath);
}

bool TfrmDBCenter::OwnDatabaseConnected() const { return m_reader.Connected(); }

void TfrmDBCenter::CloseOwnDatabase() { m_reader.Close(); }

void TfrmDBCenter::lvDBSelectionChanged() {
    QListWidgetItem* item = SelectedItem();
    m_btnOpen->setEnabled(item != nullptr);
    m_btnDel->setEnabled(item != nullptr);
    m_attributes->CommentEdit()->setVisible(item != nullptr);
    m_attributes->PositionEdit()->setVisible(item != nullptr);
    CloseOwnDatabase();
    m_attributes->Clear();
    if (item)
        ShowAttributes(m_data.GetDBCenterPath(item->text()));
}

void TfrmDBCenter::ShowAttributes(const QString& path) {
    if (!QFileInfo(path).isFile())
        return;
    if (IsOpenLibrary(path)) {
        TDBAttr attr;
        m_data.GetDocDataAttr(attr);
        m_attributes->Show(attr);
        return;
    }
    try {
        std::string known;
        if (KnownPassword)
            if (const std::optional<QString> password = KnownPassword(path))
                known = PasswordBytes(*password);
        m_attributes->Show(m_reader.Read(path, known));
        if (const std::string used = m_reader.Password(); !used.empty())
            m_passwords.insert(path, FromGB(QByteArray::fromStdString(used)));
    } catch (const tomedb::EAbort&) {
        CloseOwnDatabase();  // the password prompt was cancelled
    } catch (const std::exception& error) {
        CloseOwnDatabase();
        m_dialogs.Warn(tr("无法读取稿件库：%1\n%2").arg(path, TranslatedText(QString::fromUtf8(error.what()))),
                       tr(kCaption));
    }
}

void TfrmDBCenter::btnCreateClick() {
    CloseOwnDatabase();
    QString created;
    if (!OnCreate || !OnCreate(&created))
        return;
    m_fileName = created;
    accept();
}

void TfrmDBCenter::btnOpenClick() {
    QListWidgetItem* item = SelectedItem();
    if (!item)
        return;
    m_fileName = m_data.GetDBCenterPath(item->text());
    accept();
}

void TfrmDBCenter::btnAddClick() {
    TFileDialogRequest request;
    request.caption = tr("添加稿件库");
    request.filter = tr("稿件库(*.qdb)|*.qdb");
    const QStringList files = m_dialogs.OpenFileNames(request);
    for (const QString& file : files)
        m_data.AddToDBCenter(QFileInfo(file).absoluteFilePath());
    if (!files.isEmpty())
        FillList();
}

void TfrmDBCenter::btnDelClick() {
    QListWidgetItem* item = SelectedItem();
    if (!item)
        return;
    if (!m_dialogs.Confirm(tr("确实要将此稿件库从列表中移除吗？"), tr("移除稿件库")))
        return;
    m_data.RemoveFromDBCenter(item->text());
    delete item;
    lvDBSelectionChanged();
}

void TfrmDBCenter::tbnCancelClick() { reject(); }

void TfrmDBCenter::done(int result) {
    CloseOwnDatabase();
    QDialog::done(result);
}

bool TfrmDBCenter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lvDB && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            btnDelClick();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && SelectedItem()) {
            btnOpenClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
