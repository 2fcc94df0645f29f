// TPicturePreview: the picture preview `PicView` of the 图片 tab. It shows one
// picture, scaled down to fit the space it has with its aspect kept (never
// scaled up), and rescales when resized. LoadPicture decodes a file with
// QImageReader; a file whose extension has no decoder raises EUserError
// "Unknown picture file extension (.ext)", an unreadable picture EUserError
// with the reader's message. The preview keeps what it showed on failure.
#pragma once

#include <QImage>
#include <QLabel>

class TPicturePreview : public QLabel {
    Q_OBJECT
public:
    explicit TPicturePreview(QWidget* parent = nullptr);

    static QImage LoadPicture(const QString& path);
    void LoadFromFile(const QString& path);
    void ShowImage(const QImage& image);
    void ClearPicture();
    bool HasPicture() const { return !m_image.isNull(); }
    const QImage& Picture() const { return m_image; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rescale();

    QImage m_image;
};
