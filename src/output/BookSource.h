// Building a TBook from the open library of a TqlvDocData, through its
// record-level reads only (folder tree, manuscript lists, manuscript text).
//
// Order is the window's: sub-folders in the folder tree's order (creation
// order under each parent), manuscripts by name as the manuscript list sorts
// them (case-sensitive, records of equal name in stored order). Within a
// folder its own manuscripts come first, then its sub-folders.
//
// What a book holds:
//  - the whole library: the root's manuscripts as top-level chapters, every
//    folder a part;
//  - one folder: its manuscripts as top-level chapters, its sub-folders parts;
//  - chosen manuscripts: top-level chapters only, in the list's order.
// A folder or manuscript ID that no longer exists raises EUserError; progress
// counts manuscripts read and may cancel (EBookCancelled). Engine errors pass
// through.
#pragma once

#include "output/BookModel.h"

#include <QList>

class TqlvDocData;

struct TBookScope {
    enum class Kind { Library, Folder, Manuscripts };
    Kind ScopeKind = Kind::Library;
    int FolderID = 0;          // Kind::Folder
    QList<int> ManuscriptIDs;  // Kind::Manuscripts
};

TBook BuildBook(TqlvDocData& data, const TBookScope& scope, const QString& title, const QString& author,
                const TBookProgress& progress = {});
// The folder's name ("稿件夹" for the root); EUserError when it does not exist.
QString BookFolderName(TqlvDocData& data, int folderID);
// Folder IDs whose name is exactly name, in tree order.
QList<int> FindFoldersByName(TqlvDocData& data, const QString& name);
