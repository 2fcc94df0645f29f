#include "app/TAppContext.h"

#include "app/TBackupService.h"
#include "library/LibrarySearch.h"
#include "library/ManuscriptSaves.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"
#include "platform/QtDialogService.h"
#include "platform/Skin.h"
#include "settings/IniConfig.h"
#include "settings/RegConfig.h"

// Start-up order: library (nothing open), materials store, preferences, layout.
TAppContext::TAppContext()
    : m_skin(std::make_unique<TSkin>()), m_docData(std::make_unique<TqlvDocData>()),
      m_saves(std::make_unique<TManuscriptSaves>(*m_docData)), m_documents(std::make_unique<TqlvDocuments>()),
      m_regConfig(std::make_unique<TqlvRegConfig>()), m_iniConfig(std::make_unique<TqlvIniConfig>()),
      m_search(std::make_unique<TLibrarySearch>(*m_docData, *m_saves)),
      m_backups(std::make_unique<TBackupService>(
          *m_docData, *m_regConfig,
          [this](const QString& message, const QString& caption) { Dialogs().Warn(message, caption); })) {
    // The undo of a replace lasts until its library closes; the snapshot
    // service's own hook still runs.
    m_docData->BeforeClose = [this, snapshot = m_docData->BeforeClose](const QString& path) {
        m_search->ForgetUndo();
        if (snapshot)
            snapshot(path);
    };
    DefaultDialogService().DrawIn(m_skin.get());
    bool given = false;
    const double gapSeconds = qEnvironmentVariable("QUILLORA_VERSION_GAP_SECONDS").toDouble(&given);
    if (given && gapSeconds >= 0)
        m_saves->SetVersionGap(gapSeconds / (24 * 60 * 60));
}

TAppContext::~TAppContext() {
    if (DefaultDialogService().Skin() == m_skin.get())
        DefaultDialogService().DrawIn(nullptr);
}

TDialogService& TAppContext::Dialogs() const { return InstalledDialogService(); }
