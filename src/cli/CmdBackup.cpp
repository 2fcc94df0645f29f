// qdb backup / backups: library snapshots for scripts and cron, the same
// snapshots (folder, names, rotation) the application takes and lists.
// `backup` of a library that fails verify still takes the snapshot, prints
// its path, warns on stderr and exits 1.
#include <QFileInfo>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "library/LibraryBackup.h"
#include "library/UserError.h"
#include "settings/BackupSettings.h"

using json = nlohmann::ordered_json;

namespace {

// The folder and rotation the options dialog set; `folder` (when given)
// takes the place of the folder.
TBackupPolicy PolicyFor(const CliArgs& args, size_t folderWord) {
    TRegistry store(TqlvRegConfig::kRoot);
    const TBackupSettings settings = ReadBackupSettings(store);
    TBackupPolicy policy;
    policy.Root = args.Positional().size() > folderWord ? QString::fromStdString(args.At(folderWord)) : settings.Folder;
    policy.Rotation = {settings.KeepLast, settings.KeepDays};
    return policy;
}

json Figure(int value) { return value < 0 ? json(nullptr) : json(value); }

json SnapshotJson(const TSnapshotInfo& info) {
    return {{"path", info.Path.toStdString()},
            {"time", info.Time.toString(Qt::ISODate).toStdString()},
            {"size", info.Size},
            {"folders", Figure(info.Folders)},
            {"manuscripts", Figure(info.Manuscripts)},
            {"encrypted", info.Encrypted},
            {"damaged", info.Damaged}};
}

// What the library layer refuses is this command's error message.
template <typename Fn>
int Reporting(Fn&& fn) {
    try {
        return fn();
    } catch (const EUserError& error) {
        throw CliError(error.Text().toStdString());
    }
}

}  // namespace

int RunBackup(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{}, {}, 1, 2});
    RequireExistingFile(args.At(0));
    return Reporting([&] {
        const TLibraryBackup backup(QString::fromStdString(args.At(0)), PolicyFor(args, 1));
        bool damaged = false;
        const std::string path = backup.TakeSnapshot(&damaged).toStdString();
        std::cout << path << "\n";
        if (!damaged)
            return 0;
        // The copy is kept (it may be all there is), but a script must not
        // take it for a good backup.
        std::cerr << "Warning: the library fails verify; the snapshot was taken and is listed as damaged: " << path
                  << "\n";
        return 1;
    });
}

int RunBackups(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 1, 2});
    const std::string key = args.PasswordOption().value_or(std::string());
    return Reporting([&] {
        const TLibraryBackup backup(QString::fromStdString(args.At(0)), PolicyFor(args, 1));
        for (const TSnapshotInfo& info : backup.Snapshots(key))
            std::cout << SnapshotJson(info).dump() << "\n";
        return 0;
    });
}
