// TScriptedDialogs: a dialog service for tests. Constructing one installs it
// (SetDialogService); destroying it puts back the service that was installed
// before. Answers come from queues, one per kind of request; everything asked
// is recorded in order. With an empty queue a message box is answered 1 and
// any other request is cancelled; the record then says `scripted == false`.
// It draws in the skin of the service it replaced, and draws each dialog it
// runs in that skin before the dialog's handler sees it.
//
//   TScriptedDialogs dialogs;
//   dialogs.QueueMessageAnswer(TAnswer::No);       // "否(&N)" for the next box
//   dialogs.QueuePassword("secret");
//   dialogs.QueueOpenFileName("/tmp/a.txt");
//   dialogs.QueueDialog([](QDialog& d) {          // fill and accept a dialog
//       TScriptedDialogs::SetText(d, "editName", "新稿件");
//       return TScriptedDialogs::Click(d, "btnOK");  // the dialog's own OK slot runs
//   });
//   ... run the command ...
//   EXPECT_EQ(dialogs.Messages().at(0).text, "...");
//
// Not thread-safe: use it on the thread that runs the dialogs.
#pragma once

#include "platform/DialogService.h"

#include <QDialog>
#include <deque>
#include <functional>
#include <vector>

struct TShownMessage {
    QString text;
    QString caption;
    int icon = 0;
    int style = 0;
    int buttons = 1;
    int answer = 1;
    bool scripted = false;  // answer taken from the queue
};

// kind: "password", "open", "openMany", "save", "folder", "font", "color",
// "dialog". For "dialog", caption is the dialog's window title and
// objectName its objectName; answer is what was returned (a path, the
// joined paths, "accepted"/"rejected", ...; empty when cancelled).
struct TDialogRequestRecord {
    QString kind;
    QString caption;
    QString filter;
    QString initialDir;
    QString fileName;
    QString objectName;
    QString answer;
    bool scripted = false;
};

class TScriptedDialogs : public TDialogService {
public:
    using DialogHandler = std::function<int(QDialog&)>;

    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // Queues. An empty string / list / nullopt answers "cancelled".
    void QueueMessageAnswer(int answer);
    void QueueMessageAnswer(TAnswer answer) { QueueMessageAnswer(static_cast<int>(answer)); }
    void QueuePassword(const QString& password);
    void QueueOpenFileName(const QString& path);
    void QueueOpenFileNames(const QStringList& paths);
    void QueueSaveFileName(const QString& path);
    void QueueFolderName(const QString& path);
    void QueueFont(std::optional<QFont> font);
    void QueueColor(std::optional<QColor> color);
    void QueueDialog(DialogHandler handler);

    // What was shown, in order.
    const std::vector<TShownMessage>& Messages() const { return m_messages; }
    QStringList MessageTexts() const;
    const std::vector<TDialogRequestRecord>& Requests() const { return m_requests; }
    // Answers still queued (a test may check that all were used).
    int PendingAnswers() const;
    void ClearRecords();

    // Helpers for dialog handlers: find a child by objectName and set it.
    // A missing control fails the running GoogleTest test (a warning under Qt Test).
    static void SetText(QDialog& dialog, const char* objectName, const QString& text);
    static void SetChecked(QDialog& dialog, const char* objectName, bool checked);
    static void SetCurrentText(QDialog& dialog, const char* objectName, const QString& text);
    // Clicks a button and returns the dialog's result afterwards (Accepted
    // when the click accepted it, Rejected when it stayed open or rejected).
    static int Click(QDialog& dialog, const char* objectName);

    // TDialogService
    const TSkin* Skin() const override { return m_previous->Skin(); }
    int MessageBox(const QString& text, const QString& caption, int icon, int style, int buttons) override;
    QString InputPassword() override;
    QString OpenFileName(const TFileDialogRequest& request) override;
    QStringList OpenFileNames(const TFileDialogRequest& request) override;
    QString SaveFileName(const TFileDialogRequest& request) override;
    QString FolderName(const QString& caption, const QString& initialDir) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    int ExecDialog(QDialog& dialog) override;

private:
    QString AnswerFile(const char* kind, const TFileDialogRequest& request, std::deque<QString>& queue);

    TDialogService* m_previous;
    std::deque<int> m_messageAnswers;
    std::deque<QString> m_passwords;
    std::deque<QString> m_openFiles;
    std::deque<QStringList> m_openFileLists;
    std::deque<QString> m_saveFiles;
    std::deque<QString> m_folders;
    std::deque<std::optional<QFont>> m_fonts;
    std::deque<std::optional<QColor>> m_colors;
    std::deque<DialogHandler> m_dialogs;
    std::vector<TShownMessage> m_messages;
    std::vector<TDialogRequestRecord> m_requests;
};
