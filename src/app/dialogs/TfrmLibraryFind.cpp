#include "app/dialogs/TfrmLibraryFind.h"

#include "app/dialogs/DialogParts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kLineColumn = 2;
constexpr int kHitStartRole = Qt::UserRole;
constexpr int kHitLengthRole = Qt::UserRole + 1;
constexpr int kHitIndexRole = Qt::UserRole + 2;

// Paints the line of a hit with the hit itself on the highlight colour.
class THitLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QString line = plain.text;
        const int start = index.data(kHitStartRole).toInt();
        const int length = index.data(kHitLengthRole).toInt();
        plain.text.clear();
        QStyledItemDelegate::paint(painter, plain, index);
        painter->save();
        const QRect area = option.rect.adjusted(4, 0, -4, 0);
        const QFontMetrics metrics(option.font);
        const int hitLeft = area.left() + metrics.horizontalAdvance(line.left(start));
        const int hitWidth = metrics.horizontalAdvance(line.mid(start, length));
        painter->fillRect(QRect(hitLeft, area.top() + 1, hitWidth, area.height() - 2), option.palette.highlight());
        painter->setPen(option.palette.text().color());
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, line.left(start));
        painter->setPen(option.palette.highlightedText().color());
        painter->drawText(QRect(hitLeft, area.top(), hitWidth, area.height()), Qt::AlignLeft | Qt::AlignVCenter,
                          line.mid(start, length));
        painter->setPen(option.palette.text().color());
        painter->drawText(QRect(hitLeft + hitWidth, area.top(), area.right() - hitLeft - hitWidth, area.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, line.mid(start + length));
        painter->restore();
    }
};

QCheckBox* NamedCheck(const char* objectName, const QString& caption) {
    auto* check = new QCheckBox(caption);
    check->setObjectName(QString::fromLatin1(objectName));
    check->setAccessibleName(caption);
    return check;
}

QPushButton* NamedButton(const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TfrmLibraryFind::TfrmLibraryFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLibraryFind"));
    setWindowTitle(tr("在稿件库中查找"));
    setAccessibleName(windowTitle());
    auto* top = new QHBoxLayout;
    top->addWidget(BuildInputs(), 1);
    top->addWidget(BuildButtons());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(BuildHitList(), 1);
    lblSummary = new QLabel;
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    pbSearch = new QProgressBar;
    pbSearch->setObjectName(QStringLiteral("pbSearch"));
    pbSearch->setAccessibleName(tr("进度"));
    pbSearch->setRange(0, 100);
    pbSearch->setVisible(false);
    btnCancel = NamedButton("btnCancel", tr("取消"));
    btnCancel->setVisible(false);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLibraryFind::CancelRequested);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblSummary, 1);
    bottom->addWidget(pbSearch);
    bottom->addWidget(btnCancel);
    layout->addLayout(bottom);
    resize(640, 420);
    SetBusy(false);
}

QWidget* TfrmLibraryFind::BuildInputs() {
    auto* inputs = new QWidget;
    auto* rows = new QFormLayout(inputs);
    rows->setContentsMargins(0, 0, 0, 0);
    editFind = NamedEdit("editFind");
    editReplace = NamedEdit("editReplace");
    AddRow(rows, tr("查找内容"), editFind);
    AddRow(rows, tr("替换为"), editReplace);
    chkCase = NamedCheck("chkCase", tr("区分大小写"));
    chkRegex = NamedCheck("chkRegex", tr("正则表达式"));
    chkFolder = NamedCheck("chkFolder", tr("仅当前稿件夹"));
    auto* checks = new QHBoxLayout;
    for (QCheckBox* check : {chkCase, chkRegex, chkFolder})
        checks->addWidget(check);
    checks->addStretch();
    rows->addRow(checks);
    return inputs;
}

QWidget* TfrmLibraryFind::BuildButtons() {
    auto* buttons = new QWidget;
    auto* column = new QVBoxLayout(buttons);
    column->setContentsMargins(0, 0, 0, 0);
    btnFindAll = NamedButton("btnFindAll", tr("查找全部"));
    btnFindAll->setDefault(true);
    btnReplaceAll = NamedButton("btnReplaceAll", tr("全部替换"));
    btnUndoReplace = NamedButton("btnUndoReplace", tr("撤销替换"));
    btnClose = NamedButton("btnClose", tr("关闭"));
    connect(btnFindAll, &QPushButton::clicked, this, &TfrmLibraryFind::FindAllRequested);
    connect(btnReplaceAll, &QPushButton::clicked, this, &TfrmLibraryFind::ReplaceAllRequested);
    connect(btnUndoReplace, &QPushButton::clicked, this, &TfrmLibraryFind::UndoRequested);
    connect(btnClose, &QPushButton::clicked, this, &TfrmLibraryFind::reject);
    for (QPushButton* button : {btnFindAll, btnReplaceAll, btnUndoReplace, btnClose})
        column->addWidget(button);
    column->addStretch();
    return buttons;
}

QTreeWidget* TfrmLibraryFind::BuildHitList() {
    lvHits = new QTreeWidget;
    lvHits->setObjectName(QStringLiteral("lvHits"));
    lvHits->setAccessibleName(tr("查找结果列表"));
    lvHits->setRootIsDecorated(false);
    lvHits->setUniformRowHeights(true);
    lvHits->setHeaderLabels({tr("稿件"), tr("行"), tr("内容")});
    lvHits->setColumnWidth(0, 140);
    lvHits->setColumnWidth(1, 50);
    lvHits->setItemDelegateForColumn(kLineColumn, new THitLineDelegate(lvHits));
    connect(lvHits, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { HitDoubleClicked(item); });
    return lvHits;
}

QString TfrmLibraryFind::Pattern() const { return editFind->text(); }
QString TfrmLibraryFind::Replacement() const { return editReplace->text(); }
bool TfrmLibraryFind::Regex() const { return chkRegex->isChecked(); }
bool TfrmLibraryFind::CaseSensitive() const { return chkCase->isChecked(); }
bool TfrmLibraryFind::FolderOnly() const { return chkFolder->isChecked(); }

void TfrmLibraryFind::ShowHits(const std::vector<TSearchHit>& hits, const QString& summary) {
    ClearHits();
    m_hits = hits;
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(hits.size()));
    for (size_t i = 0; i < hits.size(); ++i) {
        const TSearchHit& hit = hits[i];
        auto* item = new QTreeWidgetItem({hit.DocName, QString::number(hit.Line), hit.LineText});
        item->setData(0, kHitIndexRole, int(i));
        item->setData(kLineColumn, kHitStartRole, hit.Span.Start);
        item->setData(kLineColumn, kHitLengthRole, hit.Span.Length);
        // Screen readers hear the hit between brackets.
        item->setData(kLineColumn, Qt::AccessibleTextRole,
                      hit.LineText.left(hit.Span.Start) + QStringLiteral("【") +
                          hit.LineText.mid(hit.Span.Start, hit.Span.Length) + QStringLiteral("】") +
                          hit.LineText.mid(hit.Span.Start + hit.Span.Length));
        items << item;
    }
    lvHits->addTopLevelItems(items);
    ShowSummary(summary);
}

void TfrmLibraryFind::ShowSummary(const QString& summary) { lblSummary->setText(summary); }

void TfrmLibraryFind::ClearHits() {
    lvHits->clear();
    m_hits.clear();
    lblSummary->clear();
}

void TfrmLibraryFind::SetBusy(bool busy) {
    m_busy = busy;
    for (QWidget* input :
         {static_cast<QWidget*>(editFind), static_cast<QWidget*>(editReplace), static_cast<QWidget*>(chkCase),
          static_cast<QWidget*>(chkRegex), static_cast<QWidget*>(chkFolder), static_cast<QWidget*>(btnFindAll),
          static_cast<QWidget*>(btnReplaceAll), static_cast<QWidget*>(lvHits)})
        input->setEnabled(!busy);
    btnUndoReplace->setEnabled(!busy && m_undoEnabled);
    pbSearch->setVisible(busy);
    btnCancel->setVisible(busy);
    if (busy)
        pbSearch->setValue(0);
}

void TfrmLibraryFind::SetProgress(int done, int total) {
    pbSearch->setValue(total > 0 ? int(int64_t(done) * 100 / total) : 0);
}

void TfrmLibraryFind::SetUndoEnabled(bool enabled) {
    m_undoEnabled = enabled;
    btnUndoReplace->setEnabled(!m_busy && enabled);
}

void TfrmLibraryFind::reject() {
    if (m_busy)
        emit CancelRequested();
    QDialog::reject();
}

void TfrmLibraryFind::HitDoubleClicked(QTreeWidgetItem* item) {
    if (item && !m_busy)
        emit HitActivated(item->data(0, kHitIndexRole).toInt());
}
