// TBookOutputSettings: the last choices of the "输出书稿" dialog for one
// library, kept in the registry store under the Config key's "BookOutput"
// sub-key, one key per library named by a hash of the library's absolute path
// (so any path makes a valid key name). The settings layer knows no book
// formats: the format is kept as its extension and read back as stored.
// Missing or unusable values read as the defaults below and never raise; a
// store that cannot be opened makes a write do nothing.
#pragma once

#include "platform/RegistryStore.h"

#include <QString>

struct TBookOutputSettings {
    enum Scope { WholeLibrary = 0, SelectedFolder = 1, SelectedManuscripts = 2 };
    int What = WholeLibrary;
    QString Format = QStringLiteral("epub");  // extension without the dot
    bool A4 = false;                          // PDF page size; A5 when false
    QString Title;                            // empty: the caller's default
    QString Author;
    QString Output;  // the last book file written

    bool operator==(const TBookOutputSettings&) const = default;
};

TBookOutputSettings ReadBookOutputSettings(TRegistry& reg, const QString& libraryPath);
void WriteBookOutputSettings(TRegistry& reg, const QString& libraryPath, const TBookOutputSettings& settings);
