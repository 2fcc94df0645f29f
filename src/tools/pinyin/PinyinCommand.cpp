#include "tools/pinyin/PinyinCommand.h"

#include "tools/pinyin/PinyinText.h"

#include <QStringDecoder>

namespace {

constexpr const char* kUsage = "usage: qdb pinyin TEXT [--initials]\n";

TPinyinCommandResult UsageError(const std::string& message) {
    return {2, std::string(), "qdb pinyin: " + message + "\n" + kUsage};
}

struct ParsedArgs {
    std::vector<std::string> texts;
    bool initials = false;
    bool help = false;
    std::string badOption;
};

ParsedArgs ParseArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-")
            parsed.texts.push_back(arg);
        else if (arg == "--")
            optionsEnded = true;
        else if (arg == "--initials")
            parsed.initials = true;
        else if (arg == "--help" || arg == "-h")
            parsed.help = true;
        else if (parsed.badOption.empty())
            parsed.badOption = arg;
    }
    return parsed;
}

}  // namespace

TPinyinCommandResult RunPinyinCommand(const std::vector<std::string>& args) {
    const ParsedArgs parsed = ParseArgs(args);
    if (parsed.help)
        return {0, kUsage, std::string()};
    if (!parsed.badOption.empty())
        return UsageError("unknown option " + parsed.badOption);
    if (parsed.texts.size() != 1)
        return UsageError(parsed.texts.empty() ? "missing TEXT" : "give TEXT as one argument (quote it)");
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(QByteArrayView(parsed.texts.front()));
    if (decoder.hasError())
        return UsageError("TEXT is not valid UTF-8");
    const QString result = parsed.initials ? PinyinHeadOf(text) : PinyinSpellOf(text);
    return {0, result.toStdString() + "\n", std::string()};
}
