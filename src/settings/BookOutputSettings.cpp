#include "settings/BookOutputSettings.h"

#include "settings/RegConfig.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace {

// The key of one library: its absolute, cleaned path hashed, so two spellings
// of the same file share their choices.
QString LibraryKey(const QString& libraryPath) {
    const QString path = QDir::cleanPath(QFileInfo(libraryPath).absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1);
    return TqlvRegConfig::kConfigKey + QStringLiteral("\\BookOutput\\") + QString::fromLatin1(hash.toHex());
}

}  // namespace

TBookOutputSettings ReadBookOutputSettings(TRegistry& reg, const QString& libraryPath) {
    TBookOutputSettings settings;
    if (!reg.OpenKey(LibraryKey(libraryPath), false))
        return settings;
    const std::optional<int32_t> what = reg.TryReadInteger(QStringLiteral("What"));
    if (what && *what >= TBookOutputSettings::WholeLibrary && *what <= TBookOutputSettings::SelectedManuscripts)
        settings.What = *what;
    const QString format = reg.ReadString(QStringLiteral("Format")).trimmed().toLower();
    if (!format.isEmpty())
        settings.Format = format;
    if (const std::optional<int32_t> a4 = reg.TryReadInteger(QStringLiteral("A4")))
        settings.A4 = *a4 != 0;
    settings.Title = reg.ReadString(QStringLiteral("Title"));
    settings.Author = reg.ReadString(QStringLiteral("Author"));
    settings.Output = reg.ReadString(QStringLiteral("Output"));
    reg.CloseKey();
    return settings;
}

void WriteBookOutputSettings(TRegistry& reg, const QString& libraryPath, const TBookOutputSettings& settings) {
    if (!reg.OpenKey(LibraryKey(libraryPath), true))
        return;
    reg.WriteInteger(QStringLiteral("What"), settings.What);
    reg.WriteString(QStringLiteral("Format"), settings.Format);
    reg.WriteBool(QStringLiteral("A4"), settings.A4);
    reg.WriteString(QStringLiteral("Title"), settings.Title);
    reg.WriteString(QStringLiteral("Author"), settings.Author);
    reg.WriteString(QStringLiteral("Output"), settings.Output);
    reg.CloseKey();
}
