// TShortcutCreator: desktop launchers for libraries. CreateDesktopShortcut
// writes "<link name>.desktop" into the user's desktop folder: a launcher
// that starts Quillora with the target (and any arguments), with the target's
// folder as working folder, executable and marked trusted, as desktop
// environments want before they run a launcher found on the desktop.
//
// The desktop folder is $XDG_DESKTOP_DIR when set, else the one named in the
// user's user-dirs.dirs, else ~/Desktop; it is created when missing. Failure
// (a folder or file that cannot be written) returns an empty path; nothing is
// left half written (the file is replaced atomically).
#pragma once

#include <QByteArray>
#include <QString>

class TShortcutCreator {
public:
    // executable: the program the launcher starts; AppExeName() by default.
    explicit TShortcutCreator(const QString& desktopFolder = UserDesktopFolder(),
                              const QString& executable = QString());
    static QString UserDesktopFolder();

    // Returns the path of the launcher written; empty on failure.
    QString CreateDesktopShortcut(const QString& target, const QString& arguments, const QString& linkName);
    // The launcher's text for a target, its arguments and name.
    QByteArray LauncherText(const QString& target, const QString& arguments, const QString& linkName) const;
    // The file CreateDesktopShortcut writes for a link name ("/" becomes "_").
    QString LauncherPath(const QString& linkName) const;

private:
    QString m_desktop;  // ends with "/"
    QString m_executable;
};
