#include "output/BookSource.h"

#include "library/TqlvDocData.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kCaption = QStringLiteral("输出书稿");

// The manuscripts of one folder as the window's list sorts them.
TViewItems SortedDocs(TqlvDocData& data, int folderID) {
    TViewItems items = data.LoadDocList(folderID);
    std::stable_sort(items.begin(), items.end(), [](const TViewItem& a, const TViewItem& b) {
        return a.Caption.compare(b.Caption, Qt::CaseSensitive) < 0;
    });
    return items;
}

const TViewNode* FindNode(const TViewNode& node, int id) {
    if (node.ID == id)
        return &node;
    for (const TViewNode& child : node.Children)
        if (const TViewNode* found = FindNode(child, id))
            return found;
    return nullptr;
}

void CollectByName(const TViewNode& node, const QString& name, QList<int>& ids, bool isRoot) {
    if (!isRoot && node.Caption == name)
        ids.append(node.ID);
    for (const TViewNode& child : node.Children)
        CollectByName(child, name, ids, false);
}

// Collects sections first without text, so progress knows the total.
struct TPlannedSection {
    TBookSection Section;
    int DocID = 0;  // 0 for a part
};

void PlanFolder(TqlvDocData& data, const TViewNode& node, int chapterLevel, std::vector<TPlannedSection>& plan) {
    for (const TViewItem& doc : SortedDocs(data, node.ID)) {
        TPlannedSection chapter;
        chapter.Section.Level = chapterLevel;
        chapter.Section.Heading = XmlSafeText(doc.Caption);
        chapter.DocID = doc.ID;
        plan.push_back(std::move(chapter));
    }
    for (const TViewNode& child : node.Children) {
        TPlannedSection part;
        part.Section.SectionKind = TBookSection::Kind::Part;
        part.Section.Level = chapterLevel;
        part.Section.Heading = XmlSafeText(child.Caption);
        plan.push_back(std::move(part));
        PlanFolder(data, child, chapterLevel + 1, plan);
    }
}

const TViewNode& RequireFolder(const TViewNode& root, int folderID) {
    const TViewNode* node = FindNode(root, folderID);
    if (!node)
        throw EUserError(QStringLiteral("稿件夹 %1 不存在。").arg(folderID), kCaption, 2);
    return *node;
}

std::vector<TPlannedSection> PlanManuscripts(TqlvDocData& data, const QList<int>& ids) {
    std::vector<TPlannedSection> plan;
    for (const int id : ids) {
        TDocAttr attr;
        attr.DocCDate = std::numeric_limits<double>::quiet_NaN();  // stays so when not found
        data.GetDocAttr(id, attr);
        if (std::isnan(attr.DocCDate))
            throw EUserError(QStringLiteral("稿件 %1 不存在。").arg(id), kCaption, 2);
        TPlannedSection chapter;
        chapter.Section.Heading = XmlSafeText(attr.DocName);
        chapter.DocID = id;
        plan.push_back(std::move(chapter));
    }
    return plan;
}

}  // namespace

TBook BuildBook(TqlvDocData& data, const TBookScope& scope, const QString& title, const QString& author,
                const TBookProgress& progress) {
    std::vector<TPlannedSection> plan;
    if (scope.ScopeKind == TBookScope::Kind::Manuscripts) {
        plan = PlanManuscripts(data, scope.ManuscriptIDs);
    } else {
        const TViewNode root = data.LoadFolderTree();
        const int folder = scope.ScopeKind == TBookScope::Kind::Folder ? scope.FolderID : 0;
        PlanFolder(data, RequireFolder(root, folder), 1, plan);
    }
    const qint64 total = std::count_if(plan.begin(), plan.end(), [](const TPlannedSection& s) { return s.DocID != 0; });
    TBook book;
    book.Title = XmlSafeText(title.trimmed());
    book.Author = XmlSafeText(author.trimmed());
    book.Sections.reserve(plan.size());
    qint64 done = 0;
    ReportBookProgress(progress, 0, total);
    for (TPlannedSection& planned : plan) {
        if (planned.DocID != 0) {
            planned.Section.Paragraphs = BookParagraphs(data.LoadDocText(planned.DocID));
            ReportBookProgress(progress, ++done, total);
        }
        book.Sections.push_back(std::move(planned.Section));
    }
    return book;
}

QString BookFolderName(TqlvDocData& data, int folderID) {
    return RequireFolder(data.LoadFolderTree(), folderID).Caption;
}

QList<int> FindFoldersByName(TqlvDocData& data, const QString& name) {
    QList<int> ids;
    CollectByName(data.LoadFolderTree(), name, ids, true);
    return ids;
}
