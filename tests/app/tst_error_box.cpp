// An exception escaping a command ends that command with a message box and
// leaves the application running, instead of ending the process.
#include "app/TQuilloraApplication.h"
#include "support/ScriptedDialogs.h"

#include <QTest>
#include <stdexcept>

namespace {

class TThrowingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Database file 'a.qdb' is damaged");
        return QObject::event(event);
    }
};

}  // namespace

class TestErrorBox : public QObject {
    Q_OBJECT
private slots:
    void escapedErrorIsShownAndTheLoopGoesOn() {
        TScriptedDialogs dialogs;
        TThrowingObject target;
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.Messages().size(), size_t(2));
        QCOMPARE(dialogs.Messages().at(0).text, QString("Database file 'a.qdb' is damaged"));
        QCOMPARE(dialogs.Messages().at(0).caption, QString("QuilloraVer1.3"));
        QCOMPARE(dialogs.Messages().at(0).icon, 2);
    }
};

int main(int argc, char** argv) {
    TQuilloraApplication app(argc, argv);
    TestErrorBox test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_error_box.moc"
