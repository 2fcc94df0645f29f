#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryFile>

#include <unistd.h>
#include <cstdio>
#include <optional>

namespace {

QMutex g_pathsMutex;
std::optional<QString> g_appPath;
std::optional<QString> g_storeFolder;

QString WithSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void Warn(const QString& message) { std::fprintf(stderr, "Quillora: %s\n", message.toLocal8Bit().constData()); }

// Creates the folder when missing and proves it writable by creating a file
// in it (root ignores permission bits, so asking access(2) is not enough).
bool MakeUsable(const QString& folder, QString* reason) {
    QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        *reason = QStringLiteral("it exists and is not a folder");
        return false;
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        *reason = QStringLiteral("the folder cannot be created");
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral(".probe-XXXXXX"));
    if (!probe.open()) {
        *reason = QStringLiteral("the folder is not writable");
        return false;
    }
    return true;
}

QString EnvFolder(const char* name) {
    QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString() : WithSlash(QDir::cleanPath(QDir().absoluteFilePath(value)));
}

QString XdgFolder(const char* variable, const char* fallbackUnderHome) {
    QString base = EnvFolder(variable);
    if (base.isEmpty())
        base = WithSlash(QDir::homePath()) + QLatin1String(fallbackUnderHome);
    return base + QStringLiteral("Quillora/");
}

QString LastResortFolder() { return WithSlash(QDir::tempPath()) + QStringLiteral("Quillora-%1/").arg(getuid()); }

// The first candidate that is usable; unusable ones are reported on stderr.
QString FirstUsable(const QStringList& candidates, const char* what) {
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty())
            continue;
        QString reason;
        if (MakeUsable(candidate, &reason))
            return candidate;
        Warn(QStringLiteral("cannot use %1 \"%2\": %3; trying the next place")
                 .arg(QLatin1String(what), candidate, reason));
    }
    return candidates.isEmpty() ? QString() : candidates.last();
}

QString ExeFolder() {
    QString exe = AppExeName();
    return exe.isEmpty() ? QString() : WithSlash(QFileInfo(exe).absolutePath());
}

QString HomeFromEnv() { return EnvFolder("QUILLORA_HOME"); }

// The executable's folder as a place for the user's files: not when it is
// the program folder of an installation (often writable by root, and never
// the user's).
QString PortableFolder() {
    const QString exeFolder = ExeFolder();
    return exeFolder.isEmpty() || RunsFromInstalledPrefix(exeFolder) ? QString() : exeFolder;
}

}  // namespace

QString AppExeName() {
    static const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe;
}

QString AppPath() {
    QMutexLocker lock(&g_pathsMutex);
    if (!g_appPath) {
        g_appPath = FirstUsable(
            {HomeFromEnv(), PortableFolder(), XdgFolder("XDG_DATA_HOME", ".local/share/"), LastResortFolder()},
            "the application folder");
    }
    return *g_appPath;
}

QString RegistryStoreFolder() {
    QMutexLocker lock(&g_pathsMutex);
    if (!g_storeFolder) {
        g_storeFolder = FirstUsable({HomeFromEnv(), XdgFolder("XDG_CONFIG_HOME", ".config/"), LastResortFolder()},
                                    "the settings folder");
    }
    return *g_storeFolder;
}

QString InstalledSharedFolder(const QString& exeFolder) {
    return WithSlash(QDir::cleanPath(WithSlash(exeFolder) + QLatin1String(QUILLORA_SHARED_FROM_BIN)));
}

bool RunsFromInstalledPrefix(const QString& exeFolder) { return QFileInfo(InstalledSharedFolder(exeFolder)).isDir(); }

QStringList SharedDataFolders() {
    const QString exeFolder = ExeFolder();
    if (exeFolder.isEmpty())
        return {};
    return {exeFolder, InstalledSharedFolder(exeFolder)};
}

void ResetAppPathsForTesting() {
    QMutexLocker lock(&g_pathsMutex);
    g_appPath.reset();
    g_storeFolder.reset();
}

QString DefaultBackupFolder() { return AppPath() + QStringLiteral("Backups/"); }
