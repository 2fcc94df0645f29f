// TfrmSplash: the borderless start-up picture (454 x 222, centred, a one-pixel
// frame round a picture drawn in code). Shown during start-up only.
#pragma once

#include <QWidget>

class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    // Shows the splash centred on the primary screen and paints it at once.
    void ShowNow();
    // How long the splash stays: 1000 ms, or QUILLORA_SPLASH_MS when set.
    static int DisplayMilliseconds();

protected:
    void paintEvent(QPaintEvent* event) override;
};
