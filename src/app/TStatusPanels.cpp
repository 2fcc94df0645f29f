#include "app/TStatusPanels.h"

#include <QLabel>

namespace {

struct PanelDef {
    const char* text;
    int width;
    Qt::Alignment alignment;
};

// Initial text, width and alignment of panels 0..8.
const PanelDef kPanels[TStatusPanels::kPanelCount] = {
    {"稿件库", 180, Qt::AlignLeft},     {"稿件名称", 250, Qt::AlignLeft},
    {"插入", 50, Qt::AlignHCenter},     {"大写", 50, Qt::AlignHCenter},
    {"小键盘", 80, Qt::AlignHCenter},   {"状态：", 80, Qt::AlignHCenter},
    {"行", 150, Qt::AlignHCenter},      {"列", 150, Qt::AlignHCenter},
    {"", 50, Qt::AlignLeft},
};

}  // namespace

TStatusPanels::TStatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StBarMain"));
    setSizeGripEnabled(false);
    for (int i = 0; i < kPanelCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kPanels[i].text), this);
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
    label->setFixedWidth(width);
    label->setVisible(width > 0);
}

Qt::Alignment TStatusPanels::PanelAlignment(int index) const {
    QLabel* label = Panel(index);
    return label ? (label->alignment() & Qt::AlignHorizontal_Mask) : Qt::Alignment();
}
