#include "app/TQuilloraApp.h"

#include "app/AppGlobals.h"
#include "app/TfrmMain.h"
#include "app/TfrmSplash.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/SingleInstance.h"
#include "platform/Skin.h"
#include "settings/IniConfig.h"
#include "settings/RegConfig.h"

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace {

// SIGTERM (logout, `kill`) and SIGHUP close the main window as the menu's
// 退出 does, so the layout and skin are stored. The handler only writes a
// byte to a pipe; the GUI thread reads it.
int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void CloseMainWindowOnSignals(QObject* owner) {
    if (g_signalPipe[0] < 0 && ::pipe(g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        if (frmMain)
            frmMain->close();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

TQuilloraApp::TQuilloraApp(const QStringList& args, QObject* parent)
    : QObject(parent), m_args(args), m_params(JoinParams(args)) {}

TQuilloraApp::~TQuilloraApp() {
    // The window goes first: it uses the services until it is destroyed.
    m_main.reset();
    frmMain = nullptr;
    DocData = nullptr;
    Documents = nullptr;
    RegConfig = nullptr;
    IniConfig = nullptr;
    g_CurrentFile.clear();
}

int TQuilloraApp::AcceptedStyle(int stored) { return (stored >= 0 && stored <= 5) ? stored : 0; }

TQuilloraApp::Entry TQuilloraApp::ClaimInstance() {
    m_instance = std::make_unique<TSingleInstance>();
    connect(m_instance.get(), &TSingleInstance::paramsReceived, this, &TQuilloraApp::OnParamsReceived);
    if (m_instance->Listen())
        return Entry::FirstInstance;
    // Another instance answers: bring it forward and hand over the name.
    if (TSingleInstance::SendToRunning(m_params))
        return Entry::HandedOver;
    std::fputs("Quillora: the running instance does not answer; starting on its own.\n", stderr);
    return Entry::FirstInstance;
}

void TQuilloraApp::Startup() {
    {
        TfrmSplash splash;
        splash.ShowNow();
        QEventLoop wait;
        QTimer::singleShot(TfrmSplash::DisplayMilliseconds(), &wait, &QEventLoop::quit);
        wait.exec();
        m_main = std::make_unique<TfrmMain>();
        frmMain = m_main.get();
        frmMain->SetCommandLine(m_params);
    }
    CreateServices();
    ReadSkin();
    frmMain->InitMainWindow();
    m_windowReady = true;
    // Names that arrived while the splash showed are handled now, not lost.
    const QStringList early = std::exchange(m_earlyParams, {});
    for (const QString& params : early)
        frmMain->PassParams(params);
}

void TQuilloraApp::OnParamsReceived(const QString& params) {
    if (m_windowReady && frmMain)
        frmMain->PassParams(params);
    else
        m_earlyParams << params;
}

void TQuilloraApp::CreateServices() {
    m_docData = std::make_unique<TqlvDocData>();
    DocData = m_docData.get();
    m_documents = std::make_unique<TqlvDocuments>();
    Documents = m_documents.get();
    m_regConfig = std::make_unique<TqlvRegConfig>();
    RegConfig = m_regConfig.get();
    m_iniConfig = std::make_unique<TqlvIniConfig>();
    IniConfig = m_iniConfig.get();
}

void TQuilloraApp::ReadSkin() {
    g_Theme = IniConfig->ReadTheme();
    g_Style = AcceptedStyle(IniConfig->ReadStyle());
}

int TQuilloraApp::Run() {
    if (ClaimInstance() == Entry::HandedOver)
        return 0;
    Startup();
    CloseMainWindowOnSignals(this);
    frmMain->show();
    return QApplication::exec();
}
