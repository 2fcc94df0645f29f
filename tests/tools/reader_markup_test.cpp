// The reader's markup: style, placement and field tags, and line splitting.
#include "tools/reader/ReaderMarkup.h"

#include <gtest/gtest.h>

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

using S = TReaderStyle;
using A = TReaderAlign;

struct TExpectedParagraph {
    A align;
    QList<TReaderRun> runs;
};

struct TMarkupCase {
    const char* name;
    const char* markup;
    QList<TExpectedParagraph> expected;
};

TEST(ReaderMarkup, TagsSetStyleAlignmentAndFields) {
    const TMarkupCase cases[] = {
        {"plain text", "abc", {{A::Left, {{S::Text1, U("abc")}}}}},
        {"start line", "<Title1><Center>Quillora2004 ", {{A::Center, {{S::Title1, U("Quillora2004 ")}}}}},
        {"names ignore case", "<left><text3>中文", {{A::Left, {{S::Text3, U("中文")}}}}},
        {"style changes inside a line",
         "<Title2>T<Text2>body",
         {{A::Left, {{S::Title2, U("T")}, {S::Text2, U("body")}}}}},
        {"tags carry over to later lines",
         "<Right><Title4>a\r\nb\rc\n",
         {{A::Right, {{S::Title4, U("a")}}},
          {A::Right, {{S::Title4, U("b")}}},
          {A::Right, {{S::Title4, U("c")}}},
          {A::Right, {}}}},
        {"placement applies to its own line",
         "a<Center>b\nc",
         {{A::Center, {{S::Text1, U("ab")}}}, {A::Center, {{S::Text1, U("c")}}}}},
        {"unknown tag is text", "x<b>y", {{A::Left, {{S::Text1, U("x<b>y")}}}}},
        {"unclosed bracket is text", "1 < 2", {{A::Left, {{S::Text1, U("1 < 2")}}}}},
        {"a tag right after a lone bracket", "a<b<Text3>c", {{A::Left, {{S::Text1, U("a<b")}, {S::Text3, U("c")}}}}},
        {"fields", "<Owner>/<Organization>/<AppTitle>/<Date>/<TIME>", {{A::Left, {{S::Text1, U("me/org/app/d/t")}}}}},
        {"empty", "", {{A::Left, {}}}},
    };
    const TReaderFields fields{U("me"), U("org"), U("app"), U("d"), U("t")};
    for (const TMarkupCase& c : cases) {
        const QList<TReaderParagraph> paragraphs = ParseReaderMarkup(U(c.markup), fields);
        ASSERT_EQ(paragraphs.size(), c.expected.size()) << c.name;
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            EXPECT_EQ(paragraphs[i].align, c.expected[i].align) << c.name << " line " << i;
            EXPECT_EQ(paragraphs[i].runs, c.expected[i].runs) << c.name << " line " << i;
        }
    }
}

}  // namespace
