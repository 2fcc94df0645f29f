// TqlvDocData: walking manuscript texts and batch writes for library-wide work
// (find and replace across the library).
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"

using namespace tableaccess;

namespace {

// The filters a walk needs: none (the whole table) or the folders in groups
// small enough for one filter each.
std::vector<QList<int>> FolderGroups(const QList<int>& folderIDs) {
    std::vector<QList<int>> groups;
    for (qsizetype from = 0; from < folderIDs.size(); from += kKeysPerFilter)
        groups.push_back(folderIDs.mid(from, kKeysPerFilter));
    return groups;
}

void ShowGroup(tomedb::TTomeTable& docs, const QList<int>* group) {
    if (group) {
        FilterByAny(docs, QStringLiteral("PID"), *group);
    } else {
        Unfilter(docs);
        docs.First();
    }
}

}  // namespace

std::vector<std::unique_ptr<tomedb::TTomeBlobDecoder>> TqlvDocData::DocTextDecoders(int count) {
    const tomedb::TTomeLockScope lock(TomeDB);
    std::vector<std::unique_ptr<tomedb::TTomeBlobDecoder>> decoders;
    if (!m_opened)
        return decoders;
    const int textField = Doctable.FieldByName("Txt").Index();
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<tomedb::TTomeBlobDecoder> decoder = Doctable.NewBlobDecoder(textField);
        if (!decoder)
            return {};
        decoders.push_back(std::move(decoder));
    }
    return decoders;
}

void TqlvDocData::ScanDocTexts(const QList<int>& folderIDs, const TDocTextVisitor& visit, bool storedForms) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!m_opened)
        return;
    const std::vector<QList<int>> groups = FolderGroups(folderIDs);
    std::vector<const QList<int>*> shown;
    if (groups.empty())
        shown.push_back(nullptr);
    for (const QList<int>& group : groups)
        shown.push_back(&group);
    TStoredDocText doc;
    for (const QList<int>* group : shown) {
        ShowGroup(Doctable, group);
        doc.Count += Doctable.RecordCount();
    }
    // Each text is read straight into this buffer, once (a visitor may take it).
    std::string text;
    const int textField = Doctable.FieldByName("Txt").Index();
    const tomedb::TField& idField = Doctable.FieldByName("ID");
    const tomedb::TField& folderField = Doctable.FieldByName("PID");
    const tomedb::TField& nameField = Doctable.FieldByName("DocName");
    for (const QList<int>* group : shown) {
        ShowGroup(Doctable, group);
        for (int i = Doctable.RecordCount(); i > 0; --i) {
            if (storedForms) {
                std::optional<std::string> stored = Doctable.StoredBlobValue(textField);
                text = stored ? std::move(*stored) : std::string();
            } else if (!Doctable.ReadBlobInto(textField, text)) {
                text.clear();
            }
            doc.ID = static_cast<int>(idField.AsInteger());
            doc.FolderID = static_cast<int>(folderField.AsInteger());
            doc.Name = Text(nameField.AsString());
            doc.Text = &text;
            if (!visit(doc))
                return;
            ++doc.Index;
            Doctable.Next();
        }
    }
}

void TqlvDocData::RunWriteBatch(const std::function<void()>& body) {
    tomedb::TTomeWriteBatch batch(TomeDB);
    body();
    batch.Finish();
}

void TqlvDocData::RunLocked(const std::function<void()>& body) {
    const tomedb::TTomeLockScope lock(TomeDB);
    body();
}
