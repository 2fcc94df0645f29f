// TqlvDocData: marks (table DocMark).
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"

using namespace tableaccess;

TViewItem TqlvDocData::MarkItem() {
    TViewItem item;
    item.Caption = FieldText(Marktable, "MarkName");
    item.ID = CurrentID(Marktable);
    item.ImageIndex = docimages::Mark;
    item.SubItems << FieldText(Marktable, "MarkParentName");
    return item;
}

TViewItem TqlvDocData::AddMark(const TMark& mark) {
    const tomedb::TTomeLockScope batch(TomeDB);
    // Appended under whatever filter the table has; a new record joins the
    // shown records and is current after the post.
    Marktable.Append();
    SetFieldText(Marktable, "MarkName", mark.MarkName);
    SetFieldText(Marktable, "MarkContent", mark.MarkContent);
    Marktable.FieldByName("MarkParent").SetAsInteger(mark.MarkParent);
    SetFieldText(Marktable, "MarkParentName", mark.MarkParentName);
    Marktable.FieldByName("MarkPosLine").SetAsInteger(mark.MarkPosLine);
    Marktable.Post();
    return MarkItem();
}

void TqlvDocData::UpdateMark(const TMark& mark, int selectedMarkID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Marktable, selectedMarkID))
        return;
    Marktable.Edit();
    SetFieldText(Marktable, "MarkName", mark.MarkName);
    SetFieldText(Marktable, "MarkContent", mark.MarkContent);
    SetFieldText(Marktable, "MarkParentName", mark.MarkParentName);
    Marktable.Post();
}

void TqlvDocData::RenameMarkParent(int docID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Marktable, QStringLiteral("MarkParent"), docID);
    const int count = Marktable.RecordCount();
    for (int i = 0; i < count; ++i) {
        Marktable.Edit();
        SetFieldText(Marktable, "MarkParentName", name);
        Marktable.Post();
        Marktable.Next();
    }
}

std::optional<TViewItems> TqlvDocData::LoadMarkList(std::optional<int> selectedDocID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!m_opened)
        return std::nullopt;
    if (selectedDocID)
        FilterBy(Marktable, QStringLiteral("MarkParent"), *selectedDocID);
    else
        Unfilter(Marktable);
    Marktable.First();
    TViewItems items;
    const int count = Marktable.RecordCount();
    items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        items.push_back(MarkItem());
        Marktable.Next();
    }
    return items;
}

void TqlvDocData::DeleteMark(int markID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (FindByID(Marktable, markID))
        Marktable.Delete();
}

void TqlvDocData::DeleteDocMarks(int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Marktable, QStringLiteral("MarkParent"), docID);
    DeleteShown(Marktable);
}

bool TqlvDocData::GetMark(int markID, TMark& mark) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Marktable, markID))
        return false;
    mark.MarkName = FieldText(Marktable, "MarkName");
    mark.MarkParentName = FieldText(Marktable, "MarkParentName");
    mark.MarkContent = FieldText(Marktable, "MarkContent");
    mark.MarkPosLine = FieldInt(Marktable, "MarkPosLine");
    return true;
}
