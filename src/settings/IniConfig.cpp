#include "settings/IniConfig.h"

#include "platform/AppPaths.h"
#include "settings/IniFile.h"

#include <cstdio>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kSkin = QStringLiteral("Skin");

// A quoted value ("...") reads without its quotes, as Windows does.
QString Unquote(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

TqlvIniConfig::TqlvIniConfig() : m_fileName(AppPath() + QStringLiteral("Config.ini")) {}

TqlvIniConfig::TqlvIniConfig(const QString& fileName) : m_fileName(fileName) {}

int TqlvIniConfig::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const std::optional<QString> value = TIniFile::Load(m_fileName).Value(section, key);
    if (!value)
        return defaultValue;
    bool ok = false;
    const int number = Unquote(*value).toInt(&ok, 10);
    return ok ? number : defaultValue;
}

QString TqlvIniConfig::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const std::optional<QString> value = TIniFile::Load(m_fileName).Value(section, key);
    return value ? Unquote(*value) : defaultValue;
}

bool TqlvIniConfig::WriteString(const QString& section, const QString& key, const QString& value) {
    TIniFile ini = TIniFile::Load(m_fileName);
    ini.SetValue(section, key, value);
    QString error;
    if (ini.Save(m_fileName, &error))
        return true;
    std::fprintf(stderr, "Quillora: %s\n", error.toLocal8Bit().constData());
    return false;
}

bool TqlvIniConfig::WriteInteger(const QString& section, const QString& key, int value) {
    return WriteString(section, key, QString::number(value));
}

TWindowLayout TqlvIniConfig::ReadLayout() const {
    TWindowLayout layout;
    layout.Top = ReadInteger(kConfig, QStringLiteral("Top"), layout.Top);
    layout.Width = ReadInteger(kConfig, QStringLiteral("Width"), layout.Width);
    layout.Left = ReadInteger(kConfig, QStringLiteral("Left"), layout.Left);
    layout.Height = ReadInteger(kConfig, QStringLiteral("Height"), layout.Height);
    layout.ChanelWidth = ReadInteger(kConfig, QStringLiteral("ChanelWidth"), layout.ChanelWidth);
    layout.SpDoc = ReadInteger(kConfig, QStringLiteral("SPDoc"), layout.SpDoc);
    layout.SpPic = ReadInteger(kConfig, QStringLiteral("SPPic"), layout.SpPic);
    layout.SPFile = ReadInteger(kConfig, QStringLiteral("SPFile"), layout.SPFile);
    return layout;
}

void TqlvIniConfig::WriteLayout(const TWindowLayout& layout) {
    WriteInteger(kConfig, QStringLiteral("Top"), layout.Top);
    WriteInteger(kConfig, QStringLiteral("Left"), layout.Left);
    WriteInteger(kConfig, QStringLiteral("Height"), layout.Height);
    WriteInteger(kConfig, QStringLiteral("Width"), layout.Width);
    WriteInteger(kConfig, QStringLiteral("ChanelWidth"), layout.ChanelWidth);
    WriteInteger(kConfig, QStringLiteral("SpDoc"), layout.SpDoc);
    WriteInteger(kConfig, QStringLiteral("SpPic"), layout.SpPic);
    WriteInteger(kConfig, QStringLiteral("SPFile"), layout.SPFile);
}

int TqlvIniConfig::ReadStyle() const { return ReadInteger(kSkin, QStringLiteral("g_Style"), 2); }

QString TqlvIniConfig::ReadTheme() const { return ReadString(kSkin, QStringLiteral("g_Theme")); }

void TqlvIniConfig::WriteSkin(int style, const QString& theme) {
    WriteInteger(kSkin, QStringLiteral("g_Style"), style);
    WriteString(kSkin, QStringLiteral("g_Theme"), theme);
}
