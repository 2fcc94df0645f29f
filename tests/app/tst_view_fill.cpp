// The window's trees and lists filled from the data layers' view records (caption, ID in Qt::UserRole, image in
// Qt::UserRole + 1, sub-items in the following columns, root selected and expanded).
#include "app/ViewFill.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "support/TempHome.h"

#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

class TestViewFill : public QObject {
    Q_OBJECT

private slots:
    void folderTreeFillsRootAndChildren() {
        QTemporaryDir dir;
        TqlvDocData data;
        QString file;
        QVERIFY(data.CreateDocData(dir.path() + "/w", {}, {}, true, false, false, 2, &file));
        QVERIFY(data.OpenDocData(file));
        const int a = data.AddFolder(0, QStringLiteral("甲"));
        data.AddFolder(a, QStringLiteral("乙"));
        QTreeWidget tree;
        tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
        FillTreeWidget(&tree, data.LoadFolderTree());
        QCOMPARE(tree.topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree.topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("稿件夹"));
        QCOMPARE(root->data(0, Qt::UserRole).toInt(), 0);
        QCOMPARE(tree.currentItem(), root);
        QVERIFY(root->isExpanded());
        QCOMPARE(root->child(0)->data(0, Qt::UserRole).toInt(), a);
        QVERIFY(!root->child(0)->isExpanded());
        QCOMPARE(root->child(0)->child(0)->text(0), QStringLiteral("乙"));
        QCOMPARE(root->child(0)->data(0, Qt::UserRole + 1).toInt(), 6);
    }

    void docListFillsCountColumns() {
        QTemporaryDir dir;
        TqlvDocData data;
        QString file;
        QVERIFY(data.CreateDocData(dir.path() + "/w", {}, {}, true, false, false, 2, &file));
        QVERIFY(data.OpenDocData(file));
        const int doc = data.NewDoc(0).ID;
        QTreeWidget list;
        list.setColumnCount(3);
        FillListWidget(&list, data.LoadDocList(0));
        QCOMPARE(list.topLevelItemCount(), 1);
        QCOMPARE(list.topLevelItem(0)->text(0), QStringLiteral("新建稿件"));
        QCOMPARE(list.topLevelItem(0)->text(1), QStringLiteral("0"));
        QCOMPARE(list.topLevelItem(0)->text(2), QStringLiteral("0"));
        QCOMPARE(list.topLevelItem(0)->data(0, Qt::UserRole).toInt(), doc);
    }

    void materialsTree() {
        TTempHome home;
        TqlvDocuments store;
        store.AddFolder(0, QStringLiteral("资料一"));
        QTreeWidget tree;
        FillTreeWidget(&tree, store.LoadFolderTree());
        QCOMPARE(tree.topLevelItem(0)->text(0), QStringLiteral("资料夹"));
        QCOMPARE(tree.topLevelItem(0)->child(0)->text(0), QStringLiteral("资料一"));
        QTreeWidget list;
        store.NewDoc(0);
        FillListWidget(&list, store.LoadDocList(0));
        QCOMPARE(list.topLevelItem(0)->data(0, Qt::UserRole + 1).toInt(), 11);
    }
};

QTEST_MAIN(TestViewFill)
#include "tst_view_fill.moc"
