// TQuilloraApp: the process entry and start-up sequence of the shell, as a
// class so tests can run it in-process.
//
// ClaimInstance decides whether this process is the running instance (a
// second start hands its joined command line to the first and ends);
// Startup shows the splash, creates the services (TAppContext: DocData,
// Documents, RegConfig, IniConfig), reads the skin, then makes the main
// window and its command groups (TMainCommands), builds the window from the
// groups' table and initialises it. The object owns the context, the window,
// the commands and the engine's login handler; the commands go first, then
// the window. Needs a QApplication.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class TInterfaceTranslations;
class TAppContext;
class TQtDBLogin;
class TMainCommands;
class TSingleInstance;
class TfrmMain;

class TQuilloraApp : public QObject {
    Q_OBJECT
public:
    // args as from QCoreApplication::arguments() (program name first).
    explicit TQuilloraApp(const QStringList& args, QObject* parent = nullptr);
    ~TQuilloraApp() override;

    enum class Entry { FirstInstance, HandedOver };
    // Becomes the running instance, or hands the parameters to the running
    // one. When the socket cannot be had and no instance answers,
    // this process runs on its own (never blocks the start).
    Entry ClaimInstance();
    // Splash, services, skin, main window; the window is built but not shown.
    void Startup();
    // The whole life: claim, start up, show, run the event loop. Returns the
    // process exit code (0 for a second start that handed over).
    int Run();

    TfrmMain* MainWindow() const { return m_main.get(); }
    TMainCommands* Commands() const { return m_commands.get(); }
    TAppContext* Context() const { return m_context.get(); }
    TSingleInstance* Instance() const { return m_instance.get(); }
    QString JoinedParams() const { return m_params; }

private:
    void OnParamsReceived(const QString& params);
    void ReadSkin();
    void InstallQtTranslations();

    QStringList m_args;
    QString m_params;
    QStringList m_earlyParams;  // handed over before the main window was ready
    bool m_windowReady = false;
    std::unique_ptr<TSingleInstance> m_instance;
    std::unique_ptr<TInterfaceTranslations> m_translations;
    std::unique_ptr<TQtDBLogin> m_login;
    std::unique_ptr<TAppContext> m_context;
    std::unique_ptr<TfrmMain> m_main;
    std::unique_ptr<TMainCommands> m_commands;  // declared last: destroyed first
};
