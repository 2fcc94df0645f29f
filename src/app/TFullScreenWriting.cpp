#include "app/TFullScreenWriting.h"

#include "app/TStatusPanels.h"
#include "editor/TqlvEditor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTextEdit>

namespace {

// `share` of the way from `from` to `to`.
QColor Toward(const QColor& from, const QColor& to, double share) {
    auto mix = [share](int a, int b) { return int(a + (b - a) * share); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
}

}  // namespace

TFullScreenWriting::TFullScreenWriting(QMainWindow& window, TqlvEditor& editor, TStatusPanels& status,
                                       const QList<QWidget*>& hiddenControls,
                                       std::function<TWritingModeSettings()> settings)
    : QObject(&window), m_window(window), m_editor(editor), m_status(status), m_hidden(hiddenControls),
      m_settings(std::move(settings)) {
    BuildFooter();
    connect(&m_status, &TStatusPanels::WritingTextsChanged, this, &TFullScreenWriting::UpdateFooterTexts);
}

void TFullScreenWriting::BuildFooter() {
    QTextEdit* control = m_editor.Control();
    m_footer = new QFrame(control);
    m_footer->setObjectName(QStringLiteral("frmFullScreenFooter"));
    m_footer->setAccessibleName(tr("全屏写作状态"));
    m_today = new QLabel(m_footer);
    m_today->setObjectName(QStringLiteral("lblFullScreenToday"));
    m_goal = new QLabel(m_footer);
    m_goal->setObjectName(QStringLiteral("lblFullScreenGoal"));
    auto* row = new QHBoxLayout(m_footer);
    row->setContentsMargins(12, 4, 12, 4);
    row->addStretch(1);
    row->addWidget(m_today);
    row->addSpacing(24);
    row->addWidget(m_goal);
    row->addStretch(1);
    m_footer->hide();
    // The control's own events (resize) and the viewport's (mouse moves).
    control->installEventFilter(this);
    control->viewport()->installEventFilter(this);
    control->viewport()->setMouseTracking(true);
    m_footer->setMouseTracking(true);
    m_footer->installEventFilter(this);
}

void TFullScreenWriting::Enter() {
    if (IsActive())
        return;
    m_before = TLayoutSnapshot::Take(m_window, m_hidden);
    for (QWidget* control : std::as_const(m_hidden))
        control->hide();
    m_window.showFullScreen();
    ApplyModes();
    UpdateFooterTexts();
    m_editor.Focus();
    emit ActiveChanged(true);
}

void TFullScreenWriting::Leave() {
    if (!IsActive())
        return;
    const TLayoutSnapshot before = *m_before;
    m_before.reset();
    SetFooterShown(false);
    ApplyModes();
    before.Restore(m_window);
    m_editor.Focus();
    emit ActiveChanged(false);
}

void TFullScreenWriting::ApplyModes() {
    const TWritingModeSettings settings = m_settings();
    const bool full = IsActive();
    m_editor.SetColumnCharacters(full ? settings.Column : 0);
    m_editor.SetTypewriterScrolling(TWritingModeSettings::Applies(settings.Typewriter, full));
    m_editor.SetFocusMode(TWritingModeSettings::Applies(settings.Focus, full));
    m_editor.SetParagraphIndent(settings.ParagraphIndent);
}

void TFullScreenWriting::UpdateFooterTexts() {
    const QString today = m_status.TodayPanel()->text();
    const QString goal = m_status.GoalPanel()->text();
    m_today->setText(today);
    m_today->setAccessibleName(today);
    m_today->setVisible(!today.isEmpty());
    m_goal->setText(goal);
    m_goal->setAccessibleName(goal);
    m_goal->setVisible(!goal.isEmpty());
}

void TFullScreenWriting::SetFooterShown(bool shown) {
    const bool has = !m_today->text().isEmpty() || !m_goal->text().isEmpty();
    if (shown && IsActive() && has) {
        ColourFooter();
        PlaceFooter();
        m_footer->show();
        m_footer->raise();
    } else {
        m_footer->hide();
    }
}

void TFullScreenWriting::PlaceFooter() {
    const QWidget* control = m_editor.Control();
    const int height = m_footer->sizeHint().height();
    m_footer->setGeometry(0, control->height() - height, control->width(), height);
}

// The footer takes the editor's own colours, which the writer reads the text
// in whatever the skin: its page colour and its text colour softened a
// little towards it. A style sheet of its own, so no skin rule for labels
// can override them.
void TFullScreenWriting::ColourFooter() {
    const QPalette palette = m_editor.Control()->palette();
    const QColor page = palette.color(QPalette::Base);
    const QColor text = Toward(palette.color(QPalette::Text), page, 0.25);
    m_footer->setStyleSheet(QStringLiteral("#frmFullScreenFooter{background:%1;border-top:1px solid %2;}"
                                           "#frmFullScreenFooter QLabel{color:%3;background:transparent;"
                                           "border:none;}")
                                .arg(page.name(), Toward(page, text, 0.2).name(), text.name()));
}

bool TFullScreenWriting::eventFilter(QObject* watched, QEvent* event) {
    if (!IsActive())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Resize && watched == m_editor.Control() && m_footer->isVisible())
        PlaceFooter();
    if (event->type() == QEvent::MouseMove) {
        const auto* widget = static_cast<QWidget*>(watched);
        const QPoint at = widget->mapTo(m_editor.Control(), static_cast<QMouseEvent*>(event)->position().toPoint());
        SetFooterShown(at.y() >= m_editor.Control()->height() - kFooterZone);
    }
    return QObject::eventFilter(watched, event);
}
