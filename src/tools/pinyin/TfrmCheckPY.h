// TfrmCheckPY, the "反查拼音" dialog: Chinese text in memoHZ, its full pinyin
// in memoPY after "查找". Modal; created by the command that shows it, which
// may fill memoHZ first (SetHzText). It owns its child widgets; the public
// pointers are for the caller and tests to read and drive, not to delete.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfrmCheckPY : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCheckPY(QWidget* parent = nullptr);

    // The Chinese text to look up (the editor's selection, or empty).
    void SetHzText(const QString& text);

    QLabel* lblHZ = nullptr;
    QPlainTextEdit* memoHZ = nullptr;
    QLabel* lblPY = nullptr;
    QPlainTextEdit* memoPY = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnExit = nullptr;

public slots:
    void btnFindClick();
    void btnClearClick();
    void btnExitClick();

private:
    void BuildControls();
};

// Creates the dialog for parent with hzText in memoHZ and runs it modally
// through the dialog service.
void ShowCheckPY(QWidget* parent, const QString& hzText);
