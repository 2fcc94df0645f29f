// The input-method frameworks the options dialog offers: the one named by
// QT_IM_MODULE (when set) and those with an installed Qt platform input-context
// plugin ("ibus", "fcitx5", "compose", ...), without duplicates, in that order.
// The stored choice is not activated by the editor: on Linux the framework is
// chosen for the whole desktop session, so choosing one here only records it.
#pragma once

#include <QString>
#include <QStringList>

QStringList InstalledInputMethods();
// The same from given parts: the QT_IM_MODULE value (it may list several
// modules separated by ";") and the file names in the plugin folder.
QStringList InputMethodsFrom(const QString& imModuleEnv, const QStringList& pluginFileNames);
