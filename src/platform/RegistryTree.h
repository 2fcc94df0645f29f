// The in-memory tree behind TRegistry and its text form (registry.ini).
// Internal to the platform layer: use TRegistry (RegistryStore.h) instead.
//
// Text form, UTF-8, one key per section, keys of every root in one file:
//   ; Quillora registry store
//   [HKEY_LOCAL_MACHINE\SoftWare\Veltrix\Quilr1.3\Config]
//   s:LastDB=/home/a/书.qdb
//   d:AutoOpen=1
// "s:" marks a string, "d:" a DWORD in decimal. In names and values "\\",
// "\n", "\r" and "\=" stand for a backslash, line feed, carriage return and
// "=". An empty name is the key's default value.
#pragma once

#include "platform/RegistryStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace quillora_registry {

struct TRegValue {
    QString name;
    TRegDataType type = TRegDataType::rdString;
    QString text;
    int32_t dword = 0;
};

// One key: values and subkeys in creation order; names keep their first
// spelling and are matched without regard to letter case.
struct TRegKey {
    QString name;
    QList<TRegValue> values;
    std::vector<std::unique_ptr<TRegKey>> children;

    const TRegValue* FindValue(const QString& valueName) const;
    void SetValue(const TRegValue& value);
    bool RemoveValue(const QString& valueName);
    TRegKey* FindChild(const QString& childName) const;
    TRegKey* AddChild(const QString& childName);
    bool RemoveChild(const QString& childName);
};

constexpr int kRootCount = 3;  // indexed by TRegRoot

class TRegTree {
public:
    TRegTree();
    TRegKey* Find(int root, const QStringList& path) const;
    TRegKey* FindOrCreate(int root, const QStringList& path);
    // Removes the key at path with everything below it.
    bool Remove(int root, const QStringList& path);
    const TRegKey& Root(int root) const { return *m_roots[root]; }

private:
    std::unique_ptr<TRegKey> m_roots[kRootCount];
};

// A key name may not be empty nor hold control characters.
bool IsValidKeyPath(const QStringList& path);

// False (and *error set) when the text is not a store file; `tree` is then
// partly filled and must be discarded.
bool ParseRegistryText(const QByteArray& bytes, TRegTree& tree, QString* error);
QByteArray FormatRegistryText(const TRegTree& tree);

}  // namespace quillora_registry
