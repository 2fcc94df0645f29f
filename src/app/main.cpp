// Process entry: one running instance per user; a second start hands its
// command line to the running one and ends.
#include "app/TQuilloraApp.h"
#include "app/TQuilloraApplication.h"
#include "platform/SingleInstance.h"
#include "settings/AppIcons.h"

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // Answered before any window system is needed, so it works over ssh and
    // in scripts. A file to open is never named "--version".
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quillora %s\n", QUILLORA_VERSION);
        return 0;
    }
    TQuilloraApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kInstanceName));
    QApplication::setWindowIcon(ApplicationIcon());
    TQuilloraApp quillora(QApplication::arguments());
    return quillora.Run();
}
