#include "app/dialogs/TfrmRestore.h"

#include "app/dialogs/DialogParts.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Figure(int value) { return value < 0 ? QStringLiteral("?") : QString::number(value); }

QString StateText(const TSnapshotInfo& info) {
    if (info.Damaged)
        return QCoreApplication::translate("TfrmRestore", "已损坏");
    if (info.Encrypted && !info.Readable)
        return QCoreApplication::translate("TfrmRestore", "已加密");
    if (info.BeforeRestore)
        return QCoreApplication::translate("TfrmRestore", "恢复前的备份");
    return QString();
}

}  // namespace

TfrmRestore::TfrmRestore(const QList<TSnapshotInfo>& snapshots, QWidget* parent)
    : QDialog(parent), m_snapshots(snapshots) {
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(tr("从备份恢复"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("选择要恢复的备份（当前的稿件库会先备份）："), this);
    lvBackups = new QTreeWidget(this);
    lvBackups->setObjectName(QStringLiteral("lvBackups"));
    label->setBuddy(lvBackups);
    lvBackups->setAccessibleName(tr("备份列表"));
    lvBackups->setRootIsDecorated(false);
    lvBackups->setHeaderLabels({tr("时间"), tr("大小"), tr("稿件夹"), tr("稿件"), tr("状态")});
    lvBackups->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(label);
    layout->addWidget(lvBackups, 1);
    layout->addLayout(OkCancelRow(this, tr("恢复"), tr("取消"), &btnOK));
    btnCancel = findChild<QPushButton*>(QStringLiteral("btnCancel"));
    connect(lvBackups, &QTreeWidget::itemSelectionChanged, this, &TfrmRestore::UpdateButtons);
    connect(lvBackups, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (btnOK->isEnabled())
            accept();
    });
    Fill();
    // Every column whole: the list as wide as its columns, the dialog around it.
    lvBackups->setMinimumWidth(lvBackups->header()->length() + 2 * lvBackups->frameWidth() + 24);
    resize(qMax(560, minimumSizeHint().width()), 320);
}

void TfrmRestore::Fill() {
    const QLocale locale;
    for (int i = 0; i < m_snapshots.size(); ++i) {
        const TSnapshotInfo& info = m_snapshots[i];
        auto* item = new QTreeWidgetItem(lvBackups);
        item->setText(0, locale.toString(info.Time, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        item->setText(1, tr("%1 字节").arg(info.Size));  // as the library's size is shown
        item->setText(2, Figure(info.Folders));
        item->setText(3, Figure(info.Manuscripts));
        item->setText(4, StateText(info));
        item->setData(0, Qt::UserRole, i);
        if (!info.Restorable())
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }
    for (int i = 0; i < lvBackups->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvBackups->topLevelItem(i);
        if (item->flags() & Qt::ItemIsSelectable) {
            lvBackups->setCurrentItem(item);
            break;
        }
    }
    UpdateButtons();
}

void TfrmRestore::UpdateButtons() { btnOK->setEnabled(Chosen().has_value()); }

std::optional<TSnapshotInfo> TfrmRestore::Chosen() const {
    const QList<QTreeWidgetItem*> selected = lvBackups->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const TSnapshotInfo& info = m_snapshots.at(selected.first()->data(0, Qt::UserRole).toInt());
    if (!info.Restorable())
        return std::nullopt;
    return info;
}
