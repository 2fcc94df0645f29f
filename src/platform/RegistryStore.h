// TRegistry: the stand-in for the Windows registry. All keys of all roots
// live in one file, RegistryStoreFolder() + "registry.ini", shared by every
// TRegistry object of the process (one in-process store, re-read when another
// process changed the file) and rewritten atomically on every write, under an
// advisory lock so that two processes do not lose each other's writes.
//
// Key paths use "\" between names. A path starting with "\" is taken from the
// root; any other path is relative to the open key. Key paths and value
// names compare without regard to letter case; a key keeps the spelling it was
// created with. Values are strings or DWORDs.
//
// Failures: a missing key makes OpenKey(..., false) return false; a missing
// string value reads as ""; ReadInteger/ReadBool of a missing or non-DWORD
// value throw ERegistryException (use TryReadInteger to avoid that). A store
// file that cannot be parsed is read as empty, a warning goes to stderr and the
// damaged file is kept beside it as "registry.ini.damaged" before the next
// write replaces it. A store that cannot be written warns on stderr and the
// Write* call returns false; the change then lives only in this process's
// copy until the file is next read.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <stdexcept>

enum class TRegRoot { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

class ERegistryException : public std::runtime_error {
public:
    explicit ERegistryException(const QString& message) : std::runtime_error(message.toStdString()) {}
};

enum class TRegDataType { rdUnknown, rdString, rdInteger };

class TRegistry {
public:
    explicit TRegistry(TRegRoot root = TRegRoot::HKEY_CURRENT_USER);

    TRegRoot RootKey() const { return m_root; }
    // Changing the root closes the open key.
    void SetRootKey(TRegRoot root);

    // Opens `key` (absolute with a leading "\", else relative to the open
    // key); with canCreate the missing keys on the way are created.
    bool OpenKey(const QString& key, bool canCreate);
    bool OpenKeyReadOnly(const QString& key) { return OpenKey(key, false); }
    void CloseKey();
    // "\"-separated path of the open key from the root, without a leading "\";
    // empty when no key is open (the root itself).
    QString CurrentPath() const;

    bool KeyExists(const QString& key) const;
    bool CreateKey(const QString& key);
    // Deletes the key with all its subkeys and values; false when missing.
    bool DeleteKey(const QString& key);

    bool ValueExists(const QString& name) const;
    TRegDataType GetDataType(const QString& name) const;
    bool DeleteValue(const QString& name);
    QStringList GetValueNames() const;
    QStringList GetKeyNames() const;
    bool HasSubKeys() const;

    // Missing value: "". A DWORD value reads as its decimal text.
    QString ReadString(const QString& name) const;
    // Missing or non-DWORD value: throws ERegistryException.
    int32_t ReadInteger(const QString& name) const;
    bool ReadBool(const QString& name) const { return ReadInteger(name) != 0; }
    // nullopt when missing or not a DWORD.
    std::optional<int32_t> TryReadInteger(const QString& name) const;

    bool WriteString(const QString& name, const QString& value);
    bool WriteInteger(const QString& name, int32_t value);
    bool WriteBool(const QString& name, bool value) { return WriteInteger(name, value ? 1 : 0); }

    // Name of a root as stored ("HKEY_LOCAL_MACHINE", ...).
    static QString RootName(TRegRoot root);

private:
    QStringList ResolvePath(const QString& key) const;

    TRegRoot m_root;
    bool m_open = false;
    QStringList m_path;  // open key's segments from the root
};

// Path of the store file in use (RegistryStoreFolder() + "registry.ini").
QString RegistryStoreFile();
