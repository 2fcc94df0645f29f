// TOptionValues: every preference the options dialog shows and edits, read
// from and written to the registry store through TqlvRegConfig. No widgets:
// the dialog fills itself from these values and hands them back.
//
// ReadOptions opens the Config key (creating it); a missing flag of tab 稿件库
// reads false, except KeepHistory, which is on until turned off; the editor values are those start-up applies
// (TqlvRegConfig::ReadEditorStatus, first-run defaults included). WriteOptions writes
// the mail settings, the four paths and then the Config values in that order;
// SaveTime and FontSize are stored as typed (the start-up reader falls back
// from anything that is not a positive number).
#pragma once

#include "settings/BackupSettings.h"
#include "settings/RegConfig.h"
#include "settings/WritingModeSettings.h"

#include <QColor>

// The stored "界面语言" choice (DWORD Language of the Config key); any other
// stored number reads as FollowSystem.
enum class TInterfaceLanguage : int { FollowSystem = 0, Chinese = 1, English = 2 };

struct TOptionValues {
    // Tab 稿件库.
    bool AutoCompress = false;
    bool AutoOpen = false;
    bool assQDB = false;
    bool assTXT = false;
    bool assPop = false;
    bool KeepHistory = true;  // "保留历史版本": saves keep earlier texts
    // "界面语言": read once at start, so a change shows at the next start.
    TInterfaceLanguage Language = TInterfaceLanguage::FollowSystem;
    // Tab 编辑器.
    bool IME = false;
    QString IMEName;
    bool AutoSave = false;
    QString SaveTime;
    QString FontName;
    QString FontSize;
    int32_t EditorColor = 0x00FFFFFF;  // 0x00BBGGRR
    TWritingModeSettings Writing;      // full-screen writing and the writing modes
    // Tab 邮件设置.
    TMailConfig Mail;
    // Tab 路径.
    QString ExDoc;
    QString ExFile;
    QString ExPic;
    QString Skin;
    // Tab 备份.
    TBackupSettings Backup;

    bool operator==(const TOptionValues&) const = default;
};

TOptionValues ReadOptions(TqlvRegConfig& config);
void WriteOptions(TqlvRegConfig& config, const TOptionValues& values);
// KeepHistory alone, for the save path (read at each save, so a change in
// the options dialog takes effect at once).
bool ReadKeepHistory(TqlvRegConfig& config);
// Language alone, for start-up (before the window exists).
TInterfaceLanguage ReadInterfaceLanguage(TqlvRegConfig& config);

// The stored colour form 0x00BBGGRR and back.
QColor ColorOfBgr(int32_t bgr);
int32_t BgrOfColor(const QColor& color);
