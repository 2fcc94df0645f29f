// TfrmAbout, the "关于" window: the application icon, "Quillora  版本：1.3.0"
// and the contact addresses. It is not modal and stays beside the main
// window; a click on the picture or anywhere on the window outside the links
// closes it. Shown with ShowAbout, which creates it and lets it delete itself
// when it closes.
#pragma once

#include <QDialog>

class QLabel;
class TSkin;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // Creates, shows and returns a window drawn in skin (and following its
    // changes) that deletes itself on closing.
    static TfrmAbout* ShowAbout(const TSkin& skin, QWidget* parent);

    QLabel* imgLogo = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblHome = nullptr;
    QLabel* lblMail = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
