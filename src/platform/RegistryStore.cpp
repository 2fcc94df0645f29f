#include "platform/RegistryStore.h"

#include "platform/AppPaths.h"
#include "platform/RegistryTree.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <ctime>

namespace {

using namespace quillora_registry;

// Identity of the store file as last read or written, to notice changes made
// by another process (rename gives a new inode; an edit changes size or time).
struct TFileSignature {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const TFileSignature& other) const {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

TFileSignature SignatureOf(const QString& path) {
    TFileSignature sig;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return sig;
    sig.exists = true;
    sig.device = st.st_dev;
    sig.inode = st.st_ino;
    sig.size = st.st_size;
    sig.modified = st.st_mtim;
    return sig;
}

// File times tick with a coarse clock and inodes are reused, so a file
// rewritten within the last moments may look unchanged although it is not;
// such a file is read again (as version control tools do for "racy" files).
bool RecentlyModified(const TFileSignature& sig) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return sig.exists && now.tv_sec - sig.modified.tv_sec < 2;
}

void Warn(const QString& message) { std::fprintf(stderr, "Quillora: %s\n", message.toLocal8Bit().constData()); }

// Exclusive advisory lock on "<store>.lock" for the time of one write, so that
// read-modify-write cycles of two processes do not interleave.
class TStoreWriteLock {
public:
    explicit TStoreWriteLock(const QString& storeFile) {
        m_fd = ::open(QFile::encodeName(storeFile + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                      0644);
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~TStoreWriteLock() {
        if (m_fd >= 0)
            ::close(m_fd);  // closing releases the lock
    }
    TStoreWriteLock(const TStoreWriteLock&) = delete;
    TStoreWriteLock& operator=(const TStoreWriteLock&) = delete;

private:
    int m_fd = -1;
};

// The one store of the process.
class TRegistryStore {
public:
    static TRegistryStore& Instance() {
        static TRegistryStore store;
        return store;
    }

    template <typename Reader>
    auto Read(Reader reader) {
        QMutexLocker lock(&m_mutex);
        Refresh();
        return reader(static_cast<const TRegTree&>(m_tree));
    }

    // `writer` changes the tree and returns whether it changed anything.
    template <typename Writer>
    bool Write(Writer writer) {
        QMutexLocker lock(&m_mutex);
        const QString file = RegistryStoreFile();
        TStoreWriteLock fileLock(file);
        Refresh();
        if (!writer(m_tree))
            return false;
        return Save();
    }

private:
    void Refresh() {
        const QString file = RegistryStoreFile();
        const TFileSignature sig = SignatureOf(file);
        if (file == m_file && sig == m_signature && !RecentlyModified(sig))
            return;
        m_file = file;
        m_signature = sig;
        m_damaged = false;
        m_tree = TRegTree();
        if (!sig.exists)
            return;
        Load();
    }

    void Load() {
        QFile in(m_file);
        if (!in.open(QIODevice::ReadOnly)) {
            Warn(QStringLiteral("cannot read the settings store \"%1\": %2; using empty settings")
                     .arg(m_file, in.errorString()));
            return;
        }
        QString error;
        if (!ParseRegistryText(in.readAll(), m_tree, &error)) {
            Warn(QStringLiteral("the settings store \"%1\" is damaged (%2); using empty settings, "
                                "the damaged file is kept as \"%1.damaged\"")
                     .arg(m_file, error));
            m_tree = TRegTree();
            m_damaged = true;
        }
    }

    bool Save() {
        if (m_damaged) {
            QFile::remove(m_file + QStringLiteral(".damaged"));
            QFile::copy(m_file, m_file + QStringLiteral(".damaged"));
            m_damaged = false;
        }
        QString error;
        const bool ok = WriteFileAtomic(m_file, FormatRegistryText(m_tree), &error);
        if (!ok)
            Warn(QStringLiteral("cannot write the settings store: %1").arg(error));
        else
            m_signature = SignatureOf(m_file);
        return ok;
    }

    QMutex m_mutex;
    QString m_file;
    TFileSignature m_signature;
    bool m_damaged = false;
    TRegTree m_tree;
};

TRegistryStore& Store() { return TRegistryStore::Instance(); }

}  // namespace

QString RegistryStoreFile() { return RegistryStoreFolder() + QStringLiteral("registry.ini"); }

TRegistry::TRegistry(TRegRoot root) : m_root(root) {}

void TRegistry::SetRootKey(TRegRoot root) {
    CloseKey();
    m_root = root;
}

QString TRegistry::RootName(TRegRoot root) {
    switch (root) {
        case TRegRoot::HKEY_CLASSES_ROOT:
            return QStringLiteral("HKEY_CLASSES_ROOT");
        case TRegRoot::HKEY_CURRENT_USER:
            return QStringLiteral("HKEY_CURRENT_USER");
        case TRegRoot::HKEY_LOCAL_MACHINE:
            return QStringLiteral("HKEY_LOCAL_MACHINE");
    }
    return QString();
}

QStringList TRegistry::ResolvePath(const QString& key) const {
    QStringList path = key.startsWith(QLatin1Char('\\')) ? QStringList() : m_path;
    path += key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return path;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
    const QStringList path = ResolvePath(key);
    if (!IsValidKeyPath(path))
        return false;
    const int root = static_cast<int>(m_root);
    bool found = Store().Read([&](const TRegTree& tree) { return tree.Find(root, path) != nullptr; });
    if (!found && canCreate) {
        Store().Write([&](TRegTree& tree) {
            tree.FindOrCreate(root, path);
            return true;
        });
        found = Store().Read([&](const TRegTree& tree) { return tree.Find(root, path) != nullptr; });
    }
    if (found) {
        m_path = path;
        m_open = true;
    }
    return found;
}

void TRegistry::CloseKey() {
    m_path.clear();
    m_open = false;
}

QString TRegistry::CurrentPath() const { return m_path.join(QLatin1Char('\\')); }

bool TRegistry::KeyExists(const QString& key) const {
    const QStringList path = ResolvePath(key);
    const int root = static_cast<int>(m_root);
    return Store().Read([&](const TRegTree& tree) { return tree.Find(root, path) != nullptr; });
}

bool TRegistry::CreateKey(const QString& key) {
    const QStringList path = ResolvePath(key);
    if (!IsValidKeyPath(path))
        return false;
    const int root = static_cast<int>(m_root);
    Store().Write([&](TRegTree& tree) {
        tree.FindOrCreate(root, path);
        return true;
    });
    return KeyExists(key);
}

bool TRegistry::DeleteKey(const QString& key) {
    const QStringList path = ResolvePath(key);
    if (path.isEmpty())
        return false;  // a root cannot be deleted
    const int root = static_cast<int>(m_root);
    bool removed = false;
    Store().Write([&](TRegTree& tree) {
        removed = tree.Remove(root, path);
        return removed;
    });
    return removed;
}

bool TRegistry::ValueExists(const QString& name) const { return GetDataType(name) != TRegDataType::rdUnknown; }

TRegDataType TRegistry::GetDataType(const QString& name) const {
    const int root = static_cast<int>(m_root);
    return Store().Read([&](const TRegTree& tree) {
        const TRegKey* key = tree.Find(root, m_path);
        const TRegValue* value = key ? key->FindValue(name) : nullptr;
        return value ? value->type : TRegDataType::rdUnknown;
    });
}

bool TRegistry::DeleteValue(const QString& name) {
    const int root = static_cast<int>(m_root);
    bool removed = false;
    Store().Write([&](TRegTree& tree) {
        TRegKey* key = tree.Find(root, m_path);
        removed = key && key->RemoveValue(name);
        return removed;
    });
    return removed;
}

QStringList TRegistry::GetValueNames() const {
    const int root = static_cast<int>(m_root);
    return Store().Read([&](const TRegTree& tree) {
        QStringList names;
        if (const TRegKey* key = tree.Find(root, m_path))
            for (const TRegValue& value : key->values)
                names << value.name;
        return names;
    });
}

QStringList TRegistry::GetKeyNames() const {
    const int root = static_cast<int>(m_root);
    return Store().Read([&](const TRegTree& tree) {
        QStringList names;
        if (const TRegKey* key = tree.Find(root, m_path))
            for (const auto& child : key->children)
                names << child->name;
        return names;
    });
}

bool TRegistry::HasSubKeys() const { return !GetKeyNames().isEmpty(); }

QString TRegistry::ReadString(const QString& name) const {
    const int root = static_cast<int>(m_root);
    return Store().Read([&](const TRegTree& tree) {
        const TRegKey* key = tree.Find(root, m_path);
        const TRegValue* value = key ? key->FindValue(name) : nullptr;
        if (!value)
            return QString();
        return value->type == TRegDataType::rdInteger ? QString::number(value->dword) : value->text;
    });
}

std::optional<int32_t> TRegistry::TryReadInteger(const QString& name) const {
    const int root = static_cast<int>(m_root);
    return Store().Read([&](const TRegTree& tree) -> std::optional<int32_t> {
        const TRegKey* key = tree.Find(root, m_path);
        const TRegValue* value = key ? key->FindValue(name) : nullptr;
        if (!value || value->type != TRegDataType::rdInteger)
            return std::nullopt;
        return value->dword;
    });
}

int32_t TRegistry::ReadInteger(const QString& name) const {
    if (std::optional<int32_t> value = TryReadInteger(name))
        return *value;
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
}

bool TRegistry::WriteString(const QString& name, const QString& value) {
    const int root = static_cast<int>(m_root);
    return Store().Write([&](TRegTree& tree) {
        TRegKey* key = tree.Find(root, m_path);
        if (key)
            key->SetValue(TRegValue{name, TRegDataType::rdString, value, 0});
        return key != nullptr;
    });
}

bool TRegistry::WriteInteger(const QString& name, int32_t value) {
    const int root = static_cast<int>(m_root);
    return Store().Write([&](TRegTree& tree) {
        TRegKey* key = tree.Find(root, m_path);
        if (key)
            key->SetValue(TRegValue{name, TRegDataType::rdInteger, QString(), value});
        return key != nullptr;
    });
}
