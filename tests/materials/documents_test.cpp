// The materials store Documents.tdb: creation on first start, folders,
// materials, compaction.
#include "materials/TqlvDocuments.h"

#include "platform/AppPaths.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <QFileInfo>

namespace {

QStringList Captions(const TViewNode& node) {
    QStringList out;
    for (const TViewNode& child : node.Children)
        out << child.Caption;
    return out;
}

QStringList Captions(const TViewItems& items) {
    QStringList out;
    for (const TViewItem& item : items)
        out << item.Caption;
    return out;
}

class DocumentsTest : public ::testing::Test {
protected:
    TTempHome home;
    TqlvDocuments store;
};

TEST_F(DocumentsTest, FirstStartCreatesAnEmptyStore) {
    EXPECT_EQ(store.FileName(), home.Path() + "Documents.tdb");
    EXPECT_TRUE(QFileInfo::exists(store.FileName()));
    const TViewNode root = store.LoadFolderTree();
    EXPECT_EQ(root.Caption, QStringLiteral("资料夹"));
    EXPECT_EQ(root.ID, 0);
    EXPECT_TRUE(root.Selected);
    EXPECT_TRUE(root.Expanded);
    EXPECT_TRUE(root.Children.empty());
    EXPECT_TRUE(store.LoadDocList(0).empty());
    // Both tables, as another reader of the file sees them, have the ID as primary key.
    for (const char* name : {"Docs", "DocFolder"}) {
        tomedb::TTomeTable table;
        table.SetDatabaseName(store.FileName().toStdString());
        table.SetTableName(name);
        table.Open();
        ASSERT_FALSE(table.IndexDefs().empty()) << name;
        EXPECT_EQ(table.IndexDefs()[0].Fields, "ID");
        EXPECT_NE(table.IndexDefs()[0].Options & tomedb::ixPrimary, 0u);
        table.Close();
    }
}

TEST_F(DocumentsTest, NewMaterialIsEmptyAndSavedTextRoundTrips) {
    const TViewItem item = store.NewDoc(0);
    EXPECT_EQ(item.Caption, QStringLiteral("新建资料"));
    EXPECT_EQ(item.ImageIndex, 11);
    EXPECT_TRUE(item.SubItems.isEmpty());
    EXPECT_TRUE(item.EditInPlace);
    EXPECT_TRUE(store.LoadDocText(item.ID).isEmpty());
    const QString text = QStringLiteral("第一段。\r\nSecond line 𠀀\r\n");
    store.SaveDocText(item.ID, text);
    EXPECT_EQ(store.LoadDocText(item.ID), text);
    store.RenameSelectedDoc(item.ID, QStringLiteral("引文"));
    TDocAttr attr;
    store.GetDoc(item.ID, attr);
    EXPECT_EQ(attr.DocName, QStringLiteral("引文"));
    EXPECT_EQ(attr.Txt, text);
    EXPECT_TRUE(store.LoadDocText(999).isEmpty());
}

TEST_F(DocumentsTest, CompactionKeepsMaterials) {
    TDocAttr attr;
    attr.DocName = QStringLiteral("导入资料");
    attr.Txt = QString(5000, QChar(0x5B57));
    const int id = store.AddDoc(store.AddFolder(0, "f"), attr);
    EXPECT_TRUE(store.CompressDocuments());
    EXPECT_EQ(store.LoadDocText(id), attr.Txt);
    EXPECT_EQ(Captions(store.LoadFolderTree()), QStringList{"f"});
}

TEST(DocumentsStore, ExistingStoreIsOpenedNotRecreated) {
    TTempHome home;
    int id = 0;
    {
        TqlvDocuments first;
        TDocAttr attr;
        attr.DocName = QStringLiteral("留存");
        attr.Txt = QStringLiteral("内容");
        id = first.AddDoc(0, attr);
    }
    TqlvDocuments second;
    EXPECT_EQ(Captions(second.LoadDocList(0)), QStringList{QStringLiteral("留存")});
    EXPECT_EQ(second.LoadDocText(id), QStringLiteral("内容"));
}

TEST_F(DocumentsTest, DeleteFolderRemovesExactlyItsSubtreeAndMaterials) {
    const int doomed = store.AddFolder(0, "doomed");
    const int inner = store.AddFolder(doomed, "inner");
    const int deepest = store.AddFolder(inner, "deepest");
    const int later = store.AddFolder(0, "later");
    const int laterChild = store.AddFolder(later, "later child");
    for (int folder : {doomed, inner, deepest, later, laterChild, 0}) {
        TDocAttr attr;
        attr.DocName = QString::number(folder);
        store.AddDoc(folder, attr);
    }
    store.DeleteFolder(doomed);
    const TViewNode root = store.LoadFolderTree();
    EXPECT_EQ(Captions(root), QStringList{"later"});
    EXPECT_EQ(Captions(root.Children[0]), QStringList{"later child"});
    for (int folder : {doomed, inner, deepest})
        EXPECT_TRUE(store.LoadDocList(folder).empty());
    EXPECT_EQ(Captions(store.LoadDocList(later)), QStringList{QString::number(later)});
    EXPECT_EQ(Captions(store.LoadDocList(laterChild)), QStringList{QString::number(laterChild)});
    EXPECT_EQ(Captions(store.LoadDocList(0)), QStringList{"0"});
}

TEST_F(DocumentsTest, FolderNewRenameMove) {
    const TViewNode made = store.NewFolder(0);
    EXPECT_EQ(made.Caption, QStringLiteral("新建资料夹"));
    EXPECT_TRUE(made.EditInPlace && made.Selected);
    const TViewNode child = store.NewFolder(made.ID);
    store.RenameFolder(child.ID, QStringLiteral("人物"));
    const int other = store.AddFolder(0, "other");
    store.MoveFolder(made.ID, other);
    const TViewNode root = store.LoadFolderTree();
    EXPECT_EQ(Captions(root), QStringList{"other"});
    EXPECT_EQ(Captions(root.Children[0]), QStringList{QStringLiteral("新建资料夹")});
    EXPECT_EQ(Captions(root.Children[0].Children[0]), QStringList{QStringLiteral("人物")});
}

TEST_F(DocumentsTest, MoveAndDeleteSelectedMaterials) {
    const int target = store.AddFolder(0, "target");
    const int a = store.NewDoc(0).ID;
    const int b = store.NewDoc(0).ID;
    const int c = store.NewDoc(0).ID;
    for (int id : {a, b})
        store.MoveDoc(id, target);
    EXPECT_EQ(store.LoadDocList(target).size(), 2u);
    EXPECT_EQ(store.LoadDocList(0).size(), 1u);
    EXPECT_EQ(store.DeleteSelectedDocs({a, 555, c}), (QList<int>{a, c}));
    EXPECT_EQ(store.LoadDocList(target).size(), 1u);
    EXPECT_TRUE(store.LoadDocList(0).empty());
}

}  // namespace
