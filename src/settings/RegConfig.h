// TqlvRegConfig: the user's preferences in the registry store (TRegistry,
// root HKEY_LOCAL_MACHINE), under the keys kConfigKey, kPathKey and
// kMailConfigKey. One instance (RegConfig) lives for the whole process.
// Failure behaviour: a key that cannot be opened makes an operation do
// nothing and a reader return its default. A missing or malformed value never
// throws: readers fall back to the first-run default (DefaultEditorStatus) and
// say so on stderr when a stored value is unusable (e.g. SaveTime "abc").
#pragma once

#include "platform/RegistryStore.h"

#include <QString>
#include <cstdint>

// Editor and auto-save preferences, read at start-up.
struct TEditorStatus {
    QString FontName;
    QString FontSize;  // decimal points, always a valid positive number
    QString IMEName;
    int32_t EditorColor = 0x00FFFFFF;  // 0x00BBGGRR
    int32_t SaveTime = 5;              // minutes, >= 1
    bool IME = false;
    bool AutoSave = true;
};

struct TMailConfig {
    QString FromAddress;
    QString FromName;
    QString Server;
    QString Port;
    QString User;

    bool operator==(const TMailConfig&) const = default;
};

struct TDBFlags {
    bool AutoCompress = false;
    bool AutoOpen = false;
};

class TqlvRegConfig {
public:
    // The root every key below lives under.
    static constexpr TRegRoot kRoot = TRegRoot::HKEY_LOCAL_MACHINE;
    static inline const QString kConfigKey = QStringLiteral("\\SoftWare\\Veltrix\\Quilr1.3\\Config");
    static inline const QString kPathKey = QStringLiteral("\\SoftWare\\Veltrix\\Quilr1.3\\Path");
    static inline const QString kMailConfigKey = QStringLiteral("\\SoftWare\\Veltrix\\quilr1.3\\MailConfig");

    TqlvRegConfig();

    // Opens the Config key, creating it; both false when it cannot be opened
    // or a value is missing.
    TDBFlags ReadDBFlags();
    void ReadDBFlags(bool& autoCompress, bool& autoOpen);
    bool ReadAutoOpen();

    // The first-run values: a CJK font present on the system, size 12, white
    // background, auto-save on every 5 minutes, no input method.
    static TEditorStatus DefaultEditorStatus();
    // DefaultEditorStatus() overlaid with what the Config key holds.
    TEditorStatus ReadEditorStatus();
    // Overlays `status` with the stored values; leaves it untouched when the
    // Config key is missing. A missing or unusable value (an empty FontName,
    // a SaveTime or FontSize that is not a positive number, a flag or colour
    // that is not a DWORD) keeps the field.
    void ReadEditorStatus(TEditorStatus& status);

    QString ReadLastDB();
    // Does nothing when the Config key does not exist.
    void WriteLastDB(const QString& path);

    // AppPath() when the Path key is missing; the stored value (empty when
    // that value is missing) otherwise.
    QString ReadExDoc();
    QString ReadExPic();
    QString ReadExFile();
    QString ReadSkinPath();
    void WritePaths(const QString& exDoc, const QString& exPic, const QString& skin, const QString& exFile);

    // All empty when the MailConfig key is missing.
    TMailConfig ReadMailConfig();
    void WriteMailConfig(const TMailConfig& config);

    // Shell integration (RegConfigShell.cpp): the keys under HKEY_CLASSES_ROOT
    // ("\.qdb", "\QDBFile" with its open command, the "Quillora(&A)" verb of
    // "\txtFile") in a registry object of their own, plus the desktop files
    // of TDesktopIntegration under `dataHome` (the user's data folder when
    // empty), both naming `executable` (AppExeName() when empty). Register*
    // return false when a desktop file could not be written.
    bool RegisterQdb(const QString& executable = {}, const QString& dataHome = {});
    void UnregisterQdb(const QString& dataHome = {});
    bool RegisterTxtVerb(const QString& executable = {}, const QString& dataHome = {});
    void UnregisterTxtVerb(const QString& dataHome = {});

    // The registry object the instance owns (root HKEY_LOCAL_MACHINE).
    TRegistry& Registry() { return m_reg; }

private:
    QString ReadPathValue(const QString& name);

    TRegistry m_reg;
};
