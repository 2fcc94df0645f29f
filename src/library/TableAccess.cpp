#include "library/TableAccess.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <vector>

using tomedb::TTomeTable;

namespace tableaccess {

void Unfilter(TTomeTable& table) {
    table.SetFiltered(false);
    table.SetIndexName(std::string());
}

bool FindByID(TTomeTable& table, int id) {
    Unfilter(table);
    return table.FindKey({tomedb::TVariant(id)});
}

void FilterBy(TTomeTable& table, const QString& field, int key) {
    table.SetIndexName(std::string());
    table.SetFiltered(false);
    table.SetFilter(Bytes(field + QLatin1Char('=') + QString::number(key)));
    table.SetFiltered(true);
    table.First();
}

void FilterByAny(TTomeTable& table, const QString& field, const QList<int>& keys) {
    if (keys.size() == 1) {
        FilterBy(table, field, keys.first());
        return;
    }
    QStringList numbers;
    for (int key : keys)
        numbers << QString::number(key);
    table.SetIndexName(std::string());
    table.SetFiltered(false);
    table.SetFilter(Bytes(field + QStringLiteral(" IN (") + numbers.join(QLatin1Char(',')) + QLatin1Char(')')));
    table.SetFiltered(true);
    table.First();
}

QList<int> DeleteWhereAny(TTomeTable& table, const QString& field, const QList<int>& keys) {
    QList<int> deleted;
    for (qsizetype from = 0; from < keys.size(); from += kKeysPerFilter) {
        FilterByAny(table, field, keys.mid(from, kKeysPerFilter));
        for (int i = table.RecordCount(); i > 0; --i) {
            deleted.append(CurrentID(table));
            table.Delete();
        }
    }
    return deleted;
}

void FillTreeLevels(TTomeTable& folders, const char* nameField, TViewNode& root) {
    std::vector<TViewNode*> level{&root};
    while (!level.empty()) {
        std::vector<TViewNode*> next;
        for (size_t from = 0; from < level.size(); from += kKeysPerFilter) {
            const size_t to = std::min(level.size(), from + kKeysPerFilter);
            QHash<int, TViewNode*> byID;
            QList<int> keys;
            for (size_t i = from; i < to; ++i) {
                byID.insert(level[i]->ID, level[i]);
                keys.append(level[i]->ID);
            }
            FilterByAny(folders, QStringLiteral("PID"), keys);
            for (int i = folders.RecordCount(); i > 0; --i) {
                TViewNode child;
                child.Caption = FieldText(folders, nameField);
                child.ID = CurrentID(folders);
                if (TViewNode* parent = byID.value(FieldInt(folders, "PID")))
                    parent->Children.push_back(std::move(child));
                folders.Next();
            }
            for (size_t i = from; i < to; ++i)
                for (TViewNode& child : level[i]->Children)
                    next.push_back(&child);
        }
        level = std::move(next);
    }
}

void DeleteShown(TTomeTable& table) {
    const int count = table.RecordCount();
    table.First();
    for (int i = 0; i < count; ++i)
        table.Delete();
}

QString FieldText(const TTomeTable& table, const char* field) { return Text(table.FieldByName(field).AsString()); }

int FieldInt(const TTomeTable& table, const char* field) {
    return static_cast<int>(table.FieldByName(field).AsInteger());
}

int CurrentID(const TTomeTable& table) { return FieldInt(table, "ID"); }

void SetFieldText(TTomeTable& table, const char* field, const QString& text) {
    tomedb::TField& target = table.FieldByName(field);
    QByteArray bytes = ToGB(text);
    if (target.Size() > 0)
        bytes = CutGB(bytes, target.Size());
    target.SetAsString(bytes.toStdString());
}

void SetMemoText(TTomeTable& table, const char* field, const QString& text) {
    table.FieldByName(field).SetAsString(Bytes(text));
}

int AppendFolder(TTomeTable& folders, const char* nameField, int parentID, const QString& name) {
    folders.SetFiltered(false);
    folders.Append();
    folders.FieldByName("PID").SetAsInteger(parentID);
    SetFieldText(folders, nameField, name);
    folders.Post();
    return CurrentID(folders);
}

TViewNode NewFolderNode(int id, const QString& caption) {
    TViewNode node;
    node.Caption = caption;
    node.ID = id;
    node.Selected = true;
    node.EditInPlace = true;
    return node;
}

void SetRecordText(TTomeTable& table, int id, const char* field, const QString& text) {
    if (!FindByID(table, id))
        return;
    table.Edit();
    SetFieldText(table, field, text);
    table.Post();
}

void SetRecordInt(TTomeTable& table, int id, const char* field, int value) {
    if (!FindByID(table, id))
        return;
    table.Edit();
    table.FieldByName(field).SetAsInteger(value);
    table.Post();
}

QList<int> DeleteFolderLevels(TTomeTable& folders, int folderID) {
    QList<int> found;
    QList<int> level{folderID};
    while (!level.isEmpty()) {
        level = DeleteWhereAny(folders, QStringLiteral("PID"), level);
        found += level;
    }
    return found;
}

}  // namespace tableaccess
