#include "cli/CliArgs.h"

#include <langinfo.h>
#include <locale.h>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "platform/TextCodec.h"

CliArgs CliArgs::Parse(const std::vector<std::string>& words, const CliSyntax& syntax) {
    CliArgs args;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            args.positional_.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (syntax.flags.count(word)) {
            args.flags_.insert(word);
        } else if (syntax.valueOptions.count(word)) {
            if (i + 1 >= words.size())
                throw CliUsageError("option " + word + " needs a value");
            args.options_[word] = words[++i];
        } else {
            throw CliUsageError("unknown option " + word);
        }
    }
    const size_t count = args.positional_.size();
    if (count < syntax.minPositional)
        throw CliUsageError("missing arguments");
    if (count > syntax.maxPositional)
        throw CliUsageError("too many arguments");
    return args;
}

std::optional<std::string> CliArgs::Option(const std::string& name) const {
    auto it = options_.find(name);
    if (it == options_.end())
        return std::nullopt;
    return it->second;
}

int CliArgs::IntOption(const std::string& name, int low, int high, int fallback) const {
    std::optional<std::string> text = Option(name);
    if (!text)
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || value < low || value > high)
        throw CliUsageError(name + " must be a number from " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<int>(value);
}

namespace {

// True when the user's locale says the terminal speaks a GB encoding; every
// other terminal (UTF-8, and the plain C locale) is read as UTF-8. Asked of a
// locale object of its own, so the process's locale stays as it was.
bool TerminalSpeaksGb() {
    const locale_t user = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        return false;
    const std::string codeset = ::nl_langinfo_l(CODESET, user);
    ::freelocale(user);
    return codeset == "GB18030" || codeset == "GBK" || codeset == "GB2312";
}

// The word as text, or nullopt when its bytes are not valid in the
// terminal's encoding (a decoder would replace them, and any other invalid
// password of the same length would then open the file).
std::optional<QString> TerminalText(const std::string& word) {
    const QByteArray bytes(word.data(), static_cast<qsizetype>(word.size()));
    const QString text = TerminalSpeaksGb() ? FromGB(bytes) : QString::fromUtf8(bytes);
    const QByteArray again = TerminalSpeaksGb() ? ToGB(text) : text.toUtf8();
    if (again != bytes)
        return std::nullopt;
    return text;
}

}  // namespace

std::optional<QString> CliArgs::PasswordText(const std::string& name) const {
    const std::optional<std::string> word = Option(name);
    if (!word)
        return std::nullopt;
    const std::optional<QString> text = TerminalText(*word);
    if (!text)
        throw CliError("The value of " + name + " is not valid text in the terminal's encoding (" +
                       (TerminalSpeaksGb() ? "GB18030" : "UTF-8") + "); it was not used");
    return text;
}

std::optional<std::string> CliArgs::PasswordOption(const std::string& name) const {
    const std::optional<QString> text = PasswordText(name);
    if (!text)
        return std::nullopt;
    return PasswordBytes(*text);
}
