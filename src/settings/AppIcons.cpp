#include "settings/AppIcons.h"

#include <QFile>

// Resources of a static library are only linked in when something calls their
// initialiser; every accessor below goes through this first.
static void LoadIconResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(quillora_icons);
        return true;
    }();
    (void)loaded;
}

QString AppIconResource() {
    LoadIconResources();
    return QStringLiteral(":/icons/quillora.svg");
}

QString LibraryIconResource() {
    LoadIconResources();
    return QStringLiteral(":/icons/application-x-quillora-library.svg");
}

QByteArray IconSvg(const QString& resource) {
    LoadIconResources();
    QFile file(resource);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QIcon ApplicationIcon() { return QIcon(AppIconResource()); }
