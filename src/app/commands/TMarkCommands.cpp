#include "app/commands/TMarkCommands.h"

#include "app/TAppContext.h"
#include "app/TViewEvents.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/commands/TPictureCommands.h"
#include "app/dialogs/TfrmMarks.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTreeWidget>

using commandsteps::RunStep;

namespace {
const char kMarkCaption[] = QT_TRANSLATE_NOOP("Commands", "标签");  // translated where shown
}  // namespace

TMarkCommands::TMarkCommands(TMainView& main, TAppContext& context, TPictureCommands& pictures)
    : m_main(main), m_context(context), m_pictures(pictures) {}

void TMarkCommands::AttachViews() {
    TViewEvents* events = TViewEvents::Attach(m_main.MarkList());
    events->dblClick = [this] { lvMarkDblClick(); };
    events->keyDown = [this](int key) { return lvMarkKeyDown(key); };
    events->hint = [this](QTreeWidgetItem* item) { return lvMarkMouseMove(item); };
}

QTreeWidgetItem* TMarkCommands::SelectedMark() const {
    const QList<QTreeWidgetItem*> selected = m_main.MarkList()->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* TMarkCommands::SelectedDoc() const { return SelectedListItem(m_main.DocList()); }

void TMarkCommands::munInsertMarkAddClick() {
    QTreeWidgetItem* doc = SelectedDoc();
    if (!doc)
        return;
    TMark mark;
    mark.MarkParent = ItemID(doc);
    mark.MarkParentName = doc->text(0);
    // The paragraph, not the wrapped screen line: it stays put at any width.
    mark.MarkPosLine = m_main.Editor()->CaretParagraph() + 1;
    if (!ShowMarks(m_context.Dialogs(), mark, m_main.Window()))
        return;
    TViewItem record;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMarkCaption),
                 [&] { record = m_context.DocData().AddMark(mark); }))
        return;
    m_main.MarkList()->addTopLevelItem(MakeListItem(record));
    m_pictures.RefreshDocCounts(doc);
}

void TMarkCommands::munInsertMarkDelClick() {
    QTreeWidgetItem* item = SelectedMark();
    if (!item)
        return;
    const int id = ItemID(item);
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMarkCaption),
                 [&] { m_context.DocData().DeleteMark(id); }))
        return;
    delete item;
    if (QTreeWidgetItem* doc = SelectedDoc())
        m_pictures.RefreshDocCounts(doc);
}

void TMarkCommands::munInsertMarkEditClick() {
    QTreeWidgetItem* item = SelectedMark();
    if (!item)
        return;
    const int id = ItemID(item);
    TMark mark;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMarkCaption),
                 [&] { m_context.DocData().GetMark(id, mark); }))
        return;
    if (!ShowMarks(m_context.Dialogs(), mark, m_main.Window()))
        return;
    if (RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMarkCaption),
                [&] { m_context.DocData().UpdateMark(mark, id); }))
        m_main.ReloadMarkList();
}

void TMarkCommands::munInsertMarkOpenClick() {
    QTreeWidgetItem* item = SelectedMark();
    if (!item || !SelectedDoc())
        return;
    const int id = ItemID(item);
    TMark mark;
    bool found = false;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMarkCaption),
                 [&] { found = m_context.DocData().GetMark(id, mark); }) ||
        !found)
        return;
    m_main.Editor()->GotoParagraph(mark.MarkPosLine);
}

void TMarkCommands::lvMarkDblClick() { munInsertMarkOpenClick(); }

bool TMarkCommands::lvMarkKeyDown(int key) {
    if (key != Qt::Key_Delete)
        return false;  // arrows and the rest keep their usual meaning
    munInsertMarkDelClick();
    return true;
}

QString TMarkCommands::lvMarkMouseMove(QTreeWidgetItem* item) {
    if (!item)
        return QString();
    TMark mark;
    const int id = ItemID(item);
    RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kMarkCaption),
            [&] { m_context.DocData().GetMark(id, mark); });
    return mark.MarkContent;
}

void TMarkCommands::pageToolChange() {
    // Only a library whose tables are open has lists to refresh.
    if (!m_context.DocData().TablesOpen())
        return;
    m_main.ReloadMarkList();
    m_pictures.ReloadPicList();
}
