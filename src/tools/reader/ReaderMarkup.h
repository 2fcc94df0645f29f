// The reader's markup: text with inline tags in angle brackets. Style tags
// (<Title1>..<Title4>, <Text1>..<Text3>) set the text style from that point on;
// placement tags (<Left>, <Center>, <Right>) set the alignment of the
// paragraph they are in and of those after it; field tags insert the owner
// (<Owner>), the organisation (<Organization>), the application title
// (<AppTitle>), the date (<Date>) and the time (<Time>). Tag names ignore
// letter case; anything else in angle brackets is text. Each line of the text
// is one paragraph (CR, LF or CR LF end a line).
//
// Widget-free; parsing never fails.
#pragma once

#include <QList>
#include <QString>

enum class TReaderStyle { Title1, Title2, Title3, Title4, Text1, Text2, Text3 };
enum class TReaderAlign { Left, Center, Right };

struct TReaderRun {
    TReaderStyle style = TReaderStyle::Text1;
    QString text;
    bool operator==(const TReaderRun&) const = default;
};

struct TReaderParagraph {
    TReaderAlign align = TReaderAlign::Left;
    QList<TReaderRun> runs;  // empty for an empty line
    QString Text() const;
};

// What the field tags insert.
struct TReaderFields {
    QString owner;
    QString organization;
    QString appTitle;
    QString date;
    QString time;
    // The user, the application's organisation and title, and now.
    static TReaderFields Current();
};

QList<TReaderParagraph> ParseReaderMarkup(const QString& markup, const TReaderFields& fields);
