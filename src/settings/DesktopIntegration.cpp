#include "settings/DesktopIntegration.h"

#include "settings/AppIcons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Characters that force an Exec argument into double quotes.
const QString kReservedInExec = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

// Runs a cache-update tool on a folder when the tool is installed; its output
// is of no interest and its failure leaves the plain files in place.
void RunWhenInstalled(const QString& program, const QString& folder) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty() || !QFileInfo::exists(folder))
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(found, {folder});
    if (process.waitForStarted())
        process.waitForFinished(60000);
}

}  // namespace

// Quoting of one Exec argument (the Desktop Entry standard, "The Exec key").
QString TDesktopIntegration::QuoteExecArgument(const QString& argument) {
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument)
        needsQuotes = needsQuotes || kReservedInExec.contains(c);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The general escapes of a desktop-entry string value.
QString TDesktopIntegration::EscapeStringValue(const QString& value) {
    QString out;
    for (QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

namespace {

QByteArray EntryText(const QStringList& lines) { return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(); }

}  // namespace

TDesktopIntegration::TDesktopIntegration(const QString& dataHome) : m_dataHome(dataHome) {
    if (!m_dataHome.endsWith(QLatin1Char('/')))
        m_dataHome += QLatin1Char('/');
}

QString TDesktopIntegration::UserDataHome() {
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return env;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString TDesktopIntegration::Path(const QString& relative) const { return m_dataHome + relative; }

QString TDesktopIntegration::MimePackageFile() const {
    return Path(QStringLiteral("mime/packages/%1.xml").arg(QLatin1String(kLibraryIconName)));
}
QString TDesktopIntegration::LibraryEntryFile() const { return Path(QStringLiteral("applications/quillora.desktop")); }
QString TDesktopIntegration::TextVerbEntryFile() const {
    return Path(QStringLiteral("applications/quillora-text.desktop"));
}
QString TDesktopIntegration::AppIconFile() const {
    return Path(QStringLiteral("icons/hicolor/scalable/apps/%1.svg").arg(QLatin1String(kAppIconName)));
}
QString TDesktopIntegration::LibraryIconFile() const {
    return Path(QStringLiteral("icons/hicolor/scalable/mimetypes/%1.svg").arg(QLatin1String(kLibraryIconName)));
}

QStringList TDesktopIntegration::AllFiles() const {
    return {MimePackageFile(), LibraryEntryFile(), TextVerbEntryFile(), AppIconFile(), LibraryIconFile()};
}

QByteArray TDesktopIntegration::MimePackageText() {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>Quillora稿件库</comment>\n"
               "    <icon name=\"%2\"/>\n"
               "    <glob pattern=\"*.qdb\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(QLatin1String(kLibraryMimeType), QLatin1String(kLibraryIconName))
        .toUtf8();
}

QString TDesktopIntegration::DesktopExec(const QString& executable) {
    QString program = QuoteExecArgument(executable);
    program.replace(QLatin1Char('%'), QLatin1String("%%"));
    return EscapeStringValue(program) + QStringLiteral(" %f");
}

QByteArray TDesktopIntegration::LibraryEntryText(const QString& executable) {
    return EntryText(
        {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Application"), QStringLiteral("Name=Quillora"),
         QStringLiteral("GenericName=Manuscript Manager"), QStringLiteral("GenericName[zh_CN]=稿件管理"),
         QStringLiteral("Comment=Manage the manuscripts and materials of a library"),
         QStringLiteral("Comment[zh_CN]=管理稿件库中的稿件和资料"), QStringLiteral("Exec=") + DesktopExec(executable),
         QStringLiteral("Icon=") + QLatin1String(kAppIconName), QStringLiteral("Terminal=false"),
         QStringLiteral("MimeType=%1;").arg(QLatin1String(kLibraryMimeType)), QStringLiteral("Categories=Office;"),
         QStringLiteral("Keywords=manuscript;writing;fee;word count;library;"),
         QStringLiteral("Keywords[zh_CN]=写作;稿件;稿费;字数;manuscript;writing;")});
}

QByteArray TDesktopIntegration::TextVerbEntryText(const QString& executable) {
    // Only an "open with" choice for text files: kept out of the menus, where
    // quillora.desktop already stands for the application.
    return EntryText({QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Application"),
                      QStringLiteral("Name=Quillora(A)"), QStringLiteral("Comment=用Quillora打开文本文件"),
                      QStringLiteral("Exec=") + DesktopExec(executable),
                      QStringLiteral("Icon=") + QLatin1String(kAppIconName), QStringLiteral("Terminal=false"),
                      QStringLiteral("NoDisplay=true"), QStringLiteral("MimeType=text/plain;")});
}

bool TDesktopIntegration::InstallIcons() {
    const bool app = WriteWholeFile(AppIconFile(), IconSvg(AppIconResource()));
    const bool library = WriteWholeFile(LibraryIconFile(), IconSvg(LibraryIconResource()));
    return app && library;
}

bool TDesktopIntegration::RegisterLibraryType(const QString& executable) {
    const bool written = WriteWholeFile(MimePackageFile(), MimePackageText()) &&
                         WriteWholeFile(LibraryEntryFile(), LibraryEntryText(executable)) && InstallIcons();
    RefreshMimeDatabase();
    RefreshDesktopDatabase();
    return written;
}

void TDesktopIntegration::UnregisterLibraryType() {
    QFile::remove(MimePackageFile());
    QFile::remove(LibraryEntryFile());
    QFile::remove(LibraryIconFile());
    RemoveAppIconWhenUnused();
    RefreshMimeDatabase();
    RefreshDesktopDatabase();
}

bool TDesktopIntegration::RegisterTextVerb(const QString& executable) {
    const bool written = WriteWholeFile(TextVerbEntryFile(), TextVerbEntryText(executable)) &&
                         WriteWholeFile(AppIconFile(), IconSvg(AppIconResource()));
    RefreshDesktopDatabase();
    return written;
}

void TDesktopIntegration::UnregisterTextVerb() {
    QFile::remove(TextVerbEntryFile());
    RemoveAppIconWhenUnused();
    RefreshDesktopDatabase();
}

void TDesktopIntegration::RemoveAppIconWhenUnused() {
    if (!QFileInfo::exists(LibraryEntryFile()) && !QFileInfo::exists(TextVerbEntryFile()))
        QFile::remove(AppIconFile());
}

void TDesktopIntegration::RefreshMimeDatabase() const {
    RunWhenInstalled(QStringLiteral("update-mime-database"), Path(QStringLiteral("mime")));
}

void TDesktopIntegration::RefreshDesktopDatabase() const {
    RunWhenInstalled(QStringLiteral("update-desktop-database"), Path(QStringLiteral("applications")));
}
