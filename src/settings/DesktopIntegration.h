// TDesktopIntegration: the file associations as a Linux desktop sees them, all
// under the user's data folder ($XDG_DATA_HOME, default ~/.local/share):
//
//   library type  mime/packages/application-x-quillora-library.xml (glob *.qdb)
//                 applications/quillora.desktop (MimeType of that type, Exec=<exe> %f)
//                 icons/hicolor/scalable/mimetypes/application-x-quillora-library.svg
//   text verb     applications/quillora-text.desktop (text/plain, "Quillora(A)")
//   both          icons/hicolor/scalable/apps/quillora.svg
//
// After writing or removing files, update-mime-database and
// update-desktop-database are run on their folders when those programs are
// installed (their absence is not an error: the files alone still work for
// most desktops after their next scan). Unregistering removes exactly the
// files registering wrote; the shared application icon goes with the last
// entry that uses it. Register* return false when a file could not be written
// (a read-only or full disk); what was written before stays.
#pragma once

#include <QString>
#include <QStringList>

class TDesktopIntegration {
public:
    // dataHome ends with or without "/"; UserDataHome() by default.
    explicit TDesktopIntegration(const QString& dataHome = UserDataHome());
    // $XDG_DATA_HOME when set and absolute, else ~/.local/share.
    static QString UserDataHome();

    bool RegisterLibraryType(const QString& executable);
    void UnregisterLibraryType();
    bool RegisterTextVerb(const QString& executable);
    void UnregisterTextVerb();
    // The hicolor icons only; also used by desktop launchers of libraries.
    bool InstallIcons();

    QString MimePackageFile() const;
    QString LibraryEntryFile() const;
    QString TextVerbEntryFile() const;
    QString AppIconFile() const;
    QString LibraryIconFile() const;
    // Every file this class may write, in the order above.
    QStringList AllFiles() const;

    // The contents written, for a given executable.
    static QByteArray MimePackageText();
    static QByteArray LibraryEntryText(const QString& executable);
    static QByteArray TextVerbEntryText(const QString& executable);
    // The Exec value "<program> %f" with the program quoted and escaped as
    // desktop entries require, so paths with blanks, quotes, "$" or "%" work.
    static QString DesktopExec(const QString& executable);
    // One Exec argument, quoted when it holds a reserved character (before
    // the string-value escapes, and with "%" still to be doubled).
    static QString QuoteExecArgument(const QString& argument);
    // The escapes of a desktop-entry string value (backslash, newline, tab, CR).
    static QString EscapeStringValue(const QString& value);

private:
    QString Path(const QString& relative) const;
    void RemoveAppIconWhenUnused();
    void RefreshMimeDatabase() const;
    void RefreshDesktopDatabase() const;

    QString m_dataHome;  // ends with "/"
};
