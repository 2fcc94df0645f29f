#include "app/dialogs/TfrmHistory.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Translated when used: a translator is installed after static initialisation.
const char kDamaged[] = QT_TRANSLATE_NOOP("TfrmHistory", "已损坏");
// How much of one changed run the summary quotes.
constexpr int kQuoteLength = 30;
// How many changed runs the summary lists one by one.
constexpr int kListedRuns = 20;

QString SavedText(tomedb::TDateTime days) {
    const double whole = std::floor(days);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    const QTime time = QTime(0, 0).addMSecs(static_cast<int>(std::lround((days - whole) * 86400000.0)));
    return QDateTime(date, time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Signed(int value) { return value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value); }

QTextBrowser* TextPane(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* pane = new QTextBrowser(parent);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setAccessibleName(accessibleName);
    pane->setOpenLinks(false);
    return pane;
}

// A captioned pane: the label names it for screen readers too.
QWidget* Captioned(QWidget* parent, const QString& caption, QWidget* pane) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption, box);
    label->setBuddy(pane);
    layout->addWidget(label);
    layout->addWidget(pane, 1);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    return button;
}

// Writes the runs `pane` shows: the equal runs and those of `marked`, which
// carry its mark; `strike` crosses them out as well as colouring them.
void ShowRuns(QTextBrowser* pane, const std::vector<TDiffRun>& runs, TDiffOp marked, bool strike) {
    pane->clear();
    QTextCursor cursor(pane->document());
    const TfrmHistory::TMark mark = TfrmHistory::MarkOf(marked);
    QTextCharFormat plain;
    QTextCharFormat changed;
    changed.setForeground(mark.Text);
    changed.setBackground(mark.Back);
    changed.setFontUnderline(!strike);
    changed.setFontStrikeOut(strike);
    for (const TDiffRun& run : runs) {
        if (run.Op == TDiffOp::Equal)
            cursor.insertText(run.Text, plain);
        else if (run.Op == marked)
            cursor.insertText(run.Text, changed);
    }
    pane->moveCursor(QTextCursor::Start);
}

QString Quote(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("↵"));
    if (text.size() > kQuoteLength)
        text = text.left(kQuoteLength) + QStringLiteral("…");
    return QStringLiteral("“") + text + QStringLiteral("”");
}

}  // namespace

TfrmHistory::TfrmHistory(std::vector<THistoryEntry> versions, const QString& currentText, TVersionTextReader readText,
                         QWidget* parent)
    : QDialog(parent), m_versions(std::move(versions)), m_readText(std::move(readText)), m_current(currentText) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(tr("历史版本"));

    lvVersions = new QTreeWidget(this);
    lvVersions->setObjectName(QStringLiteral("lvVersions"));
    lvVersions->setAccessibleName(tr("历史版本列表"));
    lvVersions->setRootIsDecorated(false);
    lvVersions->setUniformRowHeights(true);
    lvVersions->setHeaderLabels({tr("保存时间"), tr("汉字"), tr("变化"), tr("状态")});
    lvVersions->headerItem()->setToolTip(2, tr("此版本比当前文本多出的字数"));
    lvVersions->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    txtVersion = TextPane(this, "txtVersion", tr("所选版本"));
    txtCurrent = TextPane(this, "txtCurrent", tr("当前文本"));
    auto* panes = new QSplitter(Qt::Horizontal, this);
    panes->setObjectName(QStringLiteral("spHistory"));
    panes->addWidget(Captioned(panes, tr("所选版本（删去的文字划线标出）："), txtVersion));
    panes->addWidget(Captioned(panes, tr("当前文本（新增的文字下划线标出）："), txtCurrent));

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblSummary->setAccessibleName(tr("差异说明"));

    btnRestore = Button(this, "btnRestore", tr("恢复此版本"));
    btnClose = Button(this, "btnClose", tr("关闭"));
    btnClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnRestore);
    buttons->addWidget(btnClose);

    auto* listLabel = new QLabel(tr("版本（新的在前）："), this);
    listLabel->setBuddy(lvVersions);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(lvVersions, 1);
    layout->addWidget(panes, 3);
    layout->addWidget(lblSummary);
    layout->addLayout(buttons);

    connect(btnRestore, &QPushButton::clicked, this, [this] {
        if (ChosenVersionID())
            accept();
    });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvVersions, &QTreeWidget::itemSelectionChanged, this, &TfrmHistory::ShowSelected);
    Fill();
    resize(820, 560);
}

int TfrmHistory::CharacterCount(const QString& text) { return VersionCharacters(text); }

void TfrmHistory::Fill() {
    const int currentChars = CharacterCount(m_current);
    lvVersions->setUpdatesEnabled(false);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_versions.size()));
    for (size_t i = 0; i < m_versions.size(); ++i) {
        const THistoryEntry& entry = m_versions[i];
        auto* item = new QTreeWidgetItem;
        item->setText(0, SavedText(entry.Version.SavedAt));
        item->setText(1, QString::number(entry.Version.Chars));
        if (entry.Version.Damaged)
            item->setText(3, tr(kDamaged));
        else
            item->setText(2, Signed(entry.Version.Length - currentChars));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        items << item;
    }
    lvVersions->addTopLevelItems(items);
    lvVersions->setUpdatesEnabled(true);
    if (!items.isEmpty())
        lvVersions->setCurrentItem(items.first());
    ShowSelected();
}

const THistoryEntry* TfrmHistory::Selected() const {
    const QList<QTreeWidgetItem*> selected = lvVersions->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    return &m_versions.at(static_cast<size_t>(selected.first()->data(0, Qt::UserRole).toInt()));
}

std::optional<int> TfrmHistory::ChosenVersionID() const {
    const THistoryEntry* entry = Selected();
    if (!entry || entry->Version.Damaged)
        return std::nullopt;
    return entry->Version.ID;
}

const THistoryEntry* TfrmHistory::SelectedWithText() {
    const QList<QTreeWidgetItem*> selected = lvVersions->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    QTreeWidgetItem* item = selected.first();
    THistoryEntry& entry = m_versions.at(static_cast<size_t>(item->data(0, Qt::UserRole).toInt()));
    if (!entry.Version.Damaged && !entry.Text) {
        entry.Text = m_readText ? m_readText(entry.Version.ID) : std::nullopt;
        if (!entry.Text) {  // damaged since it was listed
            entry.Version.Damaged = true;
            item->setText(2, QString());
            item->setText(3, kDamaged);
        }
    }
    return &entry;
}

void TfrmHistory::ShowSelected() {
    const THistoryEntry* entry = SelectedWithText();
    btnRestore->setEnabled(entry && !entry->Version.Damaged);
    if (!entry || entry->Version.Damaged) {
        txtVersion->setPlainText(entry ? tr("此版本已损坏，无法显示或恢复。") : QString());
        txtCurrent->setPlainText(m_current);
        lblSummary->setText(entry ? tr("此版本已损坏，无法恢复。")
                                  : (m_versions.empty() ? tr("此稿件还没有历史版本。") : QString()));
        lblSummary->setAccessibleDescription(lblSummary->text());
        return;
    }
    const std::vector<TDiffRun> runs = CharDiff(*entry->Text, m_current);
    ShowRuns(txtVersion, runs, TDiffOp::Removed, true);
    ShowRuns(txtCurrent, runs, TDiffOp::Added, false);
    const QString description = Describe(runs);
    lblSummary->setText(description);
    lblSummary->setAccessibleDescription(description);
    txtVersion->setAccessibleDescription(description);
    txtCurrent->setAccessibleDescription(description);
}

TfrmHistory::TMark TfrmHistory::MarkOf(TDiffOp op) {
    // Dark text on a pale ground, set both ways: the panes' own palette
    // (which a skin may darken) never meets a marked character.
    if (op == TDiffOp::Removed)
        return {QColor(0x7a, 0x00, 0x00), QColor(0xff, 0xd8, 0xd8)};
    if (op == TDiffOp::Added)
        return {QColor(0x00, 0x4d, 0x1a), QColor(0xd2, 0xf5, 0xd9)};
    return {QColor(), QColor()};
}

QString TfrmHistory::Describe(const std::vector<TDiffRun>& runs) {
    int added = 0, removed = 0, places = 0, changedRuns = 0;
    QStringList listed;
    bool previousChanged = false;
    for (const TDiffRun& run : runs) {
        const bool changed = run.Op != TDiffOp::Equal;
        if (changed && !previousChanged)
            ++places;
        previousChanged = changed;
        if (!changed)
            continue;
        ++changedRuns;
        const int count = CharacterCount(run.Text);
        (run.Op == TDiffOp::Added ? added : removed) += count;
        if (listed.size() < kListedRuns)
            listed << (run.Op == TDiffOp::Added ? tr("新增") : tr("删去")) + Quote(run.Text);
    }
    if (places == 0)
        return tr("此版本与当前文本相同。");
    QString text = tr("自此版本以来，当前文本新增 %1 字，删去 %2 字，共 %3 处：").arg(added).arg(removed).arg(places);
    text += listed.join(QStringLiteral("；"));
    if (changedRuns > kListedRuns)
        text += QStringLiteral("；……");
    return text + QStringLiteral("。");
}
