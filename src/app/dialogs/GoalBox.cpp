#include "app/dialogs/GoalBox.h"

#include "app/dialogs/DialogParts.h"
#include "library/UserError.h"
#include "platform/DialogService.h"
#include "platform/ErrorText.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QDate kDayZero(1899, 12, 30);

}  // namespace

QDate TGoalBox::DateOfDay(int day) { return kDayZero.addDays(day); }

int TGoalBox::DayOfDate(const QDate& date) { return static_cast<int>(kDayZero.daysTo(date)); }

TGoalBox::TGoalBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GoalBox"));
    auto* rows = new QFormLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    m_editGoalChars = NamedEdit("editGoalChars");
    // Digits only; "0" is typed freely and refused with a message on OK.
    m_editGoalChars->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_editGoalChars));
    m_editGoalChars->setPlaceholderText(tr("不设目标"));
    AddRow(rows, tr("目标字数："), m_editGoalChars);

    m_chkGoalDeadline = new QCheckBox(tr("截止日期"));
    m_chkGoalDeadline->setObjectName(QStringLiteral("chkGoalDeadline"));
    m_chkGoalDeadline->setAccessibleName(m_chkGoalDeadline->text());
    m_dateGoalDeadline = new QDateEdit;
    m_dateGoalDeadline->setObjectName(QStringLiteral("dateGoalDeadline"));
    m_dateGoalDeadline->setAccessibleName(tr("截止日期"));
    m_dateGoalDeadline->setCalendarPopup(true);
    m_dateGoalDeadline->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dateGoalDeadline->setEnabled(false);
    connect(m_chkGoalDeadline, &QCheckBox::toggled, m_dateGoalDeadline, &QWidget::setEnabled);
    rows->addRow(m_chkGoalDeadline, m_dateGoalDeadline);
}

void TGoalBox::SetGoal(TGoalKind kind, int targetID, const std::optional<TGoal>& goal, int today) {
    m_today = today;
    m_hadGoal = goal.has_value();
    m_shown = goal.value_or(TGoal{0, kind, targetID, 0, 0, 0});
    m_shown.Kind = kind;
    m_shown.TargetID = targetID;
    m_editGoalChars->setText(m_hadGoal ? QString::number(m_shown.Chars) : QString());
    m_chkGoalDeadline->setChecked(m_shown.Deadline != 0);
    // Without a deadline the date offered is a month ahead.
    m_dateGoalDeadline->setDate(DateOfDay(m_shown.Deadline != 0 ? m_shown.Deadline : today + 30));
}

std::optional<TGoal> TGoalBox::Goal() const {
    if (m_editGoalChars->text().isEmpty())
        return std::nullopt;
    TGoal goal = m_shown;
    goal.Chars = m_editGoalChars->text().toInt();
    goal.Deadline = m_chkGoalDeadline->isChecked() ? DayOfDate(m_dateGoalDeadline->date()) : 0;
    return goal;
}

bool TGoalBox::Changed() const {
    const std::optional<TGoal> goal = Goal();
    if (!goal)
        return m_hadGoal;
    return !m_hadGoal || goal->Chars != m_shown.Chars || goal->Deadline != m_shown.Deadline;
}

QString TGoalBox::Problem() const {
    const std::optional<TGoal> goal = Goal();
    if (!goal || !Changed())
        return QString();
    try {
        TWritingGoals::Check(*goal, m_today);
    } catch (const EUserError& error) {
        return TranslatedText(error.Text());
    }
    return QString();
}

bool TGoalBox::Refused(TDialogService& dialogs) {
    const QString problem = Problem();
    if (problem.isEmpty())
        return false;
    dialogs.Warn(problem, tr("设置目标"));
    QWidget* culprit = Goal()->Chars <= 0 ? static_cast<QWidget*>(m_editGoalChars) : m_dateGoalDeadline;
    culprit->setFocus();
    return true;
}

TfrmGoal::TfrmGoal(TDialogService& dialogs, const QString& target, TGoalKind kind, int targetID,
                   const std::optional<TGoal>& goal, int today, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmGoal"));
    setWindowTitle(tr("设置目标"));
    auto* caption = new QLabel(target);
    caption->setObjectName(QStringLiteral("lblGoalTarget"));
    caption->setTextFormat(Qt::PlainText);
    m_box = new TGoalBox;
    m_box->SetGoal(kind, targetID, goal, today);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_box);
    layout->addLayout(OkCancelRow(this, tr("确定"), tr("取消"), [this] { btnOKClick(); }));
}

void TfrmGoal::btnOKClick() {
    if (!m_box->Refused(m_dialogs))
        accept();
}
