#include "app/SkinFolders.h"

#include "platform/AppPaths.h"

#include <QDir>

namespace {

bool HoldsThemes(const QString& folder) {
    return !folder.isEmpty() &&
           !QDir(folder).entryList({QStringLiteral("*.sui")}, QDir::Files | QDir::Readable).isEmpty();
}

}  // namespace

QStringList ShippedSkinFolders() {
    QStringList folders;
    for (const QString& shared : SharedDataFolders())
        folders << shared + QStringLiteral("skins/");
    return folders;
}

QString SkinDialogStartFolder(const QString& configured, const QStringList& shippedFolders) {
    if (HoldsThemes(configured))
        return configured;
    for (const QString& folder : shippedFolders) {
        if (HoldsThemes(folder))
            return folder;
    }
    return configured;
}
