// TfrmFind: the editor's modeless find dialog ("查找"). It only collects the
// search text and options; pressing "查找下一个(&F)" emits FindNextClicked and
// the editor searches. The editor creates it on first use and keeps it.
#pragma once

#include "editor/SearchOptions.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmFind : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFind(QWidget* parent = nullptr);

    TSearchOptions Options() const;
    void SetSearchText(const QString& text);

    QLineEdit* editFind = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QRadioButton* rbUp = nullptr;
    QRadioButton* rbDown = nullptr;
    QPushButton* btnFindNext = nullptr;
    QPushButton* btnCancel = nullptr;

signals:
    void FindNextClicked();
};
