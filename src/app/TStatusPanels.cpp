#include "app/TStatusPanels.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace {

struct PanelDef {
    const char* text;
    int width;
    Qt::Alignment alignment;
};

// Initial text, width and alignment of panels 0..8.
const PanelDef kPanels[TStatusPanels::kPanelCount] = {
    {QT_TRANSLATE_NOOP("TStatusPanels", "稿件库"), 180, Qt::AlignLeft},
    {QT_TRANSLATE_NOOP("TStatusPanels", "稿件名称"), 250, Qt::AlignLeft},
    {QT_TRANSLATE_NOOP("TStatusPanels", "插入"), 50, Qt::AlignHCenter},
    {QT_TRANSLATE_NOOP("TStatusPanels", "大写"), 50, Qt::AlignHCenter},
    {QT_TRANSLATE_NOOP("TStatusPanels", "小键盘"), 80, Qt::AlignHCenter},
    {QT_TRANSLATE_NOOP("TStatusPanels", "状态："), 80, Qt::AlignHCenter},
    {QT_TRANSLATE_NOOP("TStatusPanels", "行"), 150, Qt::AlignHCenter},
    {QT_TRANSLATE_NOOP("TStatusPanels", "列"), 150, Qt::AlignHCenter},
    {"", 50, Qt::AlignLeft},
};

// A panel asks for its set width but shrinks when the window is narrower,
// down to a few pixels, and then shows its text elided ("状态…") instead of
// running past the window's edge.
class TPanelLabel : public QLabel {
public:
    TPanelLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    void SetPanelWidth(int width) {
        m_width = width;
        setMaximumWidth(width);
        updateGeometry();
    }
    QSize sizeHint() const override { return {m_width, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {qMin(m_width, kShrunkWidth), QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(margin(), 0, -margin(), 0);
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
    }

private:
    static constexpr int kShrunkWidth = 16;
    int m_width = 0;
};

}  // namespace

TStatusPanels::TStatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StBarMain"));
    setSizeGripEnabled(false);
    for (int i = 0; i < kPanelCount; ++i) {
        auto* label = new TPanelLabel(tr(kPanels[i].text), this);
        label->setObjectName(QStringLiteral("StBarMainPanel%1").arg(i));
        label->setAlignment(kPanels[i].alignment | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        addWidget(label);
        m_panels.append(label);
        m_widths.append(0);
        SetPanelWidth(i, kPanels[i].width);
    }
    for (auto [label, name] : {std::pair{&m_today, "StBarToday"}, std::pair{&m_goal, "StBarGoal"}}) {
        *label = new QLabel(this);
        (*label)->setObjectName(QString::fromLatin1(name));
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setVisible(false);
        addPermanentWidget(*label);
    }
}

void TStatusPanels::SetWritingTexts(const QString& today, const QString& goal) {
    for (auto [label, text] : {std::pair{m_today, today}, std::pair{m_goal, goal}}) {
        label->setText(text);
        label->setAccessibleName(text);
        label->setVisible(!text.isEmpty());
    }
    emit WritingTextsChanged();
}

QLabel* TStatusPanels::Panel(int index) const { return m_panels.value(index, nullptr); }

QString TStatusPanels::PanelText(int index) const {
    QLabel* label = Panel(index);
    return label ? label->text() : QString();
}

void TStatusPanels::SetPanelText(int index, const QString& text) {
    if (QLabel* label = Panel(index))
        label->setText(text);
}

int TStatusPanels::PanelWidth(int index) const { return m_widths.value(index, 0); }

void TStatusPanels::SetPanelWidth(int index, int width) {
    QLabel* label = Panel(index);
    if (!label)
        return;
    width = qMax(0, width);
    m_widths[index] = width;
    static_cast<TPanelLabel*>(label)->SetPanelWidth(width);
    label->setVisible(width > 0);
}

Qt::Alignment TStatusPanels::PanelAlignment(int index) const {
    QLabel* label = Panel(index);
    return label ? (label->alignment() & Qt::AlignHorizontal_Mask) : Qt::Alignment();
}
