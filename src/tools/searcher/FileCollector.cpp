#include "tools/searcher/FileCollector.h"

#include <QFile>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace {

enum class EntryKind { File, Folder, Other };

// What an entry is; a link counts as what it points at, except that a link
// to a folder is neither a file nor a folder to walk into.
EntryKind KindOf(const QByteArray& path, unsigned char type) {
    if (type == DT_REG)
        return EntryKind::File;
    if (type == DT_DIR)
        return EntryKind::Folder;
    struct stat own {};
    if (::lstat(path.constData(), &own) != 0)
        return EntryKind::Other;
    if (S_ISDIR(own.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(own.st_mode)) {
        struct stat target {};
        // A dangling link is listed; reading it fails later and it is skipped.
        if (::stat(path.constData(), &target) != 0)
            return EntryKind::File;
        return S_ISDIR(target.st_mode) ? EntryKind::Other : EntryKind::File;
    }
    return EntryKind::File;
}

class TCollector {
public:
    TCollector(const QByteArray& mask, bool recurse, const std::atomic<bool>* stop)
        : m_mask(mask), m_recurse(recurse), m_stop(stop) {}

    void Walk(const QString& folder) {
        if (Stopped())
            return;
        DIR* dir = ::opendir(QFile::encodeName(folder).constData());
        if (!dir)
            return;
        QStringList subFolders;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QString path = folder + QFile::decodeName(name);
            const EntryKind kind = KindOf(QFile::encodeName(path), entry->d_type);
            if (kind == EntryKind::Folder)
                subFolders << path + QLatin1Char('/');
            else if (kind == EntryKind::File && ::fnmatch(m_mask.constData(), name.constData(), FNM_CASEFOLD) == 0)
                m_files << path;
        }
        ::closedir(dir);
        if (m_recurse)
            for (const QString& sub : subFolders)
                Walk(sub);
    }

    QStringList Files() const { return m_files; }

private:
    bool Stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    QByteArray m_mask;
    bool m_recurse;
    const std::atomic<bool>* m_stop;
    QStringList m_files;
};

}  // namespace

QStringList CollectFiles(const QString& folder, const QString& mask, bool recurse, const std::atomic<bool>* stop) {
    TCollector collector(QFile::encodeName(mask), recurse, stop);
    collector.Walk(folder);
    return collector.Files();
}
