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
    m_lblSummary = new QLabel;
    m_lblSummary->setObjectName(QStringLiteral("lblSummary"));
    m_pbSearch = new QProgressBar;
    m_pbSearch->setObjectName(QStringLiteral("pbSearch"));
    m_pbSearch->setAccessibleName(tr("进度"));
    m_pbSearch->setRange(0, 100);
    m_pbSearch->setVisible(false);
    m_btnCancel = NamedButton("btnCancel", tr("取消"));
    m_btnCancel->setVisible(false);
    connect(m_btnCancel, &QPushButton::clicked, this, &TfrmLibraryFind::CancelRequested);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_lblSummary, 1);
    bottom->addWidget(m_pbSearch);
    bottom->addWidget(m_btnCancel);
    layout->addLayout(bottom);
    resize(640, 420);
    SetBusy(false);
}

QWidget* TfrmLibraryFind::BuildInputs() {
    auto* inputs = new QWidget;
    auto* rows = new QFormLayout(inputs);
    rows->setContentsMargins(0, 0, 0, 0);
    m_editFind = NamedEdit("editFind");
    m_editReplace = NamedEdit("editReplace");
    AddRow(rows, tr("查找内容"), m_editFind);
    AddRow(rows, tr("替换为"), m_editReplace);
    m_chkCase = NamedCheck("chkCase", tr("区分大小写"));
    m_chkRegex = NamedCheck("chkRegex", tr("正则表达式"));
    m_chkFolder = NamedCheck("chkFolder", tr("仅当前稿件夹"));
    auto* checks = new QHBoxLayout;
    for (QCheckBox* check : {m_chkCase, m_chkRegex, m_chkFolder})
        checks->addWidget(check);
    checks->addStretch();
    rows->addRow(checks);
    return inputs;
}

QWidget* TfrmLibraryFind::BuildButtons() {
    auto* buttons = new QWidget;
    auto* column = new QVBoxLayout(buttons);
    column->setContentsMargins(0, 0, 0, 0);
    m_btnFindAll = NamedButton("btnFindAll", tr("查找全部"));
    m_btnFindAll->setDefault(true);
    m_btnReplaceAll = NamedButton("btnReplaceAll", tr("全部替换"));
    m_btnUndoReplace = NamedButton("btnUndoReplace", tr("撤销替换"));
    m_btnClose = NamedButton("btnClose", tr("关闭"));
    connect(m_btnFindAll, &QPushButton::clicked, this, &TfrmLibraryFind::FindAllRequested);
    connect(m_btnReplaceAll, &QPushButton::clicked, this, &TfrmLibraryFind::ReplaceAllRequested);
    connect(m_btnUndoReplace, &QPushButton::clicked, this, &TfrmLibraryFind::UndoRequested);
    connect(m_btnClose, &QPushButton::clicked, this, &TfrmLibraryFind::reject);
    for (QPushButton* button : {m_btnFindAll, m_btnReplaceAll, m_btnUndoReplace, m_btnClose})
        column->addWidget(button);
    column->addStretch();
    return buttons;
}

QTreeWidget* TfrmLibraryFind::BuildHitList() {
    m_lvHits = new QTreeWidget;
    m_lvHits->setObjectName(QStringLiteral("lvHits"));
    m_lvHits->setAccessibleName(tr("查找结果列表"));
    m_lvHits->setRootIsDecorated(false);
    m_lvHits->setUniformRowHeights(true);
    m_lvHits->setHeaderLabels({tr("稿件"), tr("行"), tr("内容")});
    m_lvHits->setColumnWidth(0, 140);
    m_lvHits->setColumnWidth(1, 50);
    m_lvHits->setItemDelegateForColumn(kLineColumn, new THitLineDelegate(m_lvHits));
    connect(m_lvHits, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { HitDoubleClicked(item); });
    return m_lvHits;
}

QString TfrmLibraryFind::Pattern() const { return m_editFind->text(); }
QString TfrmLibraryFind::Replacement() const { return m_editReplace->text(); }
bool TfrmLibraryFind::Regex() const { return m_chkRegex->isChecked(); }
bool TfrmLibraryFind::CaseSensitive() const { return m_chkCase->isChecked(); }
bool TfrmLibraryFind::FolderOnly() const { return m_chkFolder->isChecked(); }

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
    m_lvHits->addTopLevelItems(items);
    ShowSummary(summary);
}

void TfrmLibraryFind::ShowSummary(const QString& summary) { m_lblSummary->setText(summary); }

void TfrmLibraryFind::ClearHits() {
    m_lvHits->clear();
    m_hits.clear();
    m_lblSummary->clear();
}

void TfrmLibraryFind::SetBusy(bool busy) {
    m_busy = busy;
    for (QWidget* input :
         {static_cast<QWidget*>(m_editFind), static_cast<QWidget*>(m_editReplace), static_cast<QWidget*>(m_chkCase),
          static_cast<QWidget*>(m_chkRegex), static_cast<QWidget*>(m_chkFolder), static_cast<QWidget*>(m_btnFindAll),
          static_cast<QWidget*>(m_btnReplaceAll), static_cast<QWidget*>(m_lvHits)})
        input->setEnabled(!busy);
    m_btnUndoReplace->setEnabled(!busy && m_undoEnabled);
    m_pbSearch->setVisible(busy);
    m_btnCancel->setVisible(busy);
    if (busy)
        m_pbSearch->setValue(0);
}

void TfrmLibraryFind::SetProgress(int done, int total) {
    m_pbSearch->setValue(total > 0 ? int(int64_t(done) * 100 / total) : 0);
}

void TfrmLibraryFind::SetUndoEnabled(bool enabled) {
    m_undoEnabled = enabled;
    m_btnUndoReplace->setEnabled(!m_busy && enabled);
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
