// TqlvDocData: marks (table DocMark).
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"

using namespace tableaccess;

TViewItem TqlvDocData::MarkItem() {
    TViewItem item;
    item.Caption = FieldText(Marks(), "MarkName");
    item.ID = CurrentID(Marks());
    item.ImageIndex = docimages::Mark;
    item.SubItems << FieldText(Marks(), "MarkParentName");
    return item;
}

TViewItem TqlvDocData::AddMark(const TMark& mark) {
    const tomedb::TTomeLockScope batch(TomeDB);
    // Appended under whatever filter the table has; a new record joins the
    // shown records and is current after the post.
    Marks().Append();
    SetFieldText(Marks(), "MarkName", mark.MarkName);
    SetFieldText(Marks(), "MarkContent", mark.MarkContent);
    Marks().FieldByName("MarkParent").SetAsInteger(mark.MarkParent);
    SetFieldText(Marks(), "MarkParentName", mark.MarkParentName);
    Marks().FieldByName("MarkPosLine").SetAsInteger(mark.MarkPosLine);
    Marks().Post();
    return MarkItem();
}

void TqlvDocData::UpdateMark(const TMark& mark, int selectedMarkID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Marks(), selectedMarkID))
        return;
    Marks().Edit();
    SetFieldText(Marks(), "MarkName", mark.MarkName);
    SetFieldText(Marks(), "MarkContent", mark.MarkContent);
    SetFieldText(Marks(), "MarkParentName", mark.MarkParentName);
    Marks().Post();
}

void TqlvDocData::RenameMarkParent(int docID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Marks(), QStringLiteral("MarkParent"), docID);
    const int count = Marks().RecordCount();
    for (int i = 0; i < count; ++i) {
        Marks().Edit();
        SetFieldText(Marks(), "MarkParentName", name);
        Marks().Post();
        Marks().Next();
    }
}

std::optional<TViewItems> TqlvDocData::LoadMarkList(std::optional<int> selectedDocID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!m_opened)
        return std::nullopt;
    if (selectedDocID)
        FilterBy(Marks(), QStringLiteral("MarkParent"), *selectedDocID);
    else
        Unfilter(Marks());
    Marks().First();
    TViewItems items;
    const int count = Marks().RecordCount();
    items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        items.push_back(MarkItem());
        Marks().Next();
    }
    return items;
}

void TqlvDocData::DeleteMark(int markID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (FindByID(Marks(), markID))
        Marks().Delete();
}

void TqlvDocData::DeleteDocMarks(int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Marks(), QStringLiteral("MarkParent"), docID);
    DeleteShown(Marks());
}

bool TqlvDocData::GetMark(int markID, TMark& mark) {
    const tomedb::TTomeLockScope batch(TomeDB);
    if (!FindByID(Marks(), markID))
        return false;
    mark.MarkName = FieldText(Marks(), "MarkName");
    mark.MarkParentName = FieldText(Marks(), "MarkParentName");
    mark.MarkContent = FieldText(Marks(), "MarkContent");
    mark.MarkPosLine = FieldInt(Marks(), "MarkPosLine");
    return true;
}
