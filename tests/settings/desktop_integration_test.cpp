// File associations: the HKEY_CLASSES_ROOT keys and the desktop files written
// and removed together, the written entries checked by desktop-file-validate,
// the registered type seen by xdg-mime, and the input-method list.
#include "settings/DesktopIntegration.h"
#include "settings/InputMethods.h"
#include "settings/RegConfig.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kExe = QStringLiteral("/opt/quillora/bin/quillora");

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a program with XDG_DATA_HOME pointing at `dataHome`; stdout+stderr.
QString RunTool(const QString& program, const QStringList& args, const QString& dataHome, int* exitCode) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    process.waitForFinished(120000);
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll()).trimmed();
}

bool Installed(const char* program) { return !QStandardPaths::findExecutable(QLatin1String(program)).isEmpty(); }

class ShellIntegration : public ::testing::Test {
protected:
    QString Data() const { return m_data.path(); }
    TDesktopIntegration Desktop() const { return TDesktopIntegration(Data()); }
    bool ClassesKey(const QString& key) const { return m_classes.KeyExists(key); }
    QString DefaultOf(const QString& key) {
        if (!m_classes.OpenKey(key, false))
            return QStringLiteral("<missing>");
        const QString value = m_classes.ReadString(QString());
        m_classes.CloseKey();
        return value;
    }
    // Files under the data folder other than the caches the update tools keep.
    QStringList OwnFiles() const {
        QStringList files;
        QDirIterator it(Data(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = QDir(Data()).relativeFilePath(it.next());
            const bool mimeCache =
                path.startsWith(QLatin1String("mime/")) && !path.startsWith(QLatin1String("mime/packages/"));
            if (!mimeCache && path != QLatin1String("applications/mimeinfo.cache"))
                files << path;
        }
        files.sort();
        return files;
    }

    TTempHome m_home;
    QTemporaryDir m_data;
    TqlvRegConfig m_config;
    TRegistry m_classes{TRegRoot::HKEY_CLASSES_ROOT};
};

TEST_F(ShellIntegration, RegisteringQdbWritesKeysAndFiles) {
    ASSERT_TRUE(m_config.RegisterQdb(kExe, Data()));
    EXPECT_EQ(DefaultOf(QStringLiteral("\\.qdb")), QStringLiteral("QDBFile"));
    EXPECT_EQ(DefaultOf(QStringLiteral("\\QDBFile")), QStringLiteral("Quillora稿件库"));
    EXPECT_EQ(DefaultOf(QStringLiteral("\\qdbfile\\Shell\\Open\\Command")), kExe + QStringLiteral(" %1"));
    EXPECT_EQ(OwnFiles(), (QStringList{"applications/quillora.desktop", "icons/hicolor/scalable/apps/quillora.svg",
                                       "icons/hicolor/scalable/mimetypes/application-x-quillora-library.svg",
                                       "mime/packages/application-x-quillora-library.xml"}));
    const QByteArray entry = ReadFile(Desktop().LibraryEntryFile());
    EXPECT_TRUE(entry.contains("\nExec=" + kExe.toUtf8() + " %f\n")) << entry.constData();
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-quillora-library;\n"));
    EXPECT_TRUE(ReadFile(Desktop().AppIconFile()).contains("<svg"));
    EXPECT_TRUE(ReadFile(Desktop().MimePackageFile()).contains("<glob pattern=\"*.qdb\"/>"));
}

// Each registration removed alone leaves the other whole; removing both
// leaves nothing of ours behind.
TEST_F(ShellIntegration, UnregisteringRemovesExactlyWhatWasWritten) {
    struct Case {
        const char* name;
        bool qdb;
        bool txt;
        bool removeQdb;
        bool removeTxt;
    };
    const Case cases[] = {
        {"qdb alone", true, false, true, false},        {"verb alone", false, true, false, true},
        {"both, qdb removed", true, true, true, false}, {"both, verb removed", true, true, false, true},
        {"both removed", true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir other;
        TDesktopIntegration alone(other.path());
        if (c.qdb) {
            m_config.RegisterQdb(kExe, Data());
            alone.RegisterLibraryType(kExe);
        }
        if (c.txt) {
            m_config.RegisterTxtVerb(kExe, Data());
            alone.RegisterTextVerb(kExe);
        }
        if (c.removeQdb)
            m_config.UnregisterQdb(Data());
        if (c.removeTxt)
            m_config.UnregisterTxtVerb(Data());

        // What is left equals what registering only the survivor writes.
        QTemporaryDir expectedDir;
        TDesktopIntegration expected(expectedDir.path());
        if (c.qdb && !c.removeQdb)
            expected.RegisterLibraryType(kExe);
        if (c.txt && !c.removeTxt)
            expected.RegisterTextVerb(kExe);
        for (int i = 0; i < Desktop().AllFiles().size(); ++i)
            EXPECT_EQ(QFile::exists(Desktop().AllFiles()[i]), QFile::exists(expected.AllFiles()[i]))
                << Desktop().AllFiles()[i].toStdString();
        EXPECT_EQ(ClassesKey(QStringLiteral("\\.qdb")), c.qdb && !c.removeQdb);
        EXPECT_EQ(ClassesKey(QStringLiteral("\\QDBFile")), c.qdb && !c.removeQdb);
        EXPECT_EQ(ClassesKey(QStringLiteral("\\txtFile\\Shell\\Quillora(&A)")), c.txt && !c.removeTxt);
        m_config.UnregisterQdb(Data());
        m_config.UnregisterTxtVerb(Data());
        EXPECT_EQ(OwnFiles(), QStringList());
    }
}

TEST_F(ShellIntegration, UnregisteringKeepsOtherTextVerbsAndIsHarmlessWhenNothingIsThere) {
    m_config.UnregisterQdb(Data());
    m_config.UnregisterTxtVerb(Data());
    ASSERT_TRUE(m_classes.OpenKey(QStringLiteral("\\txtFile\\Shell\\Edit\\Command"), true));
    m_classes.CloseKey();
    m_config.RegisterTxtVerb(kExe, Data());
    EXPECT_EQ(DefaultOf(QStringLiteral("\\txtFile\\Shell\\Quillora(&A)\\Command")), kExe + QStringLiteral(" %1"));
    m_config.UnregisterTxtVerb(Data());
    EXPECT_FALSE(ClassesKey(QStringLiteral("\\txtFile\\Shell\\Quillora(&A)")));
    EXPECT_TRUE(ClassesKey(QStringLiteral("\\txtFile\\Shell\\Edit\\Command")));
}

TEST_F(ShellIntegration, ReRegisteringWritesTheSameFilesAnew) {
    m_config.RegisterQdb(kExe, Data());
    const QByteArray entry = ReadFile(Desktop().LibraryEntryFile());
    m_config.UnregisterQdb(Data());
    EXPECT_FALSE(QFile::exists(Desktop().LibraryEntryFile()));
    m_config.RegisterQdb(kExe, Data());
    EXPECT_EQ(ReadFile(Desktop().LibraryEntryFile()), entry);
    EXPECT_TRUE(ClassesKey(QStringLiteral("\\QDBFile\\Shell\\Open\\Command")));
}

TEST_F(ShellIntegration, ExecValueQuotesAndEscapesThePath) {
    struct Case {
        QString exe;
        QString exec;
    };
    const Case cases[] = {
        {"/usr/bin/quillora", "/usr/bin/quillora %f"},
        {"/home/u/My Apps/quillora", "\"/home/u/My Apps/quillora\" %f"},
        {"/opt/100%/quillora", "/opt/100%%/quillora %f"},
        {"/opt/$HOME/q", "\"/opt/\\\\$HOME/q\" %f"},
        {"/opt/a\"b/q", "\"/opt/a\\\\\"b/q\" %f"},
        {"/opt/a\\b/q", "\"/opt/a\\\\\\\\b/q\" %f"},
        {"/opt/稿件/q", "/opt/稿件/q %f"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TDesktopIntegration::DesktopExec(c.exe), c.exec) << c.exe.toStdString();
}

TEST_F(ShellIntegration, WrittenEntriesPassDesktopFileValidate) {
    if (!Installed("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed";
    for (const QString exe : {QStringLiteral("/usr/bin/quillora"), QStringLiteral("/home/u/My Apps/quillora"),
                              QStringLiteral("/opt/a\"$b%/稿件/quillora")}) {
        m_config.RegisterQdb(exe, Data());
        m_config.RegisterTxtVerb(exe, Data());
        for (const QString& file : {Desktop().LibraryEntryFile(), Desktop().TextVerbEntryFile()}) {
            int code = 0;
            const QString output = RunTool(QStringLiteral("desktop-file-validate"), {file}, Data(), &code);
            EXPECT_EQ(code, 0) << exe.toStdString() << ": " << output.toStdString();
            EXPECT_EQ(output, QString()) << exe.toStdString();
        }
    }
    EXPECT_TRUE(ReadFile(Desktop().TextVerbEntryFile()).contains("\nName=Quillora(A)\n"));
    EXPECT_TRUE(ReadFile(Desktop().TextVerbEntryFile()).contains("\nMimeType=text/plain;\n"));
}

TEST_F(ShellIntegration, XdgMimeReportsTheRegisteredType) {
    if (!Installed("xdg-mime") || !Installed("update-mime-database"))
        GTEST_SKIP() << "xdg-mime or update-mime-database is not installed";
    const QString library = Data() + QStringLiteral("/小说 集.qdb");
    QFile file(library);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x01\x02TDB library bytes\x00\x7f", 21));
    file.close();

    int code = 0;
    m_config.RegisterQdb(kExe, Data());
    EXPECT_EQ(RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), library},
                      Data(), &code),
              QStringLiteral("application/x-quillora-library"));
    m_config.UnregisterQdb(Data());
    EXPECT_NE(RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), library},
                      Data(), &code),
              QStringLiteral("application/x-quillora-library"));
}

TEST(InputMethods, FrameworksFromTheEnvironmentAndPlugins) {
    struct Case {
        const char* name;
        QString env;
        QStringList plugins;
        QStringList expected;
    };
    const Case cases[] = {
        {"nothing", "", {}, {}},
        {"plugins sorted",
         "",
         {"libibusplatforminputcontextplugin.so", "libcomposeplatforminputcontextplugin.so"},
         {"compose", "ibus"}},
        {"environment first, no duplicate",
         "fcitx5",
         {"libibusplatforminputcontextplugin.so", "libfcitx5platforminputcontextplugin.so"},
         {"fcitx5", "ibus"}},
        {"several modules in the variable", "ibus;compose", {}, {"ibus", "compose"}},
        {"other files ignored", "", {"libqxcb.so", "README", "platforminputcontextplugin.so"}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InputMethodsFrom(c.env, c.plugins), c.expected) << c.name;
}

}  // namespace

// A user who registers the associations in the options dialog and a system
// installation must give desktops the same type and the same entry, so the
// packaged files are what registering writes for a program on the PATH.
TEST(InstalledDesktopFiles, AreWhatRegisteringWritesForTheProgramOnThePath) {
    const QString source = qEnvironmentVariable("QUILLORA_SOURCE_DIR");
    if (source.isEmpty())
        GTEST_SKIP() << "QUILLORA_SOURCE_DIR is not set";
    const QString packaging = source + QStringLiteral("/packaging/");
    EXPECT_EQ(ReadFile(packaging + QStringLiteral("application-x-quillora-library.xml")),
              TDesktopIntegration::MimePackageText());
    EXPECT_EQ(ReadFile(packaging + QStringLiteral("quillora.desktop")),
              TDesktopIntegration::LibraryEntryText(QStringLiteral("quillora")));
}
