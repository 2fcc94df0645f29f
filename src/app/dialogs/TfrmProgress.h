// TfrmProgress: the small modal window that shows how far a long library
// operation (compaction, repair, password change) has come. It cannot be
// cancelled or closed by the user: the operation it shows runs to its end.
// The caller shows it, feeds it percentages and destroys it.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    TfrmProgress(const QString& caption, const QString& text, QWidget* parent = nullptr);
    void SetPercent(int percent);
    int Percent() const;

public slots:
    void reject() override;  // Esc does nothing

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_lblProgress = nullptr;
    QProgressBar* m_pbProgress = nullptr;
};
