// Desktop launchers of libraries: file name, target and working folder, the
// executable mark, replacement of an older launcher, and entries that
// desktop-file-validate accepts for awkward paths.
#include "settings/ShortcutCreator.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kExe = QStringLiteral("/opt/quillora/bin/quillora");

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString EntryValue(const QByteArray& text, const QString& key) {
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.toUtf8().size() + 1));
    return QStringLiteral("<missing>");
}

class ShortcutCreator : public ::testing::Test {
protected:
    QString Desktop() const { return m_home.path() + QStringLiteral("/桌面"); }
    QString Library(const QString& folder, const QString& name) {
        const QString dir = m_home.path() + QLatin1Char('/') + folder;
        QDir().mkpath(dir);
        QFile file(dir + QLatin1Char('/') + name);
        file.open(QIODevice::WriteOnly);
        return file.fileName();
    }
    QTemporaryDir m_home;
};

TEST_F(ShortcutCreator, LauncherIsNamedAfterTheLibraryAndStartsInItsFolder) {
    const QString target = Library(QStringLiteral("书"), QStringLiteral("小说.qdb"));
    TShortcutCreator creator(Desktop(), kExe);
    const QString link = creator.CreateDesktopShortcut(target, QString(), QStringLiteral("小说"));
    EXPECT_EQ(link, Desktop() + QStringLiteral("/小说.desktop"));
    const QByteArray text = ReadFile(link);
    EXPECT_EQ(EntryValue(text, "Name"), QStringLiteral("小说"));
    EXPECT_EQ(EntryValue(text, "Exec"), kExe + QLatin1Char(' ') + target);
    EXPECT_EQ(EntryValue(text, "Path"), m_home.path() + QStringLiteral("/书"));
    EXPECT_EQ(EntryValue(text, "Type"), QStringLiteral("Application"));
    EXPECT_TRUE(QFileInfo(link).isExecutable());
}

TEST_F(ShortcutCreator, ALauncherOfTheSameNameIsReplaced) {
    const QString first = Library(QStringLiteral("甲"), QStringLiteral("小说.qdb"));
    const QString second = Library(QStringLiteral("乙"), QStringLiteral("小说.qdb"));
    TShortcutCreator creator(Desktop(), kExe);
    creator.CreateDesktopShortcut(first, QString(), QStringLiteral("小说"));
    const QString link = creator.CreateDesktopShortcut(second, QString(), QStringLiteral("小说"));
    EXPECT_EQ(EntryValue(ReadFile(link), "Path"), m_home.path() + QStringLiteral("/乙"));
    EXPECT_EQ(QDir(Desktop()).entryList(QDir::Files), QStringList{QStringLiteral("小说.desktop")});
}

TEST_F(ShortcutCreator, ANameNeverLeavesTheDesktopFolder) {
    TShortcutCreator creator(Desktop(), kExe);
    for (const QString& name : {QStringLiteral("../逃"), QStringLiteral(".."), QString()})
        EXPECT_EQ(QFileInfo(creator.LauncherPath(name)).absolutePath(), Desktop()) << name.toStdString();
}

TEST_F(ShortcutCreator, AnUnwritableDesktopGivesNoPath) {
    QFile blocker(Desktop());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    TShortcutCreator creator(Desktop(), kExe);
    EXPECT_TRUE(creator.CreateDesktopShortcut(Library("a", "b.qdb"), QString(), "b").isEmpty());
}

// Paths with blanks, quotes, "$", "%" and backslashes must come out as
// entries the desktop accepts, each argument whole.
TEST_F(ShortcutCreator, AwkwardPathsGiveValidEntries) {
    if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    const QStringList names = {QStringLiteral("我的 小说.qdb"), QStringLiteral("a\"b$c%d.qdb"),
                               QStringLiteral("back\\slash.qdb")};
    for (const QString& name : names) {
        const QString target = Library(QStringLiteral("文件 夹"), name);
        TShortcutCreator creator(Desktop(), QStringLiteral("/opt/my apps/quillora"));
        const QString link = creator.CreateDesktopShortcut(target, QString(), QFileInfo(name).completeBaseName());
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(QStringLiteral("desktop-file-validate"), {link});
        ASSERT_TRUE(validate.waitForFinished(60000));
        EXPECT_EQ(validate.exitCode(), 0) << name.toStdString() << ": " << validate.readAll().toStdString();
    }
}

TEST(ShortcutCreatorFolder, DesktopFolderFollowsTheEnvironment) {
    qputenv("XDG_DESKTOP_DIR", "/srv/桌面");
    EXPECT_EQ(TShortcutCreator::UserDesktopFolder(), QStringLiteral("/srv/桌面"));
    qunsetenv("XDG_DESKTOP_DIR");
    EXPECT_FALSE(TShortcutCreator::UserDesktopFolder().isEmpty());
}

}  // namespace
