// TfrmReader, the "阅读模式" window: a text file shown as slowly scrolling,
// decorated text (TReaderView) with a tool bar (open, start, direction,
// speed, font, close) and a status bar (file name, speed). Modal; created by
// the command that shows it. The window owns its controls; the public
// pointers are for tests to read and drive, not to delete.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class TReaderView;

class TfrmReader : public QDialog {
    Q_OBJECT
public:
    explicit TfrmReader(QWidget* parent = nullptr);

    // Loads a text file (project text rule) into the view, left-aligned in
    // Text3, and restarts it. On a read failure the message is shown and the
    // view keeps its text; returns false.
    bool OpenFile(const QString& path);
    // Shows text (the open manuscript's, say) under name as OpenFile shows a file's.
    void ShowText(const QString& name, const QString& text);
    QString FileName() const { return m_fileName; }

    TReaderView* txtReader = nullptr;
    QToolBar* tbReader = nullptr;
    QToolButton* btnOpen = nullptr;
    QToolButton* btnStart = nullptr;
    QLabel* lblDirect = nullptr;
    QComboBox* comboxDirect = nullptr;
    QLabel* lblSpeed = nullptr;
    QSpinBox* SpeedBar = nullptr;
    QToolButton* btnFont = nullptr;
    QToolButton* btnClose = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* panelFile = nullptr;
    QLabel* panelSpeed = nullptr;

public slots:
    void btnOpenClick();
    void btnStartClick();
    void SpeedBarChange();
    void comboxDirectChange();
    void btnFontClick();
    void txtReaderComplete();

protected:
    void done(int result) override;

private:
    void BuildControls();
    void ShowStatus();

    QString m_fileName;
};

// Creates the window for parent and runs it modally through the dialog
// service; with a name, it starts with text shown (ShowText).
void ShowReader(QWidget* parent, const QString& name = QString(), const QString& text = QString());
