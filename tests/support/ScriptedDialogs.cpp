#include "support/ScriptedDialogs.h"

#include "platform/Skin.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtDebug>

namespace {

// A misuse of a handler fails the running GoogleTest test; under Qt Test
// (no GoogleTest test running) it is a warning, and the test's own checks
// on the dialog's outcome catch it.
void ReportProblem(const QString& message) {
    if (::testing::UnitTest::GetInstance()->current_test_info())
        ADD_FAILURE() << message.toStdString();
    else
        qWarning("TScriptedDialogs: %s", qPrintable(message));
}

template <typename T>
bool TakeFront(std::deque<T>& queue, T& out) {
    if (queue.empty())
        return false;
    out = std::move(queue.front());
    queue.pop_front();
    return true;
}

QWidget* Child(QDialog& dialog, const char* objectName) {
    QWidget* widget = dialog.findChild<QWidget*>(QLatin1String(objectName));
    if (!widget)
        ReportProblem(
            QStringLiteral("dialog %1 has no control %2").arg(dialog.objectName(), QLatin1String(objectName)));
    return widget;
}

}  // namespace

TScriptedDialogs::TScriptedDialogs() : m_previous(&InstalledDialogService()) { SetDialogService(this); }

TScriptedDialogs::~TScriptedDialogs() { SetDialogService(m_previous); }

void TScriptedDialogs::QueueMessageAnswer(int answer) { m_messageAnswers.push_back(answer); }
void TScriptedDialogs::QueuePassword(const QString& password) { m_passwords.push_back(password); }
void TScriptedDialogs::QueueOpenFileName(const QString& path) { m_openFiles.push_back(path); }
void TScriptedDialogs::QueueOpenFileNames(const QStringList& paths) { m_openFileLists.push_back(paths); }
void TScriptedDialogs::QueueSaveFileName(const QString& path) { m_saveFiles.push_back(path); }
void TScriptedDialogs::QueueFolderName(const QString& path) { m_folders.push_back(path); }
void TScriptedDialogs::QueueFont(std::optional<QFont> font) { m_fonts.push_back(std::move(font)); }
void TScriptedDialogs::QueueColor(std::optional<QColor> color) { m_colors.push_back(std::move(color)); }
void TScriptedDialogs::QueueDialog(DialogHandler handler) { m_dialogs.push_back(std::move(handler)); }

QStringList TScriptedDialogs::MessageTexts() const {
    QStringList texts;
    for (const TShownMessage& message : m_messages)
        texts << message.text;
    return texts;
}

int TScriptedDialogs::PendingAnswers() const {
    return static_cast<int>(m_messageAnswers.size() + m_passwords.size() + m_openFiles.size() + m_openFileLists.size() +
                            m_saveFiles.size() + m_folders.size() + m_fonts.size() + m_colors.size() +
                            m_dialogs.size());
}

void TScriptedDialogs::ClearRecords() {
    m_messages.clear();
    m_requests.clear();
}

void TScriptedDialogs::SetText(QDialog& dialog, const char* objectName, const QString& text) {
    QWidget* widget = Child(dialog, objectName);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(widget))
        rich->setPlainText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setCurrentText(text);
    else if (widget)
        ReportProblem(QStringLiteral("%1 takes no text").arg(QLatin1String(objectName)));
}

void TScriptedDialogs::SetChecked(QDialog& dialog, const char* objectName, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(Child(dialog, objectName));
    if (button)
        button->setChecked(checked);
}

void TScriptedDialogs::SetCurrentText(QDialog& dialog, const char* objectName, const QString& text) {
    auto* combo = qobject_cast<QComboBox*>(Child(dialog, objectName));
    if (!combo)
        return;
    const int index = combo->findText(text);
    if (index < 0)
        ReportProblem(QStringLiteral("%1 has no item %2").arg(QLatin1String(objectName), text));
    combo->setCurrentIndex(index);
}

int TScriptedDialogs::Click(QDialog& dialog, const char* objectName) {
    if (auto* button = qobject_cast<QAbstractButton*>(Child(dialog, objectName)))
        button->click();
    return dialog.result();
}

int TScriptedDialogs::MessageBox(const QString& text, const QString& caption, int icon, int style, int buttons) {
    TShownMessage record{text, caption, icon, style, buttons, 1, false};
    int answer = 1;
    record.scripted = TakeFront(m_messageAnswers, answer);
    record.answer = answer;
    m_messages.push_back(record);
    return answer;
}

QString TScriptedDialogs::InputPassword() {
    TDialogRequestRecord record;
    record.kind = QStringLiteral("password");
    record.caption = QStringLiteral("打开稿件库");
    record.scripted = TakeFront(m_passwords, record.answer);
    m_requests.push_back(record);
    return record.answer;
}

QString TScriptedDialogs::AnswerFile(const char* kind, const TFileDialogRequest& request, std::deque<QString>& queue) {
    TDialogRequestRecord record{QLatin1String(kind), request.caption, request.filter, request.initialDir,
                                request.fileName,    QString(),       QString(),      false};
    record.scripted = TakeFront(queue, record.answer);
    m_requests.push_back(record);
    return record.answer;
}

QString TScriptedDialogs::OpenFileName(const TFileDialogRequest& request) {
    return AnswerFile("open", request, m_openFiles);
}

QStringList TScriptedDialogs::OpenFileNames(const TFileDialogRequest& request) {
    TDialogRequestRecord record{QStringLiteral("openMany"), request.caption, request.filter, request.initialDir,
                                request.fileName,           QString(),       QString(),      false};
    QStringList answer;
    record.scripted = TakeFront(m_openFileLists, answer);
    record.answer = answer.join(QLatin1Char('\n'));
    m_requests.push_back(record);
    return answer;
}

QString TScriptedDialogs::SaveFileName(const TFileDialogRequest& request) {
    return AnswerFile("save", request, m_saveFiles);
}

QString TScriptedDialogs::FolderName(const QString& caption, const QString& initialDir) {
    TFileDialogRequest request;
    request.caption = caption;
    request.initialDir = initialDir;
    return AnswerFile("folder", request, m_folders);
}

std::optional<QFont> TScriptedDialogs::ChooseFont(const QFont& initial) {
    TDialogRequestRecord record;
    record.kind = QStringLiteral("font");
    record.fileName = initial.toString();
    std::optional<QFont> answer;
    record.scripted = TakeFront(m_fonts, answer);
    record.answer = answer ? answer->toString() : QString();
    m_requests.push_back(record);
    return answer;
}

std::optional<QColor> TScriptedDialogs::ChooseColor(const QColor& initial) {
    TDialogRequestRecord record;
    record.kind = QStringLiteral("color");
    record.fileName = initial.name();
    std::optional<QColor> answer;
    record.scripted = TakeFront(m_colors, answer);
    record.answer = answer ? answer->name() : QString();
    m_requests.push_back(record);
    return answer;
}

int TScriptedDialogs::ExecDialog(QDialog& dialog) {
    TDialogRequestRecord record;
    record.kind = QStringLiteral("dialog");
    record.caption = dialog.windowTitle();
    record.objectName = dialog.objectName();
    DialogHandler handler;
    record.scripted = TakeFront(m_dialogs, handler);
    // Drawn as the service it stands in for would draw it, so a handler sees
    // the skin the user would.
    if (const TSkin* skin = Skin())
        skin->ApplyTo(&dialog);
    dialog.setResult(QDialog::Rejected);
    int result = record.scripted ? handler(dialog) : QDialog::Rejected;
    result = result == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
    record.answer = result == QDialog::Accepted ? QStringLiteral("accepted") : QStringLiteral("rejected");
    m_requests.push_back(record);
    return result;
}
