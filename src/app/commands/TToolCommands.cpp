#include "app/commands/TToolCommands.h"

#include "app/OptionsCommand.h"
#include "app/TAppContext.h"
#include "app/TBackupService.h"
#include "app/TStatusPanels.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/commands/TSessionCommands.h"
#include "app/dialogs/TfrmMail.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/AppPaths.h"
#include "platform/DialogService.h"
#include "platform/ExportNames.h"
#include "platform/Skin.h"
#include "settings/RegConfig.h"
#include "tools/mail/TZipArchive.h"
#include "tools/pinyin/TfrmCheckPY.h"
#include "tools/reader/TfrmReader.h"
#include "tools/searcher/TfrmSearcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QTreeWidget>

TToolCommands::TToolCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts,
                             TSessionCommands& session)
    : m_main(main), m_context(context), m_manuscripts(manuscripts), m_session(session) {}

void TToolCommands::munToolWordCountClick() {
    const TWordCount count = m_main.Editor()->CountWords();
    const QChar cr(13);
    m_context.Dialogs().Inform(
        QCoreApplication::translate("TToolCommands", "英文单词：") + QString::number(count.English) + cr +
            QCoreApplication::translate("TToolCommands", "中文字数：") + QString::number(count.Chinese) + cr + cr,
        QCoreApplication::translate("TToolCommands", "字数统计"), TMessageIcon::None);
}

void TToolCommands::munToolOptionClick() {
    // The backup settings apply at once; the others at the next start.
    if (RunOptionsDialog(m_context.Dialogs(), m_context.RegConfig(), m_main.Window())) {
        m_context.Backups().ApplySettings();
        m_main.ApplyWritingModes();
    }
}

void TToolCommands::munToolFullScreenClick() { m_main.ToggleFullScreenWriting(); }

void TToolCommands::munToolIndentClick() {
    TqlvEditor& editor = *m_main.Editor();
    if (editor.IsEnabled())
        editor.NormaliseIndents();
}

void TToolCommands::munToolPYClick() { ShowCheckPY(m_main.Window(), m_main.Editor()->GetSelText()); }

// An open manuscript (or text with something in it) is what the writer wants
// to read; without one the window starts empty and opens files.
void TToolCommands::munToolReaderClick() {
    TqlvEditor& editor = *m_main.Editor();
    const QString text = editor.IsEnabled() ? editor.GetText() : QString();
    if (text.isEmpty() && !(m_context.DocData().Opened() && editor.IsEnabled())) {
        ShowReader(m_main.Window());
        return;
    }
    const QString shown = m_main.StatusPanels()->PanelText(1);
    const QString prefix = QCoreApplication::translate("TToolCommands", "稿件：");
    ShowReader(m_main.Window(), shown.startsWith(prefix) ? shown.mid(prefix.size()) : shown, text);
}

// A result opens through the same handler a second start's file goes through.
void TToolCommands::munFindInFileClick() {
    TSessionCommands* session = &m_session;
    OpenFindInFiles(m_main.Window(), m_context.Skin(),
                    [session](const QString& path) { session->OpenHandedOver(path); });
}

// With a library open the selected manuscript is mailed: its name as subject
// and its pictures zipped as attachment. The body is the editor's text.
void TToolCommands::munFileMailClick() {
    TfrmMail form(m_context.Dialogs(), m_context.RegConfig(), m_main.Window());
    if (m_context.DocData().Opened()) {
        QTreeWidgetItem* item = m_manuscripts.SelectedDoc();
        if (!item)
            return;
        const QString name = item->text(0);
        form.SetSubject(name);
        QString archive;
        if (!commandsteps::RunStep(m_context.Dialogs(), QCoreApplication::translate("TToolCommands", "发送邮件"),
                                   [&] { archive = PackDocPictures(ItemID(item), name); }))
            return;
        if (!archive.isEmpty())
            form.AddAttachment(archive);
    }
    form.SetContent(m_main.Editor()->GetText());
    m_context.Dialogs().ExecDialog(form);
}

// The picture records decide, not the stored PicCount: that count is only
// refreshed on save, so pictures just attached would otherwise be left out.
QString TToolCommands::PackDocPictures(int docID, const QString& name) {
    TZipArchive zip;
    m_context.DocData().AddDocPicsToZip(zip, docID);
    if (zip.Files().isEmpty())
        return QString();
    QString folder = m_context.RegConfig().ReadExPic();
    if (folder.isEmpty())
        folder = AppPath();
    QDir().mkpath(folder);
    TExportNames names(folder, QStringLiteral(".zip"));
    const std::optional<QString> archive = names.PathFor(name);
    if (!archive)
        throw EUserError(QCoreApplication::translate("TToolCommands", "无法用稿件名称作为压缩包的文件名：") + name,
                         QCoreApplication::translate("TToolCommands", "发送邮件"), 2);
    const qsizetype listed = zip.Files().size();
    const QStringList missing = zip.Pack(*archive);
    if (!missing.isEmpty())
        m_context.Dialogs().Warn(
            QCoreApplication::translate("TToolCommands", "以下图片文件没有找到，没有放入附件：\n") +
                missing.join(QLatin1Char('\n')),
            QCoreApplication::translate("TToolCommands", "发送邮件"));
    return missing.size() < listed ? *archive : QString();
}
