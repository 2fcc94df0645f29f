// Shared fixture of the book output tests: a library whose folders and
// manuscripts cover what a book must keep straight (nested folders, an empty
// folder, an empty manuscript, a name with "/" and quotes, characters beyond
// the BMP, names that sort differently from their creation order), the book
// it must give, and readers for what the writers produce.
#pragma once

#include "library/TqlvDocData.h"
#include "output/BookFile.h"
#include "output/BookSource.h"

#include <gtest/gtest.h>
#include <zip.h>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <memory>

namespace booktest {

using Kind = TBookSection::Kind;

// One expected section: kind, level, heading, paragraphs.
struct TRow {
    Kind kind;
    int level;
    QString heading;
    QStringList paragraphs;
};

inline QString Indented(const QString& text) { return QStringLiteral("　　") + text; }

// The library's book, in reading order.
inline std::vector<TRow> ExpectedRows() {
    return {
        {Kind::Chapter, 1, QStringLiteral("B"), {Indented("英文开头"), QStringLiteral("　　已有缩进")}},
        {Kind::Chapter, 1, QStringLiteral("a"), {}},
        {Kind::Chapter, 1, QStringLiteral("乙"), {Indented("乙的正文"), Indented("第二行")}},
        {Kind::Part, 1, QStringLiteral("第一部"), {}},
        {Kind::Chapter, 2, QStringLiteral("一章"), {Indented("𠀀超出基本平面😀")}},
        {Kind::Part, 2, QStringLiteral("卷一"), {}},
        {Kind::Chapter, 3, QStringLiteral("深处"), {Indented("最深的一段")}},
        {Kind::Part, 1, QStringLiteral("空夹"), {}},
        {Kind::Part, 1, QStringLiteral("他说\"你/我\""), {}},
        {Kind::Chapter, 2, QStringLiteral("引号/斜杠"), {Indented("内容 <&>")}},
    };
}

inline const QString kTitle = QStringLiteral("书名《测试》");
inline const QString kAuthor = QStringLiteral("作者 & 某");

// Every text of the book in reading order: title, author, then each
// section's heading and paragraphs.
inline QStringList ExpectedTexts() {
    QStringList texts{kTitle, kAuthor};
    for (const TRow& row : ExpectedRows())
        texts << row.heading << row.paragraphs;
    return texts;
}

// Fills an open library with the sections above; returns the folder IDs by name.
inline QMap<QString, int> FillLibrary(TqlvDocData& data) {
    const auto doc = [&](int folder, const QString& name, const QString& text) {
        TDocAttr attr;
        attr.DocName = name;
        attr.Txt = text;
        return data.AddDoc(folder, attr);
    };
    // Created out of name order: the list sorts by name, the tree keeps creation order.
    doc(0, QStringLiteral("乙"), QStringLiteral("乙的正文\r\n第二行\r\n"));
    doc(0, QStringLiteral("B"), QStringLiteral("  英文开头  \r\n\r\n \t\r\n　　\r\n　　已有缩进"));
    doc(0, QStringLiteral("a"), QString());
    QMap<QString, int> folders;
    folders["第一部"] = data.AddFolder(0, QStringLiteral("第一部"));
    folders["空夹"] = data.AddFolder(0, QStringLiteral("空夹"));
    folders["quotes"] = data.AddFolder(0, QStringLiteral("他说\"你/我\""));
    folders["卷一"] = data.AddFolder(folders["第一部"], QStringLiteral("卷一"));
    doc(folders["第一部"], QStringLiteral("一章"), QStringLiteral("𠀀超出基本平面😀\n"));
    doc(folders["卷一"], QStringLiteral("深处"), QStringLiteral("\r\n最深的一段\r"));
    doc(folders["quotes"], QStringLiteral("引号/斜杠"), QStringLiteral("内容 <&>\x01"));
    return folders;
}

// A fresh library in a temporary folder, filled, optionally encrypted.
class BookLibrary {
public:
    explicit BookLibrary(const QString& password = QString()) {
        QString created;
        EXPECT_TRUE(data.CreateDocData(dir.path() + QStringLiteral("/books"), QString(), password, true,
                                       !password.isEmpty(), false, 2, &created));
        EXPECT_TRUE(data.OpenDocData(created, [password] { return password; }));
        file = created;
        folders = FillLibrary(data);
    }
    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir;
    TqlvDocData data;
    QString file;
    QMap<QString, int> folders;
};

// Archive entries in stored order: name, bytes, stored uncompressed.
struct TZipEntry {
    QString name;
    QByteArray bytes;
    bool stored = false;
};

inline std::vector<TZipEntry> ReadZip(const QString& path) {
    std::vector<TZipEntry> entries;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        TZipEntry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.stored = stat.comp_method == ZIP_CM_STORE;
        entry.bytes.resize(static_cast<qsizetype>(stat.size));
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file) {
            zip_fread(file, entry.bytes.data(), stat.size);
            zip_fclose(file);
        }
        entries.push_back(entry);
    }
    zip_close(archive);
    return entries;
}

// The text of every element named in `elements` (local names), in document
// order; empty and an error set when the XML is not well-formed.
inline QStringList XmlTexts(const QByteArray& xml, const QStringList& elements, QString* error) {
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && elements.contains(reader.name().toString()))
            texts << reader.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    if (reader.hasError() && error)
        *error = reader.errorString();
    return texts;
}

// The PDF writer needs a GUI application; the tests run on the offscreen platform.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace booktest
