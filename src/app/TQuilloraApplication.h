// TQuilloraApplication: the QApplication of the executable. An exception that
// escapes a command (an engine, file or mail error) ends that command and its
// message is shown in a message box, instead of ending the process; the
// application keeps running.
#pragma once

#include <QApplication>

class TQuilloraApplication : public QApplication {
public:
    TQuilloraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    // Shows an escaped error the way notify does (also used by tests).
    static void ShowError(const QString& message);
};
