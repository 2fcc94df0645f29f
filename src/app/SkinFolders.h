// Where the 更换皮肤 file dialog opens. Theme files (*.sui) are shipped with
// the program in a "skins" folder beside the executable (build tree) or in the
// installed shared folder; the user may also keep their own anywhere and name
// that folder in the options.
#pragma once

#include <QString>
#include <QStringList>

// The "skins" folders that may hold the shipped themes, in search order.
QStringList ShippedSkinFolders();
// The configured folder when it holds a theme file; else the first shipped
// folder that does; else the configured folder as it is (possibly empty).
QString SkinDialogStartFolder(const QString& configured, const QStringList& shippedFolders);
