// Process entry: one running instance per user; a second start hands its
// command line to the running one and ends.
#include "app/TQuilloraApp.h"
#include "app/TQuilloraApplication.h"
#include "platform/SingleInstance.h"
#include "settings/AppIcons.h"

int main(int argc, char* argv[]) {
    TQuilloraApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kInstanceName));
    QApplication::setWindowIcon(ApplicationIcon());
    TQuilloraApp quillora(QApplication::arguments());
    return quillora.Run();
}
