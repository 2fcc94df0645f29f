#include "settings/WritingModeSettings.h"

namespace {

TWritingModeScope Scope(const TRegistry& reg, const char* name, TWritingModeScope fallback) {
    const std::optional<int32_t> value = reg.TryReadInteger(QLatin1String(name));
    if (!value || *value < 0 || *value > int32_t(TWritingModeScope::Always))
        return fallback;
    return TWritingModeScope(*value);
}

}  // namespace

TWritingModeSettings ReadWritingModeSettings(TRegistry& reg) {
    TWritingModeSettings settings;
    if (!reg.OpenKey(TqlvRegConfig::kConfigKey, false))
        return settings;
    if (const std::optional<int32_t> column = reg.TryReadInteger(QStringLiteral("FullScreenColumn"));
        column && *column >= TWritingModeSettings::kMinColumn && *column <= TWritingModeSettings::kMaxColumn)
        settings.Column = *column;
    settings.Typewriter = Scope(reg, "TypewriterMode", settings.Typewriter);
    settings.Focus = Scope(reg, "FocusMode", settings.Focus);
    if (const std::optional<int32_t> indent = reg.TryReadInteger(QStringLiteral("ParagraphIndent")))
        settings.ParagraphIndent = *indent != 0;
    reg.CloseKey();
    return settings;
}

void WriteWritingModeSettings(TRegistry& reg, const TWritingModeSettings& settings) {
    if (!reg.OpenKey(TqlvRegConfig::kConfigKey, true))
        return;
    reg.WriteInteger(QStringLiteral("FullScreenColumn"), settings.Column);
    reg.WriteInteger(QStringLiteral("TypewriterMode"), int32_t(settings.Typewriter));
    reg.WriteInteger(QStringLiteral("FocusMode"), int32_t(settings.Focus));
    reg.WriteBool(QStringLiteral("ParagraphIndent"), settings.ParagraphIndent);
    reg.CloseKey();
}
