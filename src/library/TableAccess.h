// Small helpers shared by the library and materials data layers for talking
// to engine tables: the table-state convention (Filter / Filtered / IndexName
// set before every read or write), key lookup on the primary index, text
// conversion between QString and the engine's GB18030 bytes (cut on a
// character boundary to a string field's size), and paths. Engine errors
// (tomedb::EDatabaseError) pass through untouched.
#pragma once

#include "library/DocDataTypes.h"
#include "tomedb/TomeDB.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QList>
#include <QString>
#include <string>

namespace tableaccess {

// QString <-> GB18030 bytes as the engine stores them.
inline std::string Bytes(const QString& text) { return ToGB(text).toStdString(); }
inline QString Text(const std::string& bytes) { return FromGB(QByteArray::fromStdString(bytes)); }

// Filename <-> engine name (the engine takes local 8-bit file names).
inline std::string PathName(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString PathText(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }

// Table unfiltered on its primary index, positioned on `id`; false when the
// key is not there.
bool FindByID(tomedb::TTomeTable& table, int id);
// Filter `<filter>` (e.g. "PID=5") switched on, primary index, first record.
void FilterBy(tomedb::TTomeTable& table, const QString& field, int key);
// As FilterBy for any of `keys`: "<field>=<key>" for one key, else
// "<field> IN (k1,k2,...)". Callers keep the lists short (see kKeysPerFilter).
void FilterByAny(tomedb::TTomeTable& table, const QString& field, const QList<int>& keys);
// Every record whose `field` is one of `keys` is deleted, a filter of at most
// kKeysPerFilter keys at a time; returns the IDs of the deleted records.
QList<int> DeleteWhereAny(tomedb::TTomeTable& table, const QString& field, const QList<int>& keys);
constexpr int kKeysPerFilter = 256;
// Fills `root` (a folder tree node) with every folder below it from a folder
// table with fields ID, PID and `nameField`, one "PID" filter per level and
// per kKeysPerFilter parents; siblings in ID order.
void FillTreeLevels(tomedb::TTomeTable& folders, const char* nameField, TViewNode& root);
// Folder tables (fields ID, PID and a name field) of the library and the
// materials store share these record operations.
// Appends a folder under `parentID` and returns its new ID.
int AppendFolder(tomedb::TTomeTable& folders, const char* nameField, int parentID, const QString& name);
// The node a new folder shows: selected and edited in place.
TViewNode NewFolderNode(int id, const QString& caption);
// Writes a string / integer field of the record `id`; nothing when it is missing.
void SetRecordText(tomedb::TTomeTable& table, int id, const char* field, const QString& text);
void SetRecordInt(tomedb::TTomeTable& table, int id, const char* field, int value);
// Deletes every folder below `folderID` at any depth, level by level along
// PID links, and returns their IDs.
QList<int> DeleteFolderLevels(tomedb::TTomeTable& folders, int folderID);
// Unfiltered, primary index.
void Unfilter(tomedb::TTomeTable& table);
// Deletes every record the table currently shows (count taken first, each
// deletion on the current record).
void DeleteShown(tomedb::TTomeTable& table);

QString FieldText(const tomedb::TTomeTable& table, const char* field);
int FieldInt(const tomedb::TTomeTable& table, const char* field);
// Writes text to a string field, cut to the field's size on a character boundary.
void SetFieldText(tomedb::TTomeTable& table, const char* field, const QString& text);
// Writes text to a memo field (no size limit).
void SetMemoText(tomedb::TTomeTable& table, const char* field, const QString& text);
int CurrentID(const tomedb::TTomeTable& table);

}  // namespace tableaccess
