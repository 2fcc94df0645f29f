// TfrmMarks: the mark dialog ("标签"). It shows a TMark: the name and the note
// can be edited, the manuscript and the line are shown read-only. "确定" with
// an empty name is refused with a message and the dialog stays open. Result()
// is the given record with MarkName and MarkContent replaced; the caller
// stores it.
#pragma once

#include "library/DocDataTypes.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class TDialogService;

class TfrmMarks : public QDialog {
    Q_OBJECT
public:
    TfrmMarks(TDialogService& dialogs, const TMark& mark, QWidget* parent = nullptr);
    TMark Result() const;

private slots:
    void btnOKClick();

private:
    TDialogService& m_dialogs;
    TMark m_mark;
    QLineEdit* m_editName = nullptr;
    QPlainTextEdit* m_memoContent = nullptr;
};

// Shows the dialog through the dialog service; true when the user confirmed,
// with MarkName and MarkContent of mark replaced.
bool ShowMarks(TDialogService& dialogs, TMark& mark, QWidget* parent);
