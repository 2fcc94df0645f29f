#include "settings/OptionValues.h"

namespace {

bool Flag(const TRegistry& reg, const char* name, int missing = 0) {
    return reg.TryReadInteger(QLatin1String(name)).value_or(missing) != 0;
}

const char kKeepHistory[] = "KeepHistory";
const char kLanguage[] = "Language";

TInterfaceLanguage LanguageOf(const TRegistry& reg) {
    const int stored = reg.TryReadInteger(QLatin1String(kLanguage)).value_or(0);
    if (stored == static_cast<int>(TInterfaceLanguage::Chinese))
        return TInterfaceLanguage::Chinese;
    if (stored == static_cast<int>(TInterfaceLanguage::English))
        return TInterfaceLanguage::English;
    return TInterfaceLanguage::FollowSystem;
}

void ReadConfigKey(TRegistry& reg, TOptionValues& values) {
    if (!reg.OpenKey(TqlvRegConfig::kConfigKey, true))
        return;
    values.AutoCompress = Flag(reg, "AutoCompress");
    values.AutoOpen = Flag(reg, "AutoOpen");
    values.assQDB = Flag(reg, "assQDB");
    values.assTXT = Flag(reg, "assTXT");
    values.assPop = Flag(reg, "assPop");
    values.KeepHistory = Flag(reg, kKeepHistory, 1);
    values.Language = LanguageOf(reg);
    reg.CloseKey();
}

// The editor values as start-up applies them, so the dialog shows what is in
// effect (on a first run: the defaults, auto-save on) and "确定" keeps it.
void ReadEditorValues(TqlvRegConfig& config, TOptionValues& values) {
    const TEditorStatus status = config.ReadEditorStatus();
    values.IME = status.IME;
    values.IMEName = status.IMEName;
    values.AutoSave = status.AutoSave;
    values.SaveTime = QString::number(status.SaveTime);
    values.FontName = status.FontName;
    values.FontSize = status.FontSize;
    values.EditorColor = status.EditorColor;
}

void WriteConfigKey(TRegistry& reg, const TOptionValues& values) {
    if (!reg.OpenKey(TqlvRegConfig::kConfigKey, true))
        return;
    reg.WriteBool(QStringLiteral("AutoCompress"), values.AutoCompress);
    reg.WriteBool(QStringLiteral("AutoOpen"), values.AutoOpen);
    reg.WriteBool(QStringLiteral("assQDB"), values.assQDB);
    reg.WriteBool(QStringLiteral("assTXT"), values.assTXT);
    reg.WriteBool(QStringLiteral("assPop"), values.assPop);
    reg.WriteBool(QLatin1String(kKeepHistory), values.KeepHistory);
    reg.WriteInteger(QLatin1String(kLanguage), static_cast<int>(values.Language));
    reg.WriteBool(QStringLiteral("IME"), values.IME);
    reg.WriteString(QStringLiteral("IMEName"), values.IMEName);
    reg.WriteBool(QStringLiteral("AutoSave"), values.AutoSave);
    reg.WriteString(QStringLiteral("SaveTime"), values.SaveTime);
    reg.WriteString(QStringLiteral("FontName"), values.FontName);
    reg.WriteString(QStringLiteral("FontSize"), values.FontSize);
    reg.WriteInteger(QStringLiteral("EditorColor"), values.EditorColor);
    reg.CloseKey();
}

}  // namespace

TOptionValues ReadOptions(TqlvRegConfig& config) {
    TOptionValues values;
    values.Mail = config.ReadMailConfig();
    ReadConfigKey(config.Registry(), values);
    ReadEditorValues(config, values);
    values.ExDoc = config.ReadExDoc();
    values.ExFile = config.ReadExFile();
    values.ExPic = config.ReadExPic();
    values.Skin = config.ReadSkinPath();
    values.Backup = ReadBackupSettings(config);
    values.Writing = ReadWritingModeSettings(config);
    return values;
}

void WriteOptions(TqlvRegConfig& config, const TOptionValues& values) {
    config.WriteMailConfig(values.Mail);
    config.WritePaths(values.ExDoc, values.ExPic, values.Skin, values.ExFile);
    WriteConfigKey(config.Registry(), values);
    WriteBackupSettings(config, values.Backup);
    WriteWritingModeSettings(config, values.Writing);
}

bool ReadKeepHistory(TqlvRegConfig& config) {
    TRegistry& reg = config.Registry();
    if (!reg.OpenKey(TqlvRegConfig::kConfigKey, false))
        return true;
    const bool keep = Flag(reg, kKeepHistory, 1);
    reg.CloseKey();
    return keep;
}

TInterfaceLanguage ReadInterfaceLanguage(TqlvRegConfig& config) {
    TRegistry& reg = config.Registry();
    if (!reg.OpenKey(TqlvRegConfig::kConfigKey, false))
        return TInterfaceLanguage::FollowSystem;
    const TInterfaceLanguage language = LanguageOf(reg);
    reg.CloseKey();
    return language;
}

QColor ColorOfBgr(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

int32_t BgrOfColor(const QColor& color) { return (color.blue() << 16) | (color.green() << 8) | color.red(); }
