// The registry store: case rules, persistence, deleting keys, and damaged or
// concurrently changed store files.
#include "platform/RegistryStore.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kConfig = QStringLiteral("\\SoftWare\\Veltrix\\Quilr1.3\\Config");

class Registry : public ::testing::Test {
protected:
    QByteArray StoreBytes() const {
        QFile file(RegistryStoreFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteStore(const QByteArray& bytes) {
        QFile file(RegistryStoreFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    TTempHome m_home;
};

TEST_F(Registry, KeysAndValueNamesIgnoreLetterCase) {
    TRegistry writer(TRegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(writer.OpenKey(kConfig, true));
    writer.WriteString(QStringLiteral("LastDB"), QStringLiteral("/书/a.qdb"));
    writer.WriteInteger(QStringLiteral("AutoOpen"), 1);

    TRegistry reader(TRegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reader.OpenKey(QStringLiteral("\\software\\VELTRIX\\quilr1.3\\config"), false));
    EXPECT_EQ(reader.ReadString(QStringLiteral("lastdb")), QStringLiteral("/书/a.qdb"));
    EXPECT_TRUE(reader.ReadBool(QStringLiteral("AUTOOPEN")));
    // Rewriting under another spelling changes the one value, keeping its name.
    reader.WriteString(QStringLiteral("LASTDB"), QStringLiteral("b"));
    EXPECT_EQ(reader.GetValueNames(), (QStringList{QStringLiteral("LastDB"), QStringLiteral("AutoOpen")}));
    EXPECT_EQ(writer.ReadString(QStringLiteral("LastDB")), QStringLiteral("b"));
    // Roots are separate.
    TRegistry classes(TRegRoot::HKEY_CLASSES_ROOT);
    EXPECT_FALSE(classes.KeyExists(kConfig));
}

TEST_F(Registry, MissingKeysAndValues) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey(kConfig, false));
    EXPECT_FALSE(QFileInfo::exists(RegistryStoreFile()));  // reading never writes
    ASSERT_TRUE(reg.OpenKey(kConfig, true));
    EXPECT_EQ(reg.ReadString(QStringLiteral("none")), QString());
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("none")));
    EXPECT_FALSE(reg.TryReadInteger(QStringLiteral("none")).has_value());
    EXPECT_THROW(reg.ReadInteger(QStringLiteral("none")), ERegistryException);
    reg.WriteString(QStringLiteral("text"), QStringLiteral("12"));
    EXPECT_THROW(reg.ReadInteger(QStringLiteral("text")), ERegistryException);
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("TEXT")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("text")));
}

TEST_F(Registry, RelativePathsAndDeleteKeyWithSubkeys) {
    TRegistry reg(TRegRoot::HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\QDBFile"), true));
    reg.WriteString(QString(), QStringLiteral("Quillora稿件库"));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Shell\\Open\\Command"), true));
    EXPECT_EQ(reg.CurrentPath(), QStringLiteral("QDBFile\\Shell\\Open\\Command"));
    reg.WriteString(QString(), QStringLiteral("/usr/bin/quillora %1"));
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\qdbfile\\shell")));
    EXPECT_FALSE(reg.DeleteKey(QStringLiteral("\\nothing")));
    EXPECT_TRUE(reg.DeleteKey(QStringLiteral("\\QDBFILE")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\QDBFile")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\QDBFile\\Shell\\Open\\Command")));
    EXPECT_FALSE(reg.DeleteKey(QString()));  // the root stays
}

TEST_F(Registry, StoreSurvivesReloadAndOddText) {
    const QString odd = QStringLiteral("a=b\\c\nd\r[e]%");
    {
        TRegistry reg(TRegRoot::HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Empty"), true));
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Data"), true));
        reg.WriteString(odd, odd);
        reg.WriteInteger(QStringLiteral("neg"), -5);
        reg.WriteInteger(QStringLiteral("big"), static_cast<int32_t>(0xFFFFFFFFu));
    }
    const QByteArray saved = StoreBytes();
    WriteStore(QByteArray());  // force a re-read from what was saved
    WriteStore(saved + "\n");
    TRegistry reg(TRegRoot::HKEY_CURRENT_USER);
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\Empty")));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Data"), false));
    EXPECT_EQ(reg.ReadString(odd), odd);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("neg")), -5);
    EXPECT_EQ(static_cast<uint32_t>(reg.ReadInteger(QStringLiteral("big"))), 0xFFFFFFFFu);
}

TEST_F(Registry, AnotherProcessSeesAndAddsWrites) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(kConfig, true));
    reg.WriteString(QStringLiteral("parent"), QStringLiteral("1"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TRegistry other(TRegRoot::HKEY_LOCAL_MACHINE);
        bool ok = other.OpenKey(QStringLiteral("\\SOFTWARE\\veltrix\\QUILR1.3\\CONFIG"), false) &&
                  other.ReadString(QStringLiteral("parent")) == QStringLiteral("1") &&
                  other.WriteString(QStringLiteral("child"), QStringLiteral("2"));
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(reg.ReadString(QStringLiteral("child")), QStringLiteral("2"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("parent")), QStringLiteral("1"));
}

// Each write re-reads the file under a lock, so two processes writing at the
// same time keep each other's values.
TEST_F(Registry, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 2;
    constexpr int kValues = 40;
    pid_t children[kWriters];
    for (int w = 0; w < kWriters; ++w) {
        children[w] = fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
            bool ok = reg.OpenKey(QStringLiteral("\\Shared"), true);
            for (int i = 0; i < kValues && ok; ++i)
                ok = reg.WriteInteger(QStringLiteral("w%1_%2").arg(w).arg(i), i);
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Shared"), false));
    EXPECT_EQ(reg.GetValueNames().size(), kWriters * kValues);
}

TEST_F(Registry, DamagedStoreReadsEmptyWithAWarning) {
    const QByteArray junks[] = {QByteArray("\x00\xFF\xFE junk \x81", 10), QByteArray("[HKEY_NOWHERE\\a]\ns:x=1\n"),
                                QByteArray("[HKEY_LOCAL_MACHINE\\a]\nd:x=notanumber\n"), QByteArray("s:outside=1\n")};
    for (const QByteArray& junk : junks) {
        WriteStore(junk);
        ::testing::internal::CaptureStderr();
        TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
        EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\a")));
        EXPECT_TRUE(reg.GetKeyNames().isEmpty());
        const std::string warning = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(warning.find("damaged"), std::string::npos) << warning;
        // Writing works again and the damaged file is kept aside.
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\b"), true));
        EXPECT_TRUE(reg.WriteInteger(QStringLiteral("v"), 3));
        QFile kept(RegistryStoreFile() + QStringLiteral(".damaged"));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), junk);
        EXPECT_TRUE(StoreBytes().contains("d:v=3"));
    }
}

TEST_F(Registry, FollowsTheHomeFolder) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\First"), true));
    {
        TTempHome second;
        EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\First")));
        EXPECT_TRUE(QFileInfo(RegistryStoreFile()).path() + QLatin1Char('/') == second.Path());
    }
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\First")));
}

}  // namespace
