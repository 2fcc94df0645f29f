// TGoalBox: the rows that edit one writing goal — "目标字数" (empty: no goal)
// and an optional deadline — shared by the manuscript attributes dialog, the
// library attributes dialog and the folder's "设置目标" dialog (TfrmGoal).
//
// The box only collects: the dialog that holds it asks Refused() before it
// accepts (a goal of 0 or a deadline before today is shown in a message box
// and the dialog stays open), and its caller stores Goal() when Changed().
// A goal shown unchanged is never refused, so an old goal whose deadline has
// passed does not lock its dialog.
#pragma once

#include "library/WritingGoals.h"

#include <QDialog>
#include <QWidget>
#include <optional>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class TDialogService;

class TGoalBox : public QWidget {
    Q_OBJECT
public:
    explicit TGoalBox(QWidget* parent = nullptr);

    // Shows `goal` (none: empty box) for the target kind and id; `today` is
    // the day deadlines are checked against (days since 30 December 1899).
    void SetGoal(TGoalKind kind, int targetID, const std::optional<TGoal>& goal, int today);
    // The goal as edited; nullopt when the box is empty (remove the goal).
    std::optional<TGoal> Goal() const;
    bool Changed() const;
    // The stored goal the box was filled with; 0 for none.
    int ShownGoalID() const { return m_hadGoal ? m_shown.ID : 0; }
    // The refusal of a changed goal, empty when it may be stored.
    QString Problem() const;
    // Shows Problem() in a message box and puts the focus on the box: true
    // when the dialog must stay open.
    bool Refused(TDialogService& dialogs);

    static QDate DateOfDay(int day);
    static int DayOfDate(const QDate& date);

private:
    QLineEdit* m_editGoalChars = nullptr;
    QCheckBox* m_chkGoalDeadline = nullptr;
    QDateEdit* m_dateGoalDeadline = nullptr;
    TGoal m_shown;
    bool m_hadGoal = false;
    int m_today = 0;
};

// TfrmGoal: the small dialog "设置目标" of a folder (or of the library, from
// the root folder): a caption naming the target and a TGoalBox.
class TfrmGoal : public QDialog {
    Q_OBJECT
public:
    TfrmGoal(TDialogService& dialogs, const QString& target, TGoalKind kind, int targetID,
             const std::optional<TGoal>& goal, int today, QWidget* parent = nullptr);
    TGoalBox* Box() const { return m_box; }

public slots:
    void btnOKClick();

private:
    TDialogService& m_dialogs;
    TGoalBox* m_box = nullptr;
};
