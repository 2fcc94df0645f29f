// TfrmReplace: the editor's modeless replace dialog ("替换"). It only collects
// the search text, the replacement and the options; its buttons emit
// FindNextClicked, ReplaceClicked and ReplaceAllClicked and the editor acts.
// The editor creates it on first use and keeps it, so the replacement text
// keeps its previous value.
#pragma once

#include "editor/SearchOptions.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmReplace : public QDialog {
    Q_OBJECT

public:
    explicit TfrmReplace(QWidget* parent = nullptr);

    TSearchOptions Options() const;
    QString ReplaceText() const;
    void SetSearchText(const QString& text);

    QLineEdit* editFind = nullptr;
    QLineEdit* editReplace = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QRadioButton* rbUp = nullptr;
    QRadioButton* rbDown = nullptr;
    QPushButton* btnFindNext = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnReplaceAll = nullptr;
    QPushButton* btnCancel = nullptr;

signals:
    void FindNextClicked();
    void ReplaceClicked();
    void ReplaceAllClicked();
};
