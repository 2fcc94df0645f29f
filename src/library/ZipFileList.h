// TZipFileList: the part of an archive writer that AddDocPicsToZip needs — a
// list of files to pack. The mail command supplies the real (libzip) writer;
// TPathList just collects the paths (tests, previews). Adding never fails;
// whether a listed file exists is the writer's business when it packs.
#pragma once

#include <QString>
#include <QStringList>

class TZipFileList {
public:
    virtual ~TZipFileList() = default;
    virtual void AddFile(const QString& path) = 0;
};

class TPathList : public TZipFileList {
public:
    void AddFile(const QString& path) override { Paths.append(path); }
    QStringList Paths;
};
