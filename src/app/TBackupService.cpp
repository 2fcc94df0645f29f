#include "app/TBackupService.h"

#include "app/Trace.h"
#include "app/commands/CommandSteps.h"
#include "library/TqlvDocData.h"
#include "library/UserError.h"

TBackupService::TBackupService(TqlvDocData& data, TqlvRegConfig& config)
    : m_data(data), m_config(config) {
    m_timer.setObjectName(QStringLiteral("timerBackup"));
    connect(&m_timer, &QTimer::timeout, this, &TBackupService::Tick);
    m_data.BeforeClose = [this](const QString& library) { SnapshotOnClose(library); };
    ApplySettings();
}

TBackupService::~TBackupService() { m_data.BeforeClose = nullptr; }

void TBackupService::ApplySettings() {
    m_settings = ReadBackupSettings(m_config);
    m_timer.stop();
    if (m_settings.Enabled && !m_finished) {
        m_timer.setInterval(std::chrono::minutes(m_settings.Interval));
        m_timer.start();
    }
}

TLibraryBackup TBackupService::BackupOf(const QString& library) const {
    return TLibraryBackup(library, {m_settings.Folder, {m_settings.KeepLast, m_settings.KeepDays}});
}

void TBackupService::SnapshotOnClose(const QString& library) {
    if (!m_settings.Enabled || m_finished || library.isEmpty())
        return;
    try {
        BackupOf(library).TakeSnapshotIfChanged();
    } catch (const EUserError& error) {
        commandsteps::ShowFailure(error.Text(), error.Caption());
    } catch (const std::exception& error) {
        commandsteps::ShowFailure(commandsteps::MessageOf(error), QStringLiteral("备份稿件库"));
    }
}

void TBackupService::Finish() {
    if (m_data.Opened())
        SnapshotOnClose(m_data.GetDocDataName());
    m_finished = true;
    m_timer.stop();
}

void TBackupService::Tick() {
    if (!m_settings.Enabled || m_finished || !m_data.Opened())
        return;
    try {
        const QString taken = BackupOf(m_data.GetDocDataName()).TakeSnapshotIfChanged();
        if (!taken.isEmpty())
            Trace(QStringLiteral("Backup: ") + taken);
    } catch (const std::exception& error) {
        Trace(QStringLiteral("Backup failed: ") + QString::fromUtf8(error.what()));
    }
}
