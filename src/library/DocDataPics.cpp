// TqlvDocData: picture references (table Pics). The files themselves stay
// where the user keeps them; only their paths are stored.
#include "library/TqlvDocData.h"

#include "library/TableAccess.h"
#include "library/UserError.h"

#include <QFileInfo>

using namespace tableaccess;

namespace {
constexpr int kPathFieldSize = 255;
}

QString TqlvDocData::PictureDisplayName(const QString& fileName) {
    QString name = fileName;
    const qsizetype slash = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    name = name.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

TViewItem TqlvDocData::PicItem() {
    TViewItem item;
    item.Caption = FieldText(Pictable, "PicName");
    item.ID = CurrentID(Pictable);
    item.ImageIndex = docimages::Picture;
    item.SubItems << FieldText(Pictable, "PicPath");
    return item;
}

TViewItem TqlvDocData::AddPicture(const QString& fileName, int selectedDocID) {
    // A path cut to the field would name no file: refuse it instead.
    if (ToGB(fileName).size() > kPathFieldSize)
        throw EUserError(QStringLiteral("图片的路径太长（超过255字节），无法插入：\n") + fileName,
                         QStringLiteral("插入图片"), 2);
    const tomedb::TTomeLockScope batch(TomeDB);  // never held while a box waits for the user
    Pictable.Append();
    Pictable.FieldByName("PicParent").SetAsInteger(selectedDocID);
    SetFieldText(Pictable, "PicName", PictureDisplayName(fileName));
    SetFieldText(Pictable, "PicPath", fileName);
    Pictable.Post();
    return PicItem();
}

TViewItems TqlvDocData::LoadPicList(std::optional<int> selectedDocID, bool* clearImage) {
    const tomedb::TTomeLockScope batch(TomeDB);
    TViewItems items;
    if (clearImage)
        *clearImage = !selectedDocID.has_value();
    if (!selectedDocID || !m_opened)
        return items;
    FilterBy(Pictable, QStringLiteral("PicParent"), *selectedDocID);
    const int count = Pictable.RecordCount();
    for (int i = 0; i < count; ++i) {
        items.push_back(PicItem());
        Pictable.Next();
    }
    return items;
}

QString TqlvDocData::ShowPicture(int selectedPicID) {
    if (!FindByID(Pictable, selectedPicID))
        return QString();
    const QString path = FieldText(Pictable, "PicPath");
    if (!QFileInfo(path).isFile())
        throw EUserError(QStringLiteral("在指定位置没有找到图片，图片可能已删除或重命名！"), QStringLiteral("图片"), 2);
    return path;
}

QList<int> TqlvDocData::DeleteSelectedPics(const QList<int>& selectedPicIDs) {
    const tomedb::TTomeLockScope batch(TomeDB);
    for (int picID : selectedPicIDs)
        if (FindByID(Pictable, picID))
            Pictable.Delete();
    return selectedPicIDs;  // every selected item leaves the view
}

void TqlvDocData::DeleteDocPics(int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Pictable, QStringLiteral("PicParent"), docID);
    DeleteShown(Pictable);
}

void TqlvDocData::RenamePicture(int picID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    // Looked up unfiltered: another operation (a count during an auto-save)
    // may have refiltered the table since the edited item was listed.
    if (!FindByID(Pictable, picID))
        return;
    Pictable.Edit();
    SetFieldText(Pictable, "PicName", name);
    Pictable.Post();
}

void TqlvDocData::AddDocPicsToZip(TZipFileList& zip, int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Pictable, QStringLiteral("PicParent"), docID);
    const int count = Pictable.RecordCount();
    for (int i = 0; i < count; ++i) {
        zip.AddFile(FieldText(Pictable, "PicPath"));
        Pictable.Next();
    }
}
