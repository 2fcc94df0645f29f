// Folders, manuscripts, marks and pictures of an open library.
#include "LibraryFixture.h"

#include "library/TableAccess.h"
#include "tomedb/TomeDB.h"

#include <QDir>
#include <QFile>

namespace {

double TodayValue() { return tomedb::Today(); }

// ---- folders ------------------------------------------------------------------

TEST_F(LibraryTest, EmptyLibraryShowsOnlyTheSelectedExpandedRoot) {
    const TViewNode root = data.LoadFolderTree();
    EXPECT_EQ(root.Caption, QStringLiteral("稿件夹"));
    EXPECT_EQ(root.ID, 0);
    EXPECT_TRUE(root.Selected);
    EXPECT_TRUE(root.Expanded);
    EXPECT_EQ(root.ImageIndex, 6);
    EXPECT_EQ(root.SelectedIndex, 7);
    EXPECT_TRUE(root.Children.empty());
}

TEST_F(LibraryTest, ThreeLevelsLoadInCreationOrderWithOnlyTheRootExpanded) {
    const int a = data.AddFolder(0, "A");
    const int b = data.AddFolder(0, "B");
    const int a1 = data.AddFolder(a, "A1");
    data.AddFolder(a1, "A1x");
    data.AddFolder(a, "A2");
    data.AddFolder(b, "B1");
    const TViewNode root = data.LoadFolderTree();
    EXPECT_EQ(Captions(root), (QStringList{"A", "B"}));
    EXPECT_EQ(Captions(root.Children[0]), (QStringList{"A1", "A2"}));
    EXPECT_EQ(Captions(root.Children[0].Children[0]), QStringList{"A1x"});
    EXPECT_EQ(Captions(root.Children[1]), QStringList{"B1"});
    EXPECT_EQ(root.Children[0].Children[0].ID, a1);
    EXPECT_FALSE(root.Children[0].Expanded);
    EXPECT_FALSE(root.Children[0].Selected);
    EXPECT_EQ(root.Children[0].Children[0].Children[0].ImageIndex, 6);
}

TEST_F(LibraryTest, NewFolderGetsTheSelectedNodeAsParent) {
    const TViewNode top = data.NewFolder(0);
    EXPECT_EQ(top.Caption, QStringLiteral("新建稿件夹"));
    EXPECT_TRUE(top.Selected);
    EXPECT_TRUE(top.EditInPlace);
    const TViewNode inner = data.NewFolder(top.ID);
    EXPECT_NE(inner.ID, top.ID);
    const TViewNode root = data.LoadFolderTree();
    ASSERT_EQ(root.Children.size(), 1u);
    EXPECT_EQ(root.Children.at(0).ID, top.ID);
    ASSERT_EQ(root.Children.at(0).Children.size(), 1u);
    EXPECT_EQ(root.Children.at(0).Children.at(0).ID, inner.ID);
    data.RenameFolder(inner.ID, QStringLiteral("第一章"));
    EXPECT_EQ(data.LoadFolderTree().Children.at(0).Children.at(0).Caption, QStringLiteral("第一章"));
    data.RenameFolder(999, "nobody");  // unknown key: nothing happens
}

TEST_F(LibraryTest, MovedFolderTakesItsSubtree) {
    const int a = data.AddFolder(0, "A");
    const int b = data.AddFolder(0, "B");
    const int a1 = data.AddFolder(a, "A1");
    const int doc = NewDocNamed(a1, "in A1");
    data.MoveFolder(a, b);
    const TViewNode root = data.LoadFolderTree();
    EXPECT_EQ(Captions(root), QStringList{"B"});
    EXPECT_EQ(Captions(root.Children[0]), QStringList{"A"});
    EXPECT_EQ(Captions(root.Children[0].Children[0]), QStringList{"A1"});
    EXPECT_EQ(IDs(data.LoadDocList(a1)), QList<int>{doc});
    data.MoveFolder(a, 0);
    EXPECT_EQ(Captions(data.LoadFolderTree()), (QStringList{"A", "B"}));
}

TEST_F(LibraryTest, DeleteFolderRemovesExactlyItsSubtree) {
    const int doomed = data.AddFolder(0, "doomed");
    const int d1 = data.AddFolder(doomed, "d1");
    const int d2 = data.AddFolder(d1, "d2");
    const int later = data.AddFolder(0, "later");
    const int l1 = data.AddFolder(later, "l1");
    QList<int> goneDocs;
    for (int folder : {doomed, d1, d2}) {
        const int doc = NewDocNamed(folder, "x");
        AddMarkTo(doc, "m");
        data.AddPicture("/pics/in.jpg", doc);
        goneDocs << doc;
    }
    const int keptDoc = NewDocNamed(l1, "kept");
    const int rootDoc = NewDocNamed(0, "root doc");
    AddMarkTo(keptDoc, "kept mark");
    data.AddPicture("/pics/kept.jpg", keptDoc);
    data.AddPicture("/pics/root.jpg", rootDoc);

    data.DeleteFolder(doomed);

    const TViewNode root = data.LoadFolderTree();
    EXPECT_EQ(Captions(root), QStringList{"later"});
    EXPECT_EQ(Captions(root.Children[0]), QStringList{"l1"});
    for (int folder : {doomed, d1, d2})
        EXPECT_TRUE(data.LoadDocList(folder).empty());
    EXPECT_EQ(IDs(data.LoadDocList(l1)), QList<int>{keptDoc});
    EXPECT_EQ(IDs(data.LoadDocList(0)), QList<int>{rootDoc});
    EXPECT_EQ(Captions(*data.LoadMarkList(std::nullopt)), QStringList{"kept mark"});
    EXPECT_EQ(data.GetPicCount(keptDoc), "1");
    EXPECT_EQ(data.GetPicCount(rootDoc), "1");
    for (int doc : goneDocs)
        EXPECT_EQ(data.GetPicCount(doc), "0");
    TDBAttr attr;
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.PicCount, "2");
    EXPECT_EQ(attr.FolderCount, "2");
}

TEST_F(LibraryTest, DeleteFolderWithMoreManuscriptsThanOneFilterHolds) {
    const int big = data.AddFolder(0, "big");
    const int keep = data.AddFolder(0, "keep");
    const int kept = NewDocNamed(keep, "kept");
    AddMarkTo(kept, "kept mark");
    for (int i = 0; i < 300; ++i) {
        const int doc = data.AddDoc(big, Imported(QString::number(i), QString()));
        AddMarkTo(doc, "m");
    }
    data.DeleteFolder(big);
    TDBAttr attr;
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.DocCount, "1");
    EXPECT_EQ(attr.MarkCount, "1");
    EXPECT_EQ(attr.FolderCount, "1");
}

TEST_F(LibraryTest, DeleteEmptyFolderRemovesOnlyItsRecord) {
    const int a = data.AddFolder(0, "A");
    const int empty = data.AddFolder(a, "empty");
    const int doc = NewDocNamed(a, "stays");
    data.DeleteFolder(empty);
    EXPECT_EQ(Captions(data.LoadFolderTree().Children.at(0)), QStringList{});
    EXPECT_EQ(IDs(data.LoadDocList(a)), QList<int>{doc});
    data.DeleteFolder(0);  // the root is never deleted
    EXPECT_EQ(Captions(data.LoadFolderTree()), QStringList{"A"});
}

// ---- manuscripts ------------------------------------------------------------------

TEST_F(LibraryTest, NewManuscriptValues) {
    const int folder = data.AddFolder(0, "f");
    const TViewItem item = data.NewDoc(folder);
    EXPECT_EQ(item.Caption, QStringLiteral("新建稿件"));
    EXPECT_EQ(item.SubItems, (QStringList{"0", "0"}));
    EXPECT_EQ(item.ImageIndex, 9);
    EXPECT_TRUE(item.EditInPlace);
    const TViewItems listed = data.LoadDocList(folder);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].ID, item.ID);
    EXPECT_EQ(listed[0].SubItems, (QStringList{"0", "0"}));
    TDocAttr attr;
    data.GetDocAttr(item.ID, attr);
    EXPECT_EQ(attr.Publish, QStringLiteral("未发表"));
    EXPECT_EQ(attr.Money, "0");
    EXPECT_EQ(attr.DocSize, "0");
    EXPECT_EQ(attr.DocCDate, TodayValue());
    EXPECT_EQ(attr.DocMDate, TodayValue());
    EXPECT_TRUE(attr.Txt.isEmpty());
}

TEST_F(LibraryTest, SaveStoresTextAndCountersOnlyAndTwiceChangesNothingElse) {
    const int doc = NewDocNamed(0, QStringLiteral("长篇"));
    TDocAttr edited;
    edited.DocName = "ignored";
    edited.Publish = QStringLiteral("人民文学");
    edited.Money = "300";
    data.SetDocAttr(doc, edited);
    TDocAttr save = Saved("12", "5", "1", QStringLiteral("第一行\r\nabc"));
    data.SaveDoc(doc, save);
    TDocAttr first;
    data.GetDocAttr(doc, first);
    save.Txt = QStringLiteral("第二稿");
    save.DocSize = "6";
    data.SaveDoc(doc, save);
    TDocAttr second;
    data.GetDocAttr(doc, second);
    EXPECT_EQ(first.Txt, QStringLiteral("第一行\r\nabc"));
    EXPECT_EQ(second.Txt, QStringLiteral("第二稿"));
    EXPECT_EQ(second.DocSize, "6");
    EXPECT_EQ(second.cnCount, "5");
    EXPECT_EQ(second.DocName, "ignored");
    EXPECT_EQ(second.Publish, QStringLiteral("人民文学"));
    EXPECT_EQ(second.Money, "300");
    EXPECT_EQ(second.DocCDate, first.DocCDate);
    EXPECT_EQ(second.DocMDate, TodayValue());
}

TEST_F(LibraryTest, SaveAfterAMarkCountsMarksAndPictures) {
    const int doc = NewDocNamed(0, "d");
    const int other = NewDocNamed(0, "o");
    AddMarkTo(doc, "m1");
    AddMarkTo(other, "elsewhere");
    AddMarkTo(doc, "m2");
    data.AddPicture("/p/a.png", doc);
    data.UpdateDocCounts(doc);
    EXPECT_EQ(data.LoadDocList(0)[0].SubItems, (QStringList{"1", "2"}));
    data.DeleteMark(AddMarkTo(doc, "m3"));
    data.SaveDoc(doc, Saved("0", "0", "0"));
    TDocAttr attr;
    data.GetDocAttr(doc, attr);
    EXPECT_EQ(attr.MarkCount, "2");
    EXPECT_EQ(attr.PicCount, "1");
}

TEST_F(LibraryTest, DeleteThreeSelectedManuscriptsWithTheirMarksAndPictures) {
    QList<int> docs;
    for (int i = 0; i < 5; ++i) {
        docs << NewDocNamed(0, QString::number(i));
        AddMarkTo(docs.last(), QStringLiteral("mark%1").arg(i));
        data.AddPicture(QStringLiteral("/p/%1.jpg").arg(i), docs.last());
    }
    const QList<int> selected{docs[0], 4242, docs[2], docs[4]};  // 4242: record already gone
    EXPECT_EQ(data.DeleteSelectedDocs(selected), (QList<int>{docs[0], docs[2], docs[4]}));
    EXPECT_EQ(IDs(data.LoadDocList(0)), (QList<int>{docs[1], docs[3]}));
    EXPECT_EQ(Captions(*data.LoadMarkList(std::nullopt)), (QStringList{"mark1", "mark3"}));
    TDBAttr attr;
    data.GetDocDataAttr(attr);
    EXPECT_EQ(attr.PicCount, "2");
    EXPECT_EQ(attr.DocCount, "2");
    EXPECT_TRUE(data.DeleteSelectedDocs({}).isEmpty());
}

TEST_F(LibraryTest, ImportedManuscriptHasEmptyCountsAndDayZeroUntilSaved) {
    const int doc = data.AddDoc(0, Imported(QStringLiteral("导入"), QStringLiteral("导入的正文")));
    const TViewItems items = data.LoadDocList(0);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].Caption, QStringLiteral("导入"));
    EXPECT_EQ(items[0].SubItems, (QStringList{"", ""}));
    TDocAttr attr;
    data.GetDocAttr(doc, attr);
    EXPECT_EQ(attr.DocCDate, 0);
    EXPECT_EQ(attr.DocMDate, 0);
    EXPECT_TRUE(attr.DocSize.isEmpty());
    EXPECT_TRUE(attr.Money.isEmpty());
    EXPECT_EQ(attr.Txt, QStringLiteral("导入的正文"));
    data.SaveDoc(doc, Saved("10", "5", "0", attr.Txt));
    data.GetDocAttr(doc, attr);
    EXPECT_EQ(attr.DocCDate, 0);
    EXPECT_EQ(attr.DocMDate, TodayValue());
    EXPECT_EQ(data.LoadDocList(0)[0].SubItems, (QStringList{"0", "0"}));
}

TEST_F(LibraryTest, NamesAreCutOnACharacterBoundary) {
    const int doc = NewDocNamed(0, QString(200, QChar(0x4E2D)));  // 400 bytes of 中
    TDocAttr attr;
    data.GetDocAttr(doc, attr);
    EXPECT_EQ(attr.DocName, QString(127, QChar(0x4E2D)));
}

TEST_F(LibraryTest, MoveAndRenameManuscript) {
    const int folder = data.AddFolder(0, "f");
    const int doc = NewDocNamed(0, "old");
    data.MoveDoc(doc, folder);
    EXPECT_TRUE(data.LoadDocList(0).empty());
    EXPECT_EQ(Captions(data.LoadDocList(folder)), QStringList{"old"});
    data.RenameSelectedDoc(doc, QStringLiteral("新名"));
    EXPECT_EQ(Captions(data.LoadDocList(folder)), QStringList{QStringLiteral("新名")});
    EXPECT_TRUE(data.LoadDocText(31337).isEmpty());
}

// ---- marks --------------------------------------------------------------------

TEST_F(LibraryTest, MarkListWithAndWithoutSelection) {
    const int a = NewDocNamed(0, "a");
    const int b = NewDocNamed(0, "b");
    const TViewItem first = data.AddMark(TMark{"一", "稿件a", "note", a, 3});
    AddMarkTo(b, "二");
    AddMarkTo(a, "三");
    EXPECT_EQ(first.Caption, QStringLiteral("一"));
    EXPECT_EQ(first.ImageIndex, 15);
    EXPECT_EQ(first.SubItems, QStringList{QStringLiteral("稿件a")});
    EXPECT_EQ(Captions(*data.LoadMarkList(a)), (QStringList{"一", "三"}));
    EXPECT_EQ(Captions(*data.LoadMarkList(std::nullopt)), (QStringList{"一", "二", "三"}));
    TMark read;
    ASSERT_TRUE(data.GetMark(first.ID, read));
    EXPECT_EQ(read.MarkContent, "note");
    EXPECT_EQ(read.MarkPosLine, 3);
    EXPECT_FALSE(data.GetMark(9999, read));
}

TEST_F(LibraryTest, LongNoteIsStoredAsItsFirst255BytesOnACharacterBoundary) {
    const int doc = NewDocNamed(0, "d");
    const QString note = QStringLiteral("a") + QString(150, QChar(0x6587));  // 1 + 300 bytes
    const int mark = data.AddMark(TMark{"m", "d", note, doc, 1}).ID;
    TMark read;
    ASSERT_TRUE(data.GetMark(mark, read));
    EXPECT_EQ(read.MarkContent, note.left(1 + 127));  // 255 bytes, no half character
}

TEST_F(LibraryTest, UpdateMarkAndRenameMarkParent) {
    const int doc = NewDocNamed(0, "d");
    const int m1 = AddMarkTo(doc, "m1", 4);
    AddMarkTo(doc, "m2");
    TMark changed{"新名", "parent", "新内容", 777, 99};
    data.UpdateMark(changed, m1);
    TMark read;
    data.GetMark(m1, read);
    EXPECT_EQ(read.MarkName, QStringLiteral("新名"));
    EXPECT_EQ(read.MarkContent, QStringLiteral("新内容"));
    EXPECT_EQ(read.MarkPosLine, 4);
    data.RenameMarkParent(doc, QStringLiteral("改名稿件"));
    const TViewItems marks = *data.LoadMarkList(doc);
    ASSERT_EQ(marks.size(), 2u);
    for (const TViewItem& item : marks)
        EXPECT_EQ(item.SubItems, QStringList{QStringLiteral("改名稿件")});
}

TEST_F(LibraryTest, AttributeRenameKeepsMarkParentNameAndDeletedMarkKeepsCount) {
    const int doc = NewDocNamed(0, QStringLiteral("旧名"));
    TMark mark{"m", QStringLiteral("旧名"), "", doc, 1};
    data.AddMark(mark);
    const int gone = data.AddMark(mark).ID;
    data.UpdateDocCounts(doc);
    TDocAttr attr;
    data.GetDocAttr(doc, attr);
    attr.DocName = QStringLiteral("新名");
    data.SetDocAttr(doc, attr);
    EXPECT_EQ(data.LoadMarkList(doc)->at(0).SubItems, QStringList{QStringLiteral("旧名")});
    data.DeleteMark(gone);
    EXPECT_EQ(data.LoadDocList(0).at(0).SubItems, (QStringList{"0", "2"}));
    data.SaveDoc(doc, Saved("0", "0", "0"));
    EXPECT_EQ(data.LoadDocList(0).at(0).SubItems, (QStringList{"0", "1"}));
}

// ---- pictures ------------------------------------------------------------------

struct PicNameCase {
    const char* path;
    const char* name;
};

class PictureNames : public ::testing::TestWithParam<PicNameCase> {};

TEST_P(PictureNames, DisplayName) {
    EXPECT_EQ(TqlvDocData::PictureDisplayName(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Names, PictureNames,
                         ::testing::Values(PicNameCase{"C:\\图\\封面.jpg", "封面"},
                                           PicNameCase{"/home/u/图/封面.jpg", "封面"},
                                           PicNameCase{"/home/u/README", "README"},
                                           PicNameCase{"/a/b.c/noext", "noext"},
                                           PicNameCase{"/a/archive.tar.gz", "archive.tar"}));

TEST_F(LibraryTest, SameFileTwiceGivesTwoRecordsAndRenameKeepsPath) {
    const int doc = NewDocNamed(0, "d");
    const QString path = Path(QStringLiteral("封面.jpg"));
    const auto first = data.AddPicture(path, doc);
    const auto second = data.AddPicture(path, doc);
    EXPECT_NE(first.ID, second.ID);
    EXPECT_EQ(first.Caption, QStringLiteral("封面"));
    EXPECT_EQ(first.ImageIndex, 10);
    EXPECT_EQ(first.SubItems, QStringList{path});
    data.RenamePicture(second.ID, QStringLiteral("封底"));
    const TViewItems listed = data.LoadPicList(doc);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].Caption, QStringLiteral("封底"));
    EXPECT_EQ(listed[1].SubItems, QStringList{path});
}

TEST_F(LibraryTest, PictureListWithoutSelectionEmptiesListAndPreview) {
    const int doc = NewDocNamed(0, "d");
    data.AddPicture("/p/x.gif", doc);
    bool clear = false;
    EXPECT_EQ(data.LoadPicList(doc, &clear).size(), 1u);
    EXPECT_FALSE(clear);
    EXPECT_TRUE(data.LoadPicList(std::nullopt, &clear).empty());
    EXPECT_TRUE(clear);
}

TEST_F(LibraryTest, ShowPictureReportsAMissingFile) {
    const int doc = NewDocNamed(0, "d");
    const QString path = Path("p.bmp");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const int pic = data.AddPicture(path, doc).ID;
    EXPECT_EQ(data.ShowPicture(pic), path);
    ASSERT_TRUE(QFile::rename(path, Path("moved.bmp")));
    QString caption;
    int icon = 0;
    EXPECT_EQ(UserErrorOf([&] { data.ShowPicture(pic); }, &caption, &icon),
              QStringLiteral("在指定位置没有找到图片，图片可能已删除或重命名！"));
    EXPECT_EQ(caption, QStringLiteral("图片"));
    EXPECT_EQ(icon, 2);
}

TEST_F(LibraryTest, DeleteSelectedPicturesKeepsTheFiles) {
    const int doc = NewDocNamed(0, "d");
    QList<int> pics;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        pics << data.AddPicture(Path(name), doc).ID;
    }
    EXPECT_EQ(data.DeleteSelectedPics({pics[0], pics[2]}), (QList<int>{pics[0], pics[2]}));
    EXPECT_EQ(IDs(data.LoadPicList(doc)), QList<int>{pics[1]});
    EXPECT_TRUE(QFile::exists(Path("a.jpg")));
    EXPECT_TRUE(QFile::exists(Path("c.jpg")));
}

TEST_F(LibraryTest, TooLongPicturePathIsRefusedNotCut) {
    const int doc = NewDocNamed(0, "d");
    const QString longPath = QStringLiteral("/图片/") + QString(130, QChar(0x56FE)) + ".jpg";
    QString caption;
    EXPECT_TRUE(
        UserErrorOf([&] { data.AddPicture(longPath, doc); }, &caption).startsWith(QStringLiteral("图片的路径太长")));
    EXPECT_EQ(caption, QStringLiteral("插入图片"));
    EXPECT_EQ(data.GetPicCount(doc), "0");
    const QString fits = QStringLiteral("/") + QString(125, QChar(0x56FE)) + ".jpg";  // 255 bytes
    EXPECT_GT(data.AddPicture(fits, doc).ID, 0);
    EXPECT_EQ(data.LoadPicList(doc).at(0).SubItems, QStringList{fits});
}

TEST_F(LibraryTest, PicturesOfAManuscriptGoToTheZipList) {
    const int doc = NewDocNamed(0, "d");
    const int other = NewDocNamed(0, "o");
    data.AddPicture("/gone/a.jpg", doc);
    data.AddPicture("/p/x.jpg", other);
    data.AddPicture("/gone/b.png", doc);
    TPathList zip;
    data.AddDocPicsToZip(zip, doc);
    EXPECT_EQ(zip.Paths, (QStringList{"/gone/a.jpg", "/gone/b.png"}));
}

}  // namespace
