#include "settings/ShortcutCreator.h"

#include "platform/AppPaths.h"
#include "settings/AppIcons.h"
#include "settings/DesktopIntegration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// An Exec argument with "%" doubled (field codes start with it).
QString ExecArgument(const QString& argument) {
    QString quoted = TDesktopIntegration::QuoteExecArgument(argument);
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return quoted;
}

// GNOME runs a launcher from the desktop only when its file carries the
// "trusted" mark; where gio is missing the executable bit is all there is.
void MarkTrusted(const QString& path) {
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(gio, {QStringLiteral("set"), path, QStringLiteral("metadata::trusted"), QStringLiteral("true")});
    if (process.waitForStarted())
        process.waitForFinished(10000);
}

}  // namespace

TShortcutCreator::TShortcutCreator(const QString& desktopFolder, const QString& executable)
    : m_desktop(desktopFolder), m_executable(executable.isEmpty() ? AppExeName() : executable) {
    if (!m_desktop.endsWith(QLatin1Char('/')))
        m_desktop += QLatin1Char('/');
}

QString TShortcutCreator::UserDesktopFolder() {
    const QString env = qEnvironmentVariable("XDG_DESKTOP_DIR");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return env;
    // user-dirs.dirs when it names one, else ~/Desktop.
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString TShortcutCreator::LauncherPath(const QString& linkName) const {
    QString name = linkName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.remove(QChar(0));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_") + name;
    return m_desktop + name + QStringLiteral(".desktop");
}

QByteArray TShortcutCreator::LauncherText(const QString& target, const QString& arguments,
                                          const QString& linkName) const {
    QString exec = ExecArgument(m_executable) + QLatin1Char(' ') + ExecArgument(target);
    if (!arguments.isEmpty())
        exec += QLatin1Char(' ') + ExecArgument(arguments);
    const QString folder = QFileInfo(target).absolutePath();
    const QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=") + TDesktopIntegration::EscapeStringValue(linkName),
        QStringLiteral("Exec=") + TDesktopIntegration::EscapeStringValue(exec),
        QStringLiteral("Path=") + TDesktopIntegration::EscapeStringValue(folder),
        QStringLiteral("Icon=") + QLatin1String(kLibraryIconName),
        QStringLiteral("Terminal=false"),
    };
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QString TShortcutCreator::CreateDesktopShortcut(const QString& target, const QString& arguments,
                                                const QString& linkName) {
    if (!QDir().mkpath(m_desktop))
        return {};
    const QString path = LauncherPath(linkName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(LauncherText(target, arguments, linkName));
    if (!file.commit())
        return {};
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
    MarkTrusted(path);
    return path;
}
