// What the application benchmarks share: made-up Chinese text, a new empty
// library file, a dialog service that answers at once, and the real window
// started without a splash. Header only: every *.cpp in this folder is a
// benchmark executable of its own.
#pragma once

#include "app/TQuilloraApp.h"
#include "app/TfrmMain.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace benchsupport {

// `length` characters from the CJK block, the same for the same seed; a line
// break now and then when `lineBreaks` is set, as real manuscripts have.
inline QString ChineseText(int seed, int length = 3400, bool lineBreaks = true) {
    QString text;
    text.reserve(length + 64);
    uint32_t state = uint32_t(seed) * 2654435761u + 1;
    while (text.size() < length) {
        state = state * 1103515245u + 12345u;
        text += QChar(0x4E00 + int((state >> 8) % 0x5000));
        if (lineBreaks && state % 37 == 0)
            text += QStringLiteral("\r\n");
    }
    return text;
}

// Creates an empty, compressed, unencrypted library `folder`/`name` and
// returns its file path; empty when it could not be created.
inline QString NewLibrary(const QString& folder, const QString& name, const QString& caption = QString()) {
    TqlvDocData data;
    QString file;
    if (!data.CreateDocData(folder + "/" + name, caption, QString(), true, false, false, 2, &file))
        return {};
    data.CloseDocData();
    return file;
}

// Answers every question with its first button and every file or folder
// question with nothing. A modal dialog is handed to `onDialog` (when set),
// which may click what the benchmark needs; it is then rejected.
class TSilentDialogs : public TDialogService {
public:
    std::function<void(QDialog&)> onDialog;

    int MessageBox(const QString&, const QString&, int, int, int) override { return 1; }
    QString InputPassword() override { return {}; }
    QString OpenFileName(const TFileDialogRequest&) override { return {}; }
    QStringList OpenFileNames(const TFileDialogRequest&) override { return {}; }
    QString SaveFileName(const TFileDialogRequest&) override { return {}; }
    QString FolderName(const QString&, const QString&) override { return {}; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> ChooseColor(const QColor&) override { return std::nullopt; }
    int ExecDialog(QDialog& dialog) override {
        if (onDialog)
            onDialog(dialog);
        return QDialog::Rejected;
    }
};

// Before the QApplication: offscreen unless a platform is set, no splash.
inline void PrepareQtEnvironment() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QUILLORA_SPLASH_MS", "0");
}

// The application started and its window shown, as a user sees it.
inline std::unique_ptr<TQuilloraApp> StartShownWindow() {
    auto app = std::make_unique<TQuilloraApp>(QStringList{QStringLiteral("quillora")});
    app->Startup();
    app->MainWindow()->show();
    QApplication::processEvents();
    return app;
}

}  // namespace benchsupport
