// TLibraryCommands: menu 稿件库's new, open and close (新建稿件库,
// 打开稿件库, 关闭稿件库), OpenLibrary (also used for libraries named on the
// command line, by a second start or by a drop) and the create-library
// dialog's caller ShowCreateDocData, the library centre (稿件库中心, F8) and
// the attributes and maintenance items (压缩稿件库, 修复稿件库, 修改密码,
// 创建快捷方式, 属性), which share munDocAttributeClick and tell themselves
// apart by their tag (10 = 属性), and 从备份恢复… (TLibraryRestore.cpp).
// Owned by TMainCommands.
//
// Compaction, repair and a password change rebuild the library file behind a
// progress window; a rebuild that fails is reported and leaves the library as
// it was.
//
// A library that cannot be opened (missing, damaged, not a library, a wrong
// password) is reported in a box and leaves the window usable: in the
// no-library mode, or with the library that was open before still open.
//
// Passwords: an encrypted library's password is asked once while the
// application runs; the one set on creating, typed in the centre or accepted
// by an open is kept (in memory only) and used by later opens. A wrong
// password is asked again, three times in all.
#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

class TAppContext;
class TMainView;
class TManuscriptCommands;
class TqlvDocData;

class TLibraryCommands {
public:
    TLibraryCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts);

    void munDocBaseClick();
    void munDocOpenBaseClick();
    void munDocCloseBaseClick();
    void munDocAttributeClick(int tag);
    void munDocCenterClick();
    void munDocRestoreClick();

    // Opens the library at path and shows it; stores path as the last library
    // whether or not it opened. True when it is open. An encrypted library
    // is opened with `password` when given, else the user is asked.
    bool OpenLibrary(const QString& path, const std::optional<QString>& password = std::nullopt);
    // The create-library dialog: creates the library the user describes and
    // enters it in the library list. True with *fileName the new file.
    bool ShowCreateDocData(QString* fileName);

    // The maintenance steps of the attributes dialog. Compaction with
    // notify shows its finish message; without, nothing at all.
    bool CompressDocData(bool notify);
    bool RepairDocData();
    bool ChangePassword(const QString& password, bool encrypt);
    void CreateDesktopShortcut();

private:
    // Runs one rebuild of the open library behind the progress window;
    // failures are reported under caption. True when the file was replaced.
    bool RebuildLibrary(const QString& caption, const QString& progressText,
                        const std::function<bool(TqlvDocData&)>& rebuild);
    bool OpenDocData(const QString& path, const std::optional<QString>& password = std::nullopt);
    void OpenWithRetries(const QString& path, std::optional<QString> offered, bool* opened);
    void ShowLibraryState();
    void ShowNoLibrary();
    std::optional<QString> KnownPassword(const QString& path) const;
    void RememberPassword(const QString& path, const QString& password);

    TMainView& m_main;
    TAppContext& m_context;
    TManuscriptCommands& m_manuscripts;
    QHash<QString, QString> m_knownPasswords;  // by absolute path
};
