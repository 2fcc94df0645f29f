// TqlvDocData: manuscripts (table Docs) and their counters.
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"
#include "platform/TextCodec.h"
#include "tomedb/storage/TomeTableIO.h"

using namespace tableaccess;

namespace {

const QString kNewDoc = QStringLiteral("新建稿件");

// A manuscript added without dates (day 0; imports before they were dated)
// has no numbers until it is saved once. The engine keeps no null for integers, so while DocMDate is
// day 0 a number that reads 0 is shown as the empty "no value" it stands for.
bool NeverSaved(const tomedb::TTomeTable& docs) { return docs.FieldByName("DocMDate").AsDateTime() == 0; }

QString NumberText(const tomedb::TTomeTable& docs, const char* field, bool neverSaved) {
    const QString text = FieldText(docs, field);
    return neverSaved && text == QLatin1String("0") ? QString() : text;
}

void SetNumberText(tomedb::TTomeTable& docs, const char* field, const QString& text) {
    docs.FieldByName(field).SetAsString(Bytes(text));
}

}  // namespace

TViewItem TqlvDocData::DocItem() {
    const bool neverSaved = NeverSaved(Doctable);
    TViewItem item;
    item.Caption = FieldText(Doctable, "DocName");
    item.ID = CurrentID(Doctable);
    item.ImageIndex = docimages::Manuscript;
    item.SubItems << NumberText(Doctable, "PicCount", neverSaved) << NumberText(Doctable, "MarkCount", neverSaved);
    return item;
}

TViewItems TqlvDocData::LoadDocList(int folderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    TViewItems items;
    if (!m_opened)
        return items;
    FilterBy(Doctable, QStringLiteral("PID"), folderID);
    const int count = Doctable.RecordCount();
    items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        items.push_back(DocItem());
        Doctable.Next();
    }
    return items;
}

TViewItem TqlvDocData::NewDoc(int folderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    Unfilter(Doctable);
    Doctable.Append();
    Doctable.FieldByName("PID").SetAsInteger(folderID);
    SetFieldText(Doctable, "DocName", kNewDoc);
    Doctable.FieldByName("DocSize").SetAsInteger(0);
    Doctable.FieldByName("DocCDate").SetAsDateTime(tomedb::Today());
    Doctable.FieldByName("DocMDate").SetAsDateTime(tomedb::Today());
    for (const char* counter : {"cnCount", "enCount", "PicCount", "MarkCount", "Money"})
        Doctable.FieldByName(counter).SetAsInteger(0);
    SetFieldText(Doctable, "Publish", QStringLiteral("未发表"));
    SetMemoText(Doctable, "Txt", QString());
    Doctable.Post();
    TViewItem item;
    item.Caption = kNewDoc;
    item.ID = CurrentID(Doctable);
    item.ImageIndex = docimages::Manuscript;
    item.SubItems << QStringLiteral("0") << QStringLiteral("0");
    item.EditInPlace = true;
    return item;
}

QString TqlvDocData::LoadDocText(int selectedDocID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, selectedDocID))
        return QString();
    return FieldText(Doctable, "Txt");
}

void TqlvDocData::SaveDoc(int docID, const TDocAttr& attr) { SaveDocBytes(docID, attr, Bytes(attr.Txt)); }

void TqlvDocData::SaveDocBytes(int docID, const TDocAttr& attr, const std::string& txt) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        return;
    // Counting moves other tables only; Doctable stays on the record.
    const QString marks = GetMarkCount(docID);
    const QString pics = GetPicCount(docID);
    Doctable.Edit();
    SetNumberText(Doctable, "DocSize", attr.DocSize);
    Doctable.FieldByName("DocMDate").SetAsDateTime(tomedb::Today());
    SetNumberText(Doctable, "cnCount", attr.cnCount);
    SetNumberText(Doctable, "enCount", attr.enCount);
    SetNumberText(Doctable, "MarkCount", marks);
    SetNumberText(Doctable, "PicCount", pics);
    Doctable.FieldByName("Txt").SetAsString(txt);
    Doctable.Post();
}

QList<int> TqlvDocData::DeleteSelectedDocs(const QList<int>& selectedDocIDs) {
    tomedb::TTomeWriteBatch batch(TomeDB);  // one pair of disk syncs for all
    QList<int> removed;
    for (int docID : selectedDocIDs) {
        if (!FindByID(Doctable, docID))
            continue;  // its item stays; the others are still deleted
        Doctable.Delete();
        removed.append(docID);
        DeleteDocMarks(docID);
        DeleteDocPics(docID);
    }
    batch.Finish();
    return removed;
}

void TqlvDocData::RenameSelectedDoc(int selectedDocID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordText(Doctable, selectedDocID, "DocName", name);
}

void TqlvDocData::GetDocAttr(int docID, TDocAttr& attr) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        return;
    const bool neverSaved = NeverSaved(Doctable);
    attr.DocName = FieldText(Doctable, "DocName");
    attr.DocSize = NumberText(Doctable, "DocSize", neverSaved);
    attr.DocCDate = Doctable.FieldByName("DocCDate").AsDateTime();
    attr.DocMDate = Doctable.FieldByName("DocMDate").AsDateTime();
    attr.cnCount = NumberText(Doctable, "cnCount", neverSaved);
    attr.enCount = NumberText(Doctable, "enCount", neverSaved);
    attr.PicCount = NumberText(Doctable, "PicCount", neverSaved);
    attr.MarkCount = NumberText(Doctable, "MarkCount", neverSaved);
    attr.Publish = FieldText(Doctable, "Publish");
    attr.Money = NumberText(Doctable, "Money", neverSaved);
    attr.Txt = FieldText(Doctable, "Txt");
}

void TqlvDocData::ReadRecordHead(int docID, TDocAttr& attr) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (FindByID(Doctable, docID))
        attr.DocName = FieldText(Doctable, "DocName");
}

bool TqlvDocData::WriteRecordText(int docID, const TDocAttr&, const QString& path, QString* error) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        throw EUserError(QStringLiteral("稿件已不存在"), QStringLiteral("导出"), 2);
    tomedb::TTomeTableIO& io = *TomeDB.FindTableIO(Doctable.TableName());
    const int32_t record = Doctable.GetBookmark();
    const int txt = Doctable.FieldByName("Txt").Index();
    return WriteFileReplacingInPieces(
        path,
        [&](const TPieceWriter& write) {
            TGbTextFileEncoder encoder;
            bool writing = true;
            io.ReadFieldValueInPieces(record, txt, [&](const char* piece, size_t size) {
                writing = writing && write(encoder.Add(piece, size));
            });
            if (writing)
                write(encoder.Finish());
        },
        error);
}

void TqlvDocData::SetDocAttr(int docID, const TDocAttr& attr) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        return;
    Doctable.Edit();
    SetFieldText(Doctable, "DocName", attr.DocName);
    SetFieldText(Doctable, "Publish", attr.Publish);
    SetNumberText(Doctable, "Money", attr.Money);
    Doctable.Post();
}

void TqlvDocData::MoveDoc(int docID, int newFolderID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    SetRecordInt(Doctable, docID, "PID", newFolderID);
}

void TqlvDocData::UpdateDocCounts(int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Doctable, docID))
        return;
    const QString pics = GetPicCount(docID);
    const QString marks = GetMarkCount(docID);
    Doctable.Edit();
    SetNumberText(Doctable, "PicCount", pics);
    SetNumberText(Doctable, "MarkCount", marks);
    Doctable.Post();
}

QString TqlvDocData::GetMarkCount(int docID) {
    FilterBy(Marks(), QStringLiteral("MarkParent"), docID);
    return QString::number(Marks().RecordCount());
}

QString TqlvDocData::GetPicCount(int docID) {
    FilterBy(Pics(), QStringLiteral("PicParent"), docID);
    return QString::number(Pics().RecordCount());
}

int TqlvDocData::AddDoc(int folderID, const TDocAttr& attr) {
    const tomedb::TTomeLockScope batch(TomeDB);
    Unfilter(Doctable);
    Doctable.Append();
    Doctable.FieldByName("PID").SetAsInteger(folderID);
    SetFieldText(Doctable, "DocName", attr.DocName);
    // The dates given (an import: today); day 0 stands for none, as the engine
    // would stamp today otherwise.
    Doctable.FieldByName("DocCDate").SetAsDateTime(attr.DocCDate);
    Doctable.FieldByName("DocMDate").SetAsDateTime(attr.DocMDate);
    for (const auto& [field, text] :
         {std::pair{"DocSize", attr.DocSize}, std::pair{"cnCount", attr.cnCount}, std::pair{"enCount", attr.enCount}})
        if (!text.isEmpty())
            SetNumberText(Doctable, field, text);
    SetMemoText(Doctable, "Txt", attr.Txt);
    Doctable.Post();
    return CurrentID(Doctable);
}

std::unique_ptr<tomedb::TTomeWriteBatch> TqlvDocData::BeginWrites() {
    return std::make_unique<tomedb::TTomeWriteBatch>(TomeDB);
}
