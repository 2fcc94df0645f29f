#include "app/TQuilloraApp.h"

#include "app/InterfaceLanguage.h"
#include "app/TAppContext.h"
#include "app/TfrmMain.h"
#include "app/TfrmSplash.h"
#include "app/commands/TMainCommands.h"
#include "app/dialogs/TTomeDBLoginForm.h"
#include "platform/SingleInstance.h"
#include "platform/Skin.h"
#include "settings/IniConfig.h"
#include "settings/OptionValues.h"
#include "settings/RegConfig.h"

#include <unistd.h>
#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <utility>

namespace {

// SIGTERM (logout, `kill`) and SIGHUP close the main window as the menu's
// 退出 does, so the layout and skin are stored. The handler only writes a
// byte to a pipe; the GUI thread reads it.
int g_signalPipe[2] = {-1, -1};
QPointer<QWidget> g_signalTarget;  // the window SIGTERM closes

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
        if (g_signalTarget)
            g_signalTarget->close();
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
    // The commands go first, then the window: both use the services until
    // they are destroyed.
    m_commands.reset();
    m_main.reset();
    m_context.reset();
    m_translations.reset();
    if (m_login && tomedb::DBLogin() == m_login.get())
        tomedb::SetDBLogin(nullptr);
}

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
    InstallQtTranslations();
    {
        TfrmSplash splash;
        splash.ShowNow();
        QEventLoop wait;
        QTimer::singleShot(TfrmSplash::DisplayMilliseconds(), &wait, &QEventLoop::quit);
        wait.exec();
        m_context = std::make_unique<TAppContext>();
        m_login = std::make_unique<TQtDBLogin>(m_context->Dialogs());
        tomedb::SetDBLogin(m_login.get());
        ReadSkin();
        m_main = std::make_unique<TfrmMain>(*m_context);
        m_commands = std::make_unique<TMainCommands>(*m_main, *m_context);
        m_main->BuildControls(m_commands->WindowCommands());
        m_commands->AttachViews();
        m_main->SetCommandLine(m_params);
    }
    m_main->InitMainWindow();
    m_windowReady = true;
    // Names that arrived while the splash showed are handled now, not lost.
    const QStringList early = std::exchange(m_earlyParams, {});
    for (const QString& params : early)
        m_main->PassParams(params);
}

void TQuilloraApp::OnParamsReceived(const QString& params) {
    if (m_windowReady && m_main)
        m_main->PassParams(params);
    else
        m_earlyParams << params;
}

// The interface language is chosen once, before the first window: the
// stored option, the desktop's language or the tests' override.
void TQuilloraApp::InstallQtTranslations() {
    if (m_translations)
        return;
    TqlvRegConfig config;
    m_translations = std::make_unique<TInterfaceTranslations>();
    m_translations->Install(StartupLanguage(ReadInterfaceLanguage(config)));
}

void TQuilloraApp::ReadSkin() {
    m_context->Skin().Set(m_context->IniConfig().ReadStyle(), m_context->IniConfig().ReadTheme());
}

int TQuilloraApp::Run() {
    if (ClaimInstance() == Entry::HandedOver)
        return 0;
    Startup();
    g_signalTarget = m_main.get();
    CloseMainWindowOnSignals(this);
    m_main->show();
    return QApplication::exec();
}
