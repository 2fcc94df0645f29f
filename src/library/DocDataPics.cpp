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
    item.Caption = FieldText(Pics(), "PicName");
    item.ID = CurrentID(Pics());
    item.ImageIndex = docimages::Picture;
    item.SubItems << FieldText(Pics(), "PicPath");
    return item;
}

TViewItem TqlvDocData::AddPicture(const QString& fileName, int selectedDocID) {
    // A path cut to the field would name no file: refuse it instead.
    if (ToGB(fileName).size() > kPathFieldSize)
        throw EUserError(QStringLiteral("图片的路径太长（超过255字节），无法插入：\n") + fileName,
                         QStringLiteral("插入图片"), 2);
    const tomedb::TTomeLockScope batch(TomeDB);  // never held while a box waits for the user
    Pics().Append();
    Pics().FieldByName("PicParent").SetAsInteger(selectedDocID);
    SetFieldText(Pics(), "PicName", PictureDisplayName(fileName));
    SetFieldText(Pics(), "PicPath", fileName);
    Pics().Post();
    return PicItem();
}

TViewItems TqlvDocData::LoadPicList(std::optional<int> selectedDocID, bool* clearImage) {
    const tomedb::TTomeLockScope batch(TomeDB);
    TViewItems items;
    if (clearImage)
        *clearImage = !selectedDocID.has_value();
    if (!selectedDocID || !m_opened)
        return items;
    FilterBy(Pics(), QStringLiteral("PicParent"), *selectedDocID);
    const int count = Pics().RecordCount();
    for (int i = 0; i < count; ++i) {
        items.push_back(PicItem());
        Pics().Next();
    }
    return items;
}

QString TqlvDocData::ShowPicture(int selectedPicID) {
    if (!FindByID(Pics(), selectedPicID))
        return QString();
    const QString path = FieldText(Pics(), "PicPath");
    if (!QFileInfo(path).isFile())
        throw EUserError(QStringLiteral("在指定位置没有找到图片，图片可能已删除或重命名！"), QStringLiteral("图片"), 2);
    return path;
}

QList<int> TqlvDocData::DeleteSelectedPics(const QList<int>& selectedPicIDs) {
    const tomedb::TTomeLockScope batch(TomeDB);
    for (int picID : selectedPicIDs)
        if (FindByID(Pics(), picID))
            Pics().Delete();
    return selectedPicIDs;  // every selected item leaves the view
}

void TqlvDocData::DeleteDocPics(int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Pics(), QStringLiteral("PicParent"), docID);
    DeleteShown(Pics());
}

void TqlvDocData::RenamePicture(int picID, const QString& name) {
    const tomedb::TTomeLockScope batch(TomeDB);
    // Looked up unfiltered: another operation (a count during an auto-save)
    // may have refiltered the table since the edited item was listed.
    if (!FindByID(Pics(), picID))
        return;
    Pics().Edit();
    SetFieldText(Pics(), "PicName", name);
    Pics().Post();
}

void TqlvDocData::AddDocPicsToZip(TZipFileList& zip, int docID) {
    const tomedb::TTomeLockScope batch(TomeDB);
    FilterBy(Pics(), QStringLiteral("PicParent"), docID);
    const int count = Pics().RecordCount();
    for (int i = 0; i < count; ++i) {
        zip.AddFile(FieldText(Pics(), "PicPath"));
        Pics().Next();
    }
}
