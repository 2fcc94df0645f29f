#include "platform/ErrorText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <vector>

namespace {

// The texts the data layers (library, output, materials, platform) raise, in
// their own words; lupdate collects them under the context DataErrors.
const char* const kDataTexts[] = {
    // Captions.
    QT_TRANSLATE_NOOP("DataErrors", "在稿件库中查找"),
    QT_TRANSLATE_NOOP("DataErrors", "新建稿件库"),
    QT_TRANSLATE_NOOP("DataErrors", "打开稿件库"),
    QT_TRANSLATE_NOOP("DataErrors", "插入图片"),
    QT_TRANSLATE_NOOP("DataErrors", "图片"),
    QT_TRANSLATE_NOOP("DataErrors", "从备份恢复"),
    QT_TRANSLATE_NOOP("DataErrors", "导出"),
    QT_TRANSLATE_NOOP("DataErrors", "备份稿件库"),
    QT_TRANSLATE_NOOP("DataErrors", "历史版本"),
    QT_TRANSLATE_NOOP("DataErrors", "设置目标"),
    QT_TRANSLATE_NOOP("DataErrors", "输出书稿"),
    QT_TRANSLATE_NOOP("DataErrors", "替换"),
    QT_TRANSLATE_NOOP("DataErrors", "撤销替换"),
    // The roots of the folder trees.
    QT_TRANSLATE_NOOP("DataErrors", "稿件夹"),
    QT_TRANSLATE_NOOP("DataErrors", "资料夹"),
    // Attribute values of a library.
    QT_TRANSLATE_NOOP("DataErrors", "是"),
    QT_TRANSLATE_NOOP("DataErrors", "否"),
    QT_TRANSLATE_NOOP("DataErrors", "最好"),
    QT_TRANSLATE_NOOP("DataErrors", "标准"),
    QT_TRANSLATE_NOOP("DataErrors", "较快"),
    QT_TRANSLATE_NOOP("DataErrors", "最快"),
    QT_TRANSLATE_NOOP("DataErrors", "%1 字节"),
    QT_TRANSLATE_NOOP("DataErrors", "连续写作 %1 天"),
    QT_TRANSLATE_NOOP("DataErrors", "共找到 %1 处，分布在 %2 篇稿件中"),
    QT_TRANSLATE_NOOP("DataErrors", "将替换 %1 处，涉及 %2 篇稿件。"),
    // Messages.
    QT_TRANSLATE_NOOP("DataErrors", "这个正则表达式能匹配空文本，会在每个字之间插入替换内容，不能使用。"),
    QT_TRANSLATE_NOOP("DataErrors", "正则表达式有误（第 %1 列）：%2"),
    QT_TRANSLATE_NOOP("DataErrors", "磁盘空间不足，无法写入文件：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "找不到文件或文件夹：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "没有权限写入或读取：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "读写文件出错：%1\n"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库正被其他程序独占使用，无法备份：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库正被其他程序写入，请稍后再试：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库文件刚被其他程序替换，请再试一次：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库名称不能为空！"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库已经存在！"),
    QT_TRANSLATE_NOOP("DataErrors", "密码错误，无法打开稿件库！"),
    QT_TRANSLATE_NOOP("DataErrors", "图片的路径太长（超过255字节），无法插入：\n"),
    QT_TRANSLATE_NOOP("DataErrors", "在指定位置没有找到图片，图片可能已删除或重命名！"),
    QT_TRANSLATE_NOOP("DataErrors", "无法在备份文件夹中写入文件：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "无法创建备份文件夹：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "这个备份已损坏，不能恢复：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "密码错误，无法打开这个备份！"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件已不存在"),
    QT_TRANSLATE_NOOP("DataErrors", "此版本不存在。"),
    QT_TRANSLATE_NOOP("DataErrors", "此版本已损坏，无法恢复。"),
    QT_TRANSLATE_NOOP("DataErrors", "目标字数必须大于0。"),
    QT_TRANSLATE_NOOP("DataErrors", "截止日期不能早于今天。"),
    QT_TRANSLATE_NOOP("DataErrors", "这些稿件在查找之后又被修改或删除了，没有替换任何内容，请重新查找：\n"),
    QT_TRANSLATE_NOOP("DataErrors", "这些稿件在替换之后又被修改或删除了，没有撤销：\n"),
    QT_TRANSLATE_NOOP("DataErrors", "这些稿件在替换之后又被修改或删除了，没有撤销：\n%1\n其余 %2 篇稿件已恢复。"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库文件已被移走或删除，无法%1：\n"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件库文件是只读的，无法%1：\n"),
    QT_TRANSLATE_NOOP("DataErrors", "无法压缩书稿。"),
    QT_TRANSLATE_NOOP("DataErrors", "书稿太大，超过 4 GB。"),
    QT_TRANSLATE_NOOP("DataErrors", "无法写入书稿：%1"),
    QT_TRANSLATE_NOOP("DataErrors", "书稿的章节太多。"),
    QT_TRANSLATE_NOOP("DataErrors", "无法识别“%1”的书稿格式，文件名须以 %2 结尾。"),
    QT_TRANSLATE_NOOP("DataErrors", "输出 PDF 需要图形环境。"),
    QT_TRANSLATE_NOOP("DataErrors", "“%1”是一个文件夹。"),
    QT_TRANSLATE_NOOP("DataErrors", "无法在“%1”中创建书稿：文件夹不存在。"),
    QT_TRANSLATE_NOOP("DataErrors", "无法在“%1”中创建书稿：%2"),
    QT_TRANSLATE_NOOP("DataErrors", "无法写入书稿“%1”：%2"),
    QT_TRANSLATE_NOOP("DataErrors", "无法写入 PDF 书稿。"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件夹 %1 不存在。"),
    QT_TRANSLATE_NOOP("DataErrors", "稿件 %1 不存在。"),
    QT_TRANSLATE_NOOP("DataErrors", "无法打开文件 \"%1\"：%2"),
    QT_TRANSLATE_NOOP("DataErrors", "无法读取文件 \"%1\"：%2"),
    QT_TRANSLATE_NOOP("DataErrors", "无法写入文件 \"%1\"：%2"),
};

QString Translate(const char* source) { return QCoreApplication::translate("DataErrors", source); }

// A known text with arguments as a pattern: the arguments match anything.
struct TTemplate {
    const char* Source;
    QRegularExpression Pattern;
    std::vector<int> Numbers;  // the argument number of each capture, in order
};

const std::vector<TTemplate>& Templates() {
    static const std::vector<TTemplate> templates = [] {
        std::vector<TTemplate> list;
        static const QRegularExpression argument(QStringLiteral("%(\\d)"));
        for (const char* source : kDataTexts) {
            const QString text = QString::fromUtf8(source);
            if (!text.contains(argument))
                continue;
            TTemplate entry{source, {}, {}};
            // A text that ends with an argument takes all the rest into it;
            // any other may be followed by a detail, kept as it is.
            const bool endsWithArgument = QRegularExpression(QStringLiteral("%\\d$")).match(text).hasMatch();
            QString pattern;
            int captures = 0;
            qsizetype from = 0;
            for (const auto& match : argument.globalMatch(text)) {
                pattern += QRegularExpression::escape(text.mid(from, match.capturedStart() - from));
                ++captures;
                const bool last = captures == text.count(argument);
                pattern += (last && endsWithArgument) ? QStringLiteral("(.*)") : QStringLiteral("(.*?)");
                entry.Numbers.push_back(match.captured(1).toInt());
                from = match.capturedEnd();
            }
            pattern = QLatin1Char('^') + pattern + QRegularExpression::escape(text.mid(from));
            if (endsWithArgument)
                pattern += QLatin1Char('$');
            entry.Pattern = QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption);
            list.push_back(std::move(entry));
        }
        return list;
    }();
    return templates;
}

QString FromTemplate(const QString& text) {
    for (const TTemplate& entry : Templates()) {
        const QRegularExpressionMatch match = entry.Pattern.match(text);
        if (!match.hasMatch())
            continue;
        // An argument that is itself a known word (an action's name) is
        // translated too; paths and numbers are not in the table.
        QString result = Translate(entry.Source);
        for (size_t i = 0; i < entry.Numbers.size(); ++i) {
            const QString argumentText = match.captured(static_cast<int>(i) + 1);
            result.replace(QLatin1Char('%') + QString::number(entry.Numbers[i]),
                           QCoreApplication::translate("DataErrors", argumentText.toUtf8().constData()));
        }
        return result + text.mid(match.capturedEnd());
    }
    return {};
}

}  // namespace

QString TranslatedText(const QString& text) {
    // In Chinese (no translation of these texts installed) every text is
    // shown exactly as raised.
    if (Translate(kDataTexts[0]) == QString::fromUtf8(kDataTexts[0]))
        return text;
    const QByteArray utf8 = text.toUtf8();
    const QString whole = QCoreApplication::translate("DataErrors", utf8.constData());
    if (whole != text)
        return whole;
    if (QString templated = FromTemplate(text); !templated.isEmpty())
        return templated;
    // A known text followed by a detail (a path, a list of names).
    const char* longest = nullptr;
    for (const char* source : kDataTexts) {
        const QString known = QString::fromUtf8(source);
        if (!known.contains(QLatin1Char('%')) && text.startsWith(known) &&
            (!longest || known.size() > QString::fromUtf8(longest).size()))
            longest = source;
    }
    if (longest)
        return Translate(longest) + text.mid(QString::fromUtf8(longest).size());
    return text;
}
