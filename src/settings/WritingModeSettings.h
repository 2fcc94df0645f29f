// TWritingModeSettings: the preferences of full-screen writing and the
// editor's writing modes, kept with the others in the registry store under
// the Config key: "FullScreenColumn" (the column's width in characters),
// "TypewriterMode" and "FocusMode" (0 off, 1 in full screen only, 2 always)
// and "ParagraphIndent" (DWORD 0/1). Missing or unusable values read as the
// defaults below and never raise.
#pragma once

#include "settings/RegConfig.h"

// When a writing mode applies.
enum class TWritingModeScope : int32_t { Off = 0, FullScreen = 1, Always = 2 };

struct TWritingModeSettings {
    static constexpr int kMinColumn = 10;
    static constexpr int kMaxColumn = 200;

    int Column = 36;  // characters of the editor's font, kMinColumn..kMaxColumn
    TWritingModeScope Typewriter = TWritingModeScope::FullScreen;
    TWritingModeScope Focus = TWritingModeScope::Off;
    bool ParagraphIndent = false;  // "段首缩进两字"

    // Whether a mode is on in (or out of) full screen.
    static bool Applies(TWritingModeScope scope, bool fullScreen) {
        return scope == TWritingModeScope::Always || (fullScreen && scope == TWritingModeScope::FullScreen);
    }

    bool operator==(const TWritingModeSettings&) const = default;
};

TWritingModeSettings ReadWritingModeSettings(TRegistry& reg);
void WriteWritingModeSettings(TRegistry& reg, const TWritingModeSettings& settings);
inline TWritingModeSettings ReadWritingModeSettings(TqlvRegConfig& config) {
    return ReadWritingModeSettings(config.Registry());
}
inline void WriteWritingModeSettings(TqlvRegConfig& config, const TWritingModeSettings& settings) {
    WriteWritingModeSettings(config.Registry(), settings);
}
