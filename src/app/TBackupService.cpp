#include "app/TBackupService.h"
#include "platform/ErrorText.h"

#include "app/Trace.h"
#include "app/commands/CommandSteps.h"
#include "library/TqlvDocData.h"
#include "library/UserError.h"

TBackupService::TBackupService(TqlvDocData& data, TqlvRegConfig& config, TReport report)
    : m_data(data), m_config(config), m_report(std::move(report)) {
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
        bool damaged = false;
        BackupOf(library).TakeSnapshotIfChanged(&damaged);
        if (damaged)
            m_report(DamagedNote(library), tr("备份稿件库"));
    } catch (const EUserError& error) {
        m_report(TranslatedText(error.Text()), TranslatedText(error.Caption()));
    } catch (const std::exception& error) {
        m_report(TranslatedText(commandsteps::MessageOf(error)), tr("备份稿件库"));
    }
}

void TBackupService::Finish() {
    if (m_data.Opened()) {
        m_data.SettleForCopy();
        SnapshotOnClose(m_data.GetDocDataName());
    }
    m_finished = true;
    m_timer.stop();
}

void TBackupService::Tick() {
    if (!m_settings.Enabled || m_finished || !m_data.Opened())
        return;
    try {
        bool damaged = false;
        m_data.SettleForCopy();  // a copy of a file at rest compares equal to it after closing
        const QString taken = BackupOf(m_data.GetDocDataName()).TakeSnapshotIfChanged(&damaged);
        if (!taken.isEmpty())
            Trace(QStringLiteral("Backup: ") + taken + (damaged ? QStringLiteral(" (library damaged)") : QString()));
        if (damaged)
            emit DamagedLibrary(DamagedNote(m_data.GetDocDataName()));
    } catch (const std::exception& error) {
        Trace(QStringLiteral("Backup failed: ") + QString::fromUtf8(error.what()));
    }
}

QString TBackupService::DamagedNote(const QString& library) {
    return tr("稿件库“%1”未通过检查，可能已经损坏。已照样备份，这份备份标记为已损坏；"
              "请用“修复稿件库”修复。")
        .arg(library);
}
