// TZipArchive: the archive writer of the mail command. It collects file
// paths (TZipFileList, filled by TqlvDocData::AddDocPicsToZip) and packs
// them into one zip file, deflated at level 8, each under its own file name
// (a second file of the same name gets " (2)" before its extension).
//
// A listed path that names no readable file is left out and reported by
// Pack; the list is emptied after packing. Pack throws EUserError (caption
// "发送邮件") when the archive itself cannot be written; then no archive is
// left behind.
#pragma once

#include "library/ZipFileList.h"

#include <QStringList>

class TZipArchive : public TZipFileList {
public:
    void AddFile(const QString& path) override { m_files.append(path); }
    const QStringList& Files() const { return m_files; }

    // Writes the archive at fileName, replacing one that is there, creating
    // its folder when missing. Returns the listed paths that were left out.
    // With no packable file no archive is written and every path is returned.
    QStringList Pack(const QString& fileName);

private:
    QStringList m_files;
};
