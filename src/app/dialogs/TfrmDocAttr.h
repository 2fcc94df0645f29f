// TfrmDocAttr: the manuscript attributes dialog ("属性"). It shows a
// TDocAttr and lets the user edit the name, the publication note and the fee
// (at most five digits; other keys are refused with a beep, and text that
// got past the keys, pasted or from an input method, is refused on OK with a
// message while the dialog stays open). Result() is the given record with
// those three fields replaced; the caller stores it. Below them the
// manuscript's writing goal (GoalBox(): "目标字数" and a deadline); a changed
// goal that is refused keeps the dialog open.
#pragma once

#include "library/DocDataTypes.h"

#include <QDialog>

class QLineEdit;
class TDialogService;
class TGoalBox;

class TfrmDocAttr : public QDialog {
    Q_OBJECT
public:
    TfrmDocAttr(TDialogService& dialogs, const TDocAttr& attr, QWidget* parent = nullptr);
    TDocAttr Result() const;
    TGoalBox* GoalBox() const { return m_goalBox; }
    void accept() override;
    // A date-time of the library (days from 30 December 1899) in the short
    // date format of the interface language (the default locale).
    static QString DateText(double days);

private:
    TDialogService& m_dialogs;
    TDocAttr m_attr;
    QLineEdit* m_editDocName = nullptr;
    QLineEdit* m_editPublish = nullptr;
    QLineEdit* m_editMoney = nullptr;
    TGoalBox* m_goalBox = nullptr;
};
