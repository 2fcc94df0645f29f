#include "app/commands/TWritingCommands.h"

#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TMainView.h"
#include "app/dialogs/GoalBox.h"
#include "library/ManuscriptSaves.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <algorithm>

using commandsteps::RunStep;

namespace {

const char kStatsCaption[] = QT_TRANSLATE_NOOP("Commands", "写作统计");  // translated where shown
const char kGoalCaption[] = QT_TRANSLATE_NOOP("Commands", "设置目标");   // translated where shown

const TViewNode* FindFolder(const TViewNode& node, int id) {
    if (node.ID == id)
        return &node;
    for (const TViewNode& child : node.Children)
        if (const TViewNode* found = FindFolder(child, id))
            return found;
    return nullptr;
}

QString TargetName(const TGoal& goal, TqlvDocData& data, const TViewNode& folders) {
    switch (goal.Kind) {
        case TGoalKind::Library:
            return QCoreApplication::translate("TWritingCommands", "稿件库");
        case TGoalKind::Folder: {
            const TViewNode* folder = FindFolder(folders, goal.TargetID);
            return QCoreApplication::translate("TWritingCommands", "稿件夹：") +
                   (folder ? folder->Caption : QCoreApplication::translate("TWritingCommands", "（已删除）"));
        }
        case TGoalKind::Manuscript: {
            TDocAttr attr;
            attr.DocName = QCoreApplication::translate("TWritingCommands", "（已删除）");
            data.GetDocAttr(goal.TargetID, attr);
            return QCoreApplication::translate("TWritingCommands", "稿件：") + attr.DocName;
        }
    }
    return QString();
}

}  // namespace

TWritingStatsData ReadWritingStats(TManuscriptSaves& saves, TqlvDocData& data) {
    TWritingStatsData stats;
    TWritingSummary summary = saves.Log().Summary(TfrmWritingStats::kRanges[2]);
    stats.Days = std::move(summary.Days);
    stats.Streak = summary.Streak;
    stats.TodayChars = summary.TodayChars;
    const std::vector<TGoal> goals = saves.Goals().All();
    if (goals.empty())
        return stats;
    const TViewNode folders = data.LoadFolderTree();
    int largestNeed = 0;
    for (const TGoal& goal : goals) {
        TGoalRow row{TargetName(goal, data, folders), goal, saves.Goals().Progress(goal)};
        // The library's goal sets the day's figure; without one, the most
        // any goal needs today (writing for one counts for those around it).
        if (goal.Kind == TGoalKind::Library)
            stats.DailyGoal = row.Progress.PerDay;
        largestNeed = std::max(largestNeed, row.Progress.PerDay);
        stats.Goals.push_back(std::move(row));
    }
    const bool libraryGoal =
        std::any_of(goals.begin(), goals.end(), [](const TGoal& g) { return g.Kind == TGoalKind::Library; });
    if (!libraryGoal)
        stats.DailyGoal = largestNeed;
    std::stable_sort(stats.Goals.begin(), stats.Goals.end(), [](const TGoalRow& a, const TGoalRow& b) {
        return static_cast<int>(a.Goal.Kind) < static_cast<int>(b.Goal.Kind);
    });
    return stats;
}

void StoreGoal(const TGoalBox& box, TManuscriptSaves& saves) {
    if (!box.Changed())
        return;
    if (const std::optional<TGoal> goal = box.Goal())
        saves.Goals().Set(*goal);
    else if (box.ShownGoalID() != 0)
        saves.Goals().Delete(box.ShownGoalID());
}

TWritingCommands::TWritingCommands(TMainView& main, TAppContext& context) : m_main(main), m_context(context) {}

void TWritingCommands::munToolWritingStatsClick() {
    TqlvDocData& data = m_context.DocData();
    if (!data.Opened())
        return;
    TWritingStatsData stats;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kStatsCaption),
                 [&] { stats = ReadWritingStats(m_context.Saves(), data); }))
        return;
    TfrmWritingStats dialog(m_main.Window());
    dialog.Fill(std::move(stats));
    dialog.OnExportCsv = [this](const std::vector<TDayStats>& rows) { ExportCsv(rows); };
    m_context.Dialogs().ExecDialog(dialog);
}

void TWritingCommands::ExportCsv(const std::vector<TDayStats>& rows) {
    TFileDialogRequest request;
    request.caption = QCoreApplication::translate("TWritingCommands", "导出CSV");
    request.filter = QCoreApplication::translate("TWritingCommands", "CSV文件(*.csv)|*.csv");
    request.defaultExt = QStringLiteral("csv");
    request.fileName = QCoreApplication::translate("TWritingCommands", "写作统计.csv");
    const QString path = m_context.Dialogs().SaveFileName(request);
    if (path.isEmpty())
        return;
    QFile file(path);
    const QByteArray csv = TWriteLog::Csv(rows);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(csv) != csv.size() || !file.flush())
        commandsteps::ShowFailure(m_context.Dialogs(),
                                  QCoreApplication::translate("TWritingCommands", "无法写入文件：") + path +
                                      QLatin1Char('\n') + file.errorString(),
                                  QCoreApplication::translate("Commands", kStatsCaption));
}

// On the root "稿件夹" the goal is the library's.
void TWritingCommands::PopFloderGoalClick() {
    TqlvDocData& data = m_context.DocData();
    QTreeWidgetItem* node = m_main.DocTree()->currentItem();
    if (!data.Opened() || !node)
        return;
    const int folderID = ItemID(node);
    const TGoalKind kind = folderID == 0 ? TGoalKind::Library : TGoalKind::Folder;
    const QString target = folderID == 0 ? QCoreApplication::translate("TWritingCommands", "稿件库：") +
                                               QFileInfo(data.GetDocDataName()).completeBaseName()
                                         : QCoreApplication::translate("TWritingCommands", "稿件夹：") + node->text(0);
    TManuscriptSaves& saves = m_context.Saves();
    std::optional<TGoal> goal;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kGoalCaption),
                 [&] { goal = saves.Goals().Find(kind, folderID); }))
        return;
    TfrmGoal dialog(m_context.Dialogs(), target, kind, folderID, goal, saves.Goals().Today(), m_main.Window());
    if (m_context.Dialogs().ExecDialog(dialog) != QDialog::Accepted)
        return;
    RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kGoalCaption),
            [&] { StoreGoal(*dialog.Box(), saves); });
}
