// QString conveniences over TPinyinSpell for the dialogs and the command line:
// the text is encoded to GB18030 (platform/TextCodec.h) and converted. A
// character outside GBK has no reading, like any unknown character. The
// results are plain ASCII. Nothing here fails.
#pragma once

#include <QString>

// Full pinyin, readings separated by one space ("中文" -> "zhong wen").
QString PinyinSpellOf(const QString& text);
// The first letter of each reading ("中文书家" -> "zwsj").
QString PinyinHeadOf(const QString& text);
