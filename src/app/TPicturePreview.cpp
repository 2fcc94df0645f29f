#include "app/TPicturePreview.h"

#include "library/UserError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace {
QString PictureCaption() { return QCoreApplication::translate("TPicturePreview", "图片"); }
}  // namespace

TPicturePreview::TPicturePreview(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setAccessibleName(tr("插图预览"));
}

QImage TPicturePreview::LoadPicture(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (!QImageReader::supportedImageFormats().contains(suffix.toLower().toLatin1()))
        throw EUserError(QStringLiteral("Unknown picture file extension (.%1)").arg(suffix), PictureCaption(), 2);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        throw EUserError(reader.errorString() + QStringLiteral("\n") + path, PictureCaption(), 2);
    return image;
}

void TPicturePreview::LoadFromFile(const QString& path) { ShowImage(LoadPicture(path)); }

void TPicturePreview::ShowImage(const QImage& image) {
    m_image = image;
    Rescale();
}

void TPicturePreview::ClearPicture() {
    m_image = QImage();
    clear();
}

void TPicturePreview::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Rescale();
}

void TPicturePreview::Rescale() {
    if (m_image.isNull()) {
        clear();
        return;
    }
    const QSize room = contentsRect().size();
    const bool fits = m_image.width() <= room.width() && m_image.height() <= room.height();
    if (fits || room.isEmpty())
        setPixmap(QPixmap::fromImage(m_image));
    else
        setPixmap(QPixmap::fromImage(m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
