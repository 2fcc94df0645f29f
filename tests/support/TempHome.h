// TTempHome: points QUILLORA_HOME at a fresh temporary folder for the life of
// the object and makes AppPath()/RegistryStoreFolder() follow it; the previous
// QUILLORA_HOME comes back (and the paths are recomputed) on destruction.
// For tests that need several homes in one process; every test already runs
// in a fresh home (tests/run-isolated.sh).
#pragma once

#include "platform/AppPaths.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

class TTempHome {
public:
    TTempHome() : m_hadOld(qEnvironmentVariableIsSet("QUILLORA_HOME")), m_old(qgetenv("QUILLORA_HOME")) {
        qputenv("QUILLORA_HOME", QFile::encodeName(Path()));
        ResetAppPathsForTesting();
    }
    ~TTempHome() {
        if (m_hadOld)
            qputenv("QUILLORA_HOME", m_old);
        else
            qunsetenv("QUILLORA_HOME");
        ResetAppPathsForTesting();
    }
    TTempHome(const TTempHome&) = delete;
    TTempHome& operator=(const TTempHome&) = delete;

    // The folder, ending with "/" (what AppPath() returns while this lives).
    QString Path() const { return m_dir.path() + QLatin1Char('/'); }
    bool IsValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
    bool m_hadOld;
    QByteArray m_old;
};
