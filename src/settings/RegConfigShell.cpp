// TqlvRegConfig's shell integration: the association keys under
// HKEY_CLASSES_ROOT and the matching desktop files.
#include "platform/AppPaths.h"
#include "settings/DesktopIntegration.h"
#include "settings/RegConfig.h"

namespace {

const QString kQdbExtKey = QStringLiteral("\\.qdb");
const QString kQdbFileKey = QStringLiteral("\\QDBFile");
const QString kTxtShellKey = QStringLiteral("\\txtFile\\Shell");
const QString kTxtVerb = QStringLiteral("Quillora(&A)");

QString ExecutableOr(const QString& executable) { return executable.isEmpty() ? AppExeName() : executable; }

TDesktopIntegration DesktopAt(const QString& dataHome) {
    return dataHome.isEmpty() ? TDesktopIntegration() : TDesktopIntegration(dataHome);
}

// Writes `value` as the default (unnamed) value of `key`, creating the key.
void WriteDefault(TRegistry& reg, const QString& key, const QString& value) {
    if (reg.OpenKey(key, true)) {
        reg.WriteString(QString(), value);
        reg.CloseKey();
    }
}

}  // namespace

bool TqlvRegConfig::RegisterQdb(const QString& executable, const QString& dataHome) {
    const QString exe = ExecutableOr(executable);
    TRegistry shell(TRegRoot::HKEY_CLASSES_ROOT);
    WriteDefault(shell, kQdbExtKey, QStringLiteral("QDBFile"));
    WriteDefault(shell, kQdbFileKey, QStringLiteral("Quillora稿件库"));
    WriteDefault(shell, kQdbFileKey + QStringLiteral("\\Shell\\Open\\Command"), exe + QStringLiteral(" %1"));
    return DesktopAt(dataHome).RegisterLibraryType(exe);
}

void TqlvRegConfig::UnregisterQdb(const QString& dataHome) {
    TRegistry shell(TRegRoot::HKEY_CLASSES_ROOT);
    if (shell.KeyExists(kQdbExtKey))
        shell.DeleteKey(kQdbExtKey);
    if (shell.KeyExists(kQdbFileKey))
        shell.DeleteKey(kQdbFileKey);
    DesktopAt(dataHome).UnregisterLibraryType();
}

bool TqlvRegConfig::RegisterTxtVerb(const QString& executable, const QString& dataHome) {
    const QString exe = ExecutableOr(executable);
    TRegistry shell(TRegRoot::HKEY_CLASSES_ROOT);
    WriteDefault(shell, kTxtShellKey + QLatin1Char('\\') + kTxtVerb + QStringLiteral("\\Command"),
                 exe + QStringLiteral(" %1"));
    return DesktopAt(dataHome).RegisterTextVerb(exe);
}

void TqlvRegConfig::UnregisterTxtVerb(const QString& dataHome) {
    TRegistry shell(TRegRoot::HKEY_CLASSES_ROOT);
    if (shell.OpenKey(kTxtShellKey, false)) {
        shell.DeleteKey(kTxtVerb);
        shell.CloseKey();
    }
    DesktopAt(dataHome).UnregisterTextVerb();
}
