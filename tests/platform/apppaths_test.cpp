// Where the application's files go: QUILLORA_HOME first, created when
// missing, and a clear message plus a fallback when it cannot be used.
#include "platform/AppPaths.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class AppPaths : public ::testing::Test {
protected:
    void SetHome(const QString& home) {
        qputenv("QUILLORA_HOME", QFile::encodeName(home));
        ResetAppPathsForTesting();
    }
    void TearDown() override {
        qputenv("QUILLORA_HOME", m_saved);
        ResetAppPathsForTesting();
    }
    QTemporaryDir m_dir;
    QByteArray m_saved = qgetenv("QUILLORA_HOME");
};

TEST_F(AppPaths, HomeWithOrWithoutSlashEndsWithOneSlash) {
    const QString expected = m_dir.path() + QLatin1Char('/');
    for (const QString& home : {m_dir.path(), expected, m_dir.path() + QStringLiteral("//")}) {
        SetHome(home);
        EXPECT_EQ(AppPath(), expected) << home.toStdString();
        EXPECT_EQ(RegistryStoreFolder(), expected);
    }
}

TEST_F(AppPaths, MissingHomeIsCreated) {
    const QString home = m_dir.path() + QStringLiteral("/a/b/稿件/");
    SetHome(home);
    EXPECT_EQ(AppPath(), home);
    EXPECT_TRUE(QFileInfo(home).isDir());
}

TEST_F(AppPaths, UnusableHomeFallsBackWithAMessage) {
    // Tests may run as root, where permission bits stop nothing: a folder
    // below a regular file can never be created.
    QFile blocker(m_dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString bad = blocker.fileName() + QStringLiteral("/home/");
    SetHome(bad);
    ::testing::internal::CaptureStderr();
    const QString appPath = AppPath();
    const QString storeFolder = RegistryStoreFolder();
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(appPath, bad);
    EXPECT_TRUE(appPath.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo(appPath).isDir() && QFileInfo(appPath).isWritable());
    EXPECT_NE(storeFolder, bad);
    EXPECT_TRUE(QFileInfo(storeFolder).isDir());
    EXPECT_NE(messages.find(QFile::encodeName(bad).toStdString()), std::string::npos) << messages;
}

TEST_F(AppPaths, HomeThatIsAFileFallsBack) {
    const QString file = m_dir.filePath(QStringLiteral("plain"));
    QFile(file).open(QIODevice::WriteOnly);
    SetHome(file);
    ::testing::internal::CaptureStderr();
    EXPECT_NE(AppPath(), file + QLatin1Char('/'));
    EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
}

TEST_F(AppPaths, ExeNameIsThisProgram) {
    const QFileInfo exe(AppExeName());
    EXPECT_TRUE(exe.isAbsolute());
    EXPECT_TRUE(exe.isExecutable());
    EXPECT_TRUE(exe.fileName().startsWith(QStringLiteral("platform_apppaths_test")));
}

TEST_F(AppPaths, WithoutHomeUsesTheXdgFolders) {
    qunsetenv("QUILLORA_HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    ResetAppPathsForTesting();
    EXPECT_EQ(RegistryStoreFolder(), m_dir.path() + QStringLiteral("/Quillora/"));
    qputenv("XDG_CONFIG_HOME", savedConfig);
}

// An installed program is recognised by its shared folder beside the
// program folder; only a real folder counts, and the build tree (nothing at
// ../share/quillora) is not an installation.
TEST_F(AppPaths, InstalledPrefixIsKnownByItsSharedFolder) {
    const QString prefix = m_dir.path() + QStringLiteral("/usr");
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/share/quillora")));
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/build/src/app")));
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/odd/bin")));
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/odd/share")));
    QFile(m_dir.path() + QStringLiteral("/odd/share/quillora")).open(QIODevice::WriteOnly);
    const struct {
        QString exeFolder;
        bool installed;
    } cases[] = {
        {prefix + QStringLiteral("/bin"), true},
        {prefix + QStringLiteral("/bin/"), true},
        {m_dir.path() + QStringLiteral("/build/src/app/"), false},
        {m_dir.path() + QStringLiteral("/odd/bin/"), false},  // share/quillora is a file
        {m_dir.path() + QStringLiteral("/missing/bin/"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunsFromInstalledPrefix(c.exeFolder), c.installed) << c.exeFolder.toStdString();
    for (const QString& exeFolder : {prefix + QStringLiteral("/bin"), prefix + QStringLiteral("/bin/")})
        EXPECT_EQ(InstalledSharedFolder(exeFolder), prefix + QStringLiteral("/share/quillora/"));
}

}  // namespace
