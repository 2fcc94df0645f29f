// Shared fixture of the library tests: a temporary folder, queued password
// answers and a TqlvDocData with a fresh library open.
#pragma once

#include "library/TqlvDocData.h"

#include <QStringList>

#include <gtest/gtest.h>
#include <QTemporaryDir>

// Answers the library's password prompt from a queue (empty once it runs dry,
// as a cancelled prompt does) and counts how often it was asked.
struct PasswordAnswers {
    QStringList queue;
    int asked = 0;
    TPasswordPrompt Prompt() {
        return [this] {
            ++asked;
            return queue.isEmpty() ? QString() : queue.takeFirst();
        };
    }
};

// The text of the EUserError that body raises; empty when it raises none.
template <typename Body>
QString UserErrorOf(Body&& body, QString* caption = nullptr, int* icon = nullptr) {
    try {
        body();
    } catch (const EUserError& error) {
        if (caption)
            *caption = error.Caption();
        if (icon)
            *icon = error.Icon();
        return error.Text();
    }
    return QString();
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QString created;
        ASSERT_TRUE(
            data.CreateDocData(Path("lib"), QStringLiteral("测试库"), QString(), true, false, false, 2, &created));
        ASSERT_TRUE(data.OpenDocData(created));
        file = created;
    }

    // What the shell hands SaveDoc (only size, counts and text are read).
    static TDocAttr Saved(const QString& size, const QString& cn, const QString& en, const QString& text = QString()) {
        TDocAttr attr;
        attr.DocSize = size;
        attr.cnCount = cn;
        attr.enCount = en;
        attr.Txt = text;
        return attr;
    }
    static TDocAttr Imported(const QString& name, const QString& text) {
        TDocAttr attr;
        attr.DocName = name;
        attr.Txt = text;
        return attr;
    }

    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // Captions of a node's children, in order.
    static QStringList Captions(const TViewNode& node) {
        QStringList out;
        for (const TViewNode& child : node.Children)
            out << child.Caption;
        return out;
    }
    static QStringList Captions(const TViewItems& items) {
        QStringList out;
        for (const TViewItem& item : items)
            out << item.Caption;
        return out;
    }
    static QList<int> IDs(const TViewItems& items) {
        QList<int> out;
        for (const TViewItem& item : items)
            out << item.ID;
        return out;
    }

    int NewDocNamed(int folder, const QString& name) {
        const int id = data.NewDoc(folder).ID;
        data.RenameSelectedDoc(id, name);
        return id;
    }
    int AddMarkTo(int doc, const QString& name, int line = 1) {
        TMark mark;
        mark.MarkName = name;
        mark.MarkParent = doc;
        mark.MarkParentName = QStringLiteral("稿件%1").arg(doc);
        mark.MarkPosLine = line;
        return data.AddMark(mark).ID;
    }

    QTemporaryDir dir;
    PasswordAnswers passwords;
    TqlvDocData data;
    QString file;
};
