#include "settings/RegConfig.h"

#include "platform/AppPaths.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <cstdio>

namespace {

const char* const kCjkFamilies[] = {"WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC",
                                    "Source Han Sans SC",  "Noto Serif CJK SC", "AR PL UMing CN"};

void Warn(const QString& message) { std::fprintf(stderr, "Quillora: %s\n", message.toLocal8Bit().constData()); }

// The first CJK family installed; the application's default family when none
// is (or when no GUI application exists yet to ask the font database).
QString DefaultFontFamily() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QLatin1String(kCjkFamilies[0]);
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kCjkFamilies)
        if (installed.contains(QLatin1String(family), Qt::CaseInsensitive))
            return QLatin1String(family);
    return QGuiApplication::font().family();
}

// A positive decimal number read from a string value (or a DWORD), else
// nullopt with a note on stderr naming the value and the fallback.
std::optional<int> PositiveNumber(const TRegistry& reg, const QString& name, int fallback) {
    if (!reg.ValueExists(name))
        return std::nullopt;
    const QString text = reg.ReadString(name).trimmed();
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (ok && number > 0)
        return number;
    Warn(QStringLiteral("preference %1 = \"%2\" is not a positive number; using %3").arg(name, text).arg(fallback));
    return std::nullopt;
}

void ReadFlag(const TRegistry& reg, const QString& name, bool& flag) {
    if (std::optional<int32_t> value = reg.TryReadInteger(name))
        flag = *value != 0;
}

}  // namespace

TqlvRegConfig::TqlvRegConfig() : m_reg(kRoot) {}

TDBFlags TqlvRegConfig::ReadDBFlags() {
    TDBFlags flags;
    if (m_reg.OpenKey(kConfigKey, true)) {
        ReadFlag(m_reg, QStringLiteral("AutoCompress"), flags.AutoCompress);
        ReadFlag(m_reg, QStringLiteral("AutoOpen"), flags.AutoOpen);
        m_reg.CloseKey();
    }
    return flags;
}

void TqlvRegConfig::ReadDBFlags(bool& autoCompress, bool& autoOpen) {
    const TDBFlags flags = ReadDBFlags();
    autoCompress = flags.AutoCompress;
    autoOpen = flags.AutoOpen;
}

bool TqlvRegConfig::ReadAutoOpen() {
    bool autoOpen = false;
    if (m_reg.OpenKey(kConfigKey, false)) {
        ReadFlag(m_reg, QStringLiteral("AutoOpen"), autoOpen);
        m_reg.CloseKey();
    }
    return autoOpen;
}

TEditorStatus TqlvRegConfig::DefaultEditorStatus() {
    TEditorStatus status;
    status.FontName = DefaultFontFamily();
    status.FontSize = QStringLiteral("12");
    return status;
}

TEditorStatus TqlvRegConfig::ReadEditorStatus() {
    TEditorStatus status = DefaultEditorStatus();
    ReadEditorStatus(status);
    return status;
}

void TqlvRegConfig::ReadEditorStatus(TEditorStatus& status) {
    if (!m_reg.OpenKey(kConfigKey, false))
        return;
    // An empty name (the options dialog stores one when nothing was picked)
    // keeps the default font.
    const QString fontName = m_reg.ReadString(QStringLiteral("FontName")).trimmed();
    if (!fontName.isEmpty())
        status.FontName = fontName;
    if (std::optional<int> size = PositiveNumber(m_reg, QStringLiteral("FontSize"), status.FontSize.toInt()))
        status.FontSize = QString::number(*size);
    if (m_reg.ValueExists(QStringLiteral("IMEName")))
        status.IMEName = m_reg.ReadString(QStringLiteral("IMEName"));
    if (std::optional<int32_t> color = m_reg.TryReadInteger(QStringLiteral("EditorColor")))
        status.EditorColor = *color;
    if (std::optional<int> minutes = PositiveNumber(m_reg, QStringLiteral("SaveTime"), status.SaveTime))
        status.SaveTime = *minutes;
    ReadFlag(m_reg, QStringLiteral("IME"), status.IME);
    ReadFlag(m_reg, QStringLiteral("AutoSave"), status.AutoSave);
    m_reg.CloseKey();
}

QString TqlvRegConfig::ReadLastDB() {
    QString path;
    if (m_reg.OpenKey(kConfigKey, false)) {
        path = m_reg.ReadString(QStringLiteral("LastDB"));
        m_reg.CloseKey();
    }
    return path;
}

void TqlvRegConfig::WriteLastDB(const QString& path) {
    if (m_reg.OpenKey(kConfigKey, false)) {
        m_reg.WriteString(QStringLiteral("LastDB"), path);
        m_reg.CloseKey();
    }
}

QString TqlvRegConfig::ReadPathValue(const QString& name) {
    QString path = AppPath();
    if (m_reg.OpenKey(kPathKey, false)) {
        path = m_reg.ReadString(name);
        m_reg.CloseKey();
    }
    return path;
}

QString TqlvRegConfig::ReadExDoc() { return ReadPathValue(QStringLiteral("ExDoc")); }
QString TqlvRegConfig::ReadExPic() { return ReadPathValue(QStringLiteral("ExPic")); }
QString TqlvRegConfig::ReadExFile() { return ReadPathValue(QStringLiteral("ExFile")); }
QString TqlvRegConfig::ReadSkinPath() { return ReadPathValue(QStringLiteral("Skin")); }

void TqlvRegConfig::WritePaths(const QString& exDoc, const QString& exPic, const QString& skin, const QString& exFile) {
    if (!m_reg.OpenKey(kPathKey, true))
        return;
    m_reg.WriteString(QStringLiteral("ExDoc"), exDoc);
    m_reg.WriteString(QStringLiteral("ExPic"), exPic);
    m_reg.WriteString(QStringLiteral("Skin"), skin);
    m_reg.WriteString(QStringLiteral("ExFile"), exFile);
    m_reg.CloseKey();
}

TMailConfig TqlvRegConfig::ReadMailConfig() {
    TMailConfig config;
    if (m_reg.OpenKey(kMailConfigKey, false)) {
        config.FromAddress = m_reg.ReadString(QStringLiteral("FromAddress"));
        config.FromName = m_reg.ReadString(QStringLiteral("FromName"));
        config.Server = m_reg.ReadString(QStringLiteral("Server"));
        config.Port = m_reg.ReadString(QStringLiteral("Port"));
        config.User = m_reg.ReadString(QStringLiteral("User"));
        m_reg.CloseKey();
    }
    return config;
}

void TqlvRegConfig::WriteMailConfig(const TMailConfig& config) {
    if (!m_reg.OpenKey(kMailConfigKey, true))
        return;
    m_reg.WriteString(QStringLiteral("FromAddress"), config.FromAddress);
    m_reg.WriteString(QStringLiteral("FromName"), config.FromName);
    m_reg.WriteString(QStringLiteral("Server"), config.Server);
    m_reg.WriteString(QStringLiteral("Port"), config.Port);
    m_reg.WriteString(QStringLiteral("User"), config.User);
    m_reg.CloseKey();
}
