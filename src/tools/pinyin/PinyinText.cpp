#include "tools/pinyin/PinyinText.h"

#include "platform/TextCodec.h"
#include "tools/pinyin/PinyinSpell.h"

namespace {

std::string_view View(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

QString PinyinSpellOf(const QString& text) {
    return QString::fromStdString(TPinyinSpell::GetHzSpell(View(ToGB(text))));
}

QString PinyinHeadOf(const QString& text) { return QString::fromStdString(TPinyinSpell::GetPyHead(View(ToGB(text)))); }
