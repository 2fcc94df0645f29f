// The peer of the idle-window benchmark: a bare Qt window (a main window with
// a menu bar and a text edit), linked to Qt Widgets alone, as a minimal Qt
// program would be. Once its window is shown it prints "Ready", as quillora
// does with QUILLORA_TRACE set, and stays open until it is terminated.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QMainWindow bare;
    for (const char* title : {"File", "Edit", "View", "Tools", "Help"})
        bare.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    bare.setCentralWidget(new QTextEdit(&bare));
    bare.resize(1024, 700);
    bare.show();
    QTimer::singleShot(0, &bare, [] {
        std::printf("Ready\n");
        std::fflush(stdout);
    });
    return qt.exec();
}
