#include "tools/searcher/TextMatcher.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string FoldedCopy(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        c = FoldAscii(c);
    return out;
}

QString FoldedCopy(QString text) {
    for (QChar& c : text)
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from = 0) {
    if (from > haystack.size())
        return kNotFound;
    const void* at = ::memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - haystack.data()) : kNotFound;
}

std::size_t NextByte(std::string_view haystack, char byte, std::size_t from) {
    if (from >= haystack.size())
        return kNotFound;
    const void* at = std::memchr(haystack.data() + from, byte, haystack.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - haystack.data()) : kNotFound;
}

bool FoldedEquals(std::string_view bytes, std::string_view foldedNeedle) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (FoldAscii(bytes[i]) != foldedNeedle[i])
            return false;
    return true;
}

bool StartsWith(std::string_view bytes, const char* prefix) { return bytes.substr(0, std::strlen(prefix)) == prefix; }

// Start of the line holding pos, looking back no further than floor.
std::size_t LineStart(std::string_view bytes, std::size_t floor, std::size_t pos) {
    for (std::size_t i = pos; i > floor; --i)
        if (bytes[i - 1] == '\n' || bytes[i - 1] == '\r')
            return i;
    return floor;
}

// Does the GB18030 text at pos (a character boundary) read as needle,
// character by character, folding single-byte characters when asked?
bool SameGBTextAt(std::string_view haystack, std::size_t pos, std::string_view needle, bool fold) {
    std::size_t i = 0;
    while (i < needle.size()) {
        if (pos >= haystack.size())
            return false;
        const int length = GBCharLength(haystack, pos);
        if (length != GBCharLength(needle, i) || pos + length > haystack.size())
            return false;
        if (length == 1) {
            const char a = fold ? FoldAscii(haystack[pos]) : haystack[pos];
            const char b = fold ? FoldAscii(needle[i]) : needle[i];
            if (a != b)
                return false;
        } else if (std::memcmp(haystack.data() + pos, needle.data() + i, length) != 0) {
            return false;
        }
        pos += length;
        i += length;
    }
    return true;
}

// Reads a whole regular file into buffer; false when it cannot be read.
// Opening does not block on a named pipe that happens to match the mask.
bool ReadWholeFile(const QString& path, std::string& buffer) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    buffer.clear();
    if (ok) {
        buffer.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t used = 0;
        for (;;) {
            if (used == buffer.size())
                buffer.resize(buffer.size() * 2);
            const ssize_t got = ::read(fd, buffer.data() + used, buffer.size() - used);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            used += static_cast<std::size_t>(got);
        }
        buffer.resize(used);
    }
    ::close(fd);
    return ok;
}

}  // namespace

TTextMatcher::TTextMatcher(const QString& findText, bool caseInsensitive) : m_text(findText) {
    m_impossible = findText.contains(QLatin1Char('\n')) || findText.contains(QLatin1Char('\r'));
    for (QChar c : findText)
        m_foldNeeded = m_foldNeeded || (caseInsensitive && c.isLetter() && c.unicode() < 0x80);
    const QByteArray utf8 = findText.toUtf8();
    const QByteArray gb = ToGB(findText);
    m_utf8.assign(utf8.constData(), utf8.size());
    m_gb.assign(gb.constData(), gb.size());
    m_utf8Folded = m_foldNeeded ? FoldedCopy(m_utf8) : m_utf8;
    m_gbFolded = m_foldNeeded ? FoldedCopy(m_gb) : m_gb;
}

// Where needle (already folded when folding) next occurs in haystack from
// `from` on. Folding searches for the needle's first byte in both letter cases
// with memchr and compares the rest folded, so no folded copy of the file is made.
std::size_t TTextMatcher::Search(std::string_view haystack, std::string_view needle, std::size_t from) const {
    if (!m_foldNeeded)
        return Find(haystack, needle, from);
    const char upper = needle.front();
    const bool letter = upper >= 'A' && upper <= 'Z';
    const char lower = letter ? static_cast<char>(upper - 'A' + 'a') : upper;
    std::size_t nextUpper = NextByte(haystack, upper, from);
    std::size_t nextLower = letter ? NextByte(haystack, lower, from) : kNotFound;
    while (nextUpper != kNotFound || nextLower != kNotFound) {
        const std::size_t at = std::min(nextUpper, nextLower);
        if (at + needle.size() > haystack.size())
            return kNotFound;
        if (FoldedEquals(haystack.substr(at, needle.size()), needle))
            return at;
        if (at == nextUpper)
            nextUpper = NextByte(haystack, upper, at + 1);
        else
            nextLower = NextByte(haystack, lower, at + 1);
    }
    return kNotFound;
}

bool TTextMatcher::Matches(std::string_view bytes) const {
    if (m_text.isEmpty())
        return true;
    if (m_impossible)
        return false;
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return FindInUtf8(bytes.substr(3));
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF"))
        return MatchesUtf16(bytes.substr(2), bytes[0] == '\xFE');
    if (StartsWith(bytes, "\x84\x31\x95\x33"))
        return FindInGB(bytes.substr(4));
    // Deciding the encoding means reading the whole file; a file that holds
    // neither form of the text as bytes is passed over without it.
    const bool utf8Bytes = Search(bytes, m_utf8Folded, 0) != kNotFound;
    const bool gbBytes = m_gb == m_utf8 ? utf8Bytes : Search(bytes, m_gbFolded, 0) != kNotFound;
    if (!utf8Bytes && !gbBytes)
        return false;
    if (IsUtf8Text(bytes))
        return utf8Bytes;  // a well-formed UTF-8 match always lies on whole characters
    return gbBytes && FindInGB(bytes);
}

bool TTextMatcher::FindInUtf8(std::string_view haystack) const {
    return Search(haystack, m_utf8Folded, 0) != kNotFound;
}

// Each byte match must start on a character boundary and read as the text
// character by character. Character boundaries are walked from the start of
// the match's line (CR and LF never occur inside a GB18030 character), and the
// walk resumes where the previous candidate left it, so a file is walked once.
bool TTextMatcher::FindInGB(std::string_view haystack) const {
    std::size_t boundary = 0;
    for (std::size_t at = Search(haystack, m_gbFolded, 0); at != kNotFound; at = Search(haystack, m_gbFolded, at + 1)) {
        boundary = LineStart(haystack, boundary, at);
        while (boundary < at)
            boundary += GBCharLength(haystack, boundary);
        if (boundary == at && SameGBTextAt(haystack, at, m_gb, m_foldNeeded))
            return true;
    }
    return false;
}

bool TTextMatcher::MatchesUtf16(std::string_view bytes, bool bigEndian) const {
    QStringDecoder decoder(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE,
                           QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!m_foldNeeded)
        return text.contains(m_text);
    return FoldedCopy(text).contains(FoldedCopy(m_text));
}

bool TTextMatcher::FileMatches(const QString& path) const {
    thread_local std::string buffer;
    if (!ReadWholeFile(path, buffer))
        return false;
    return Matches(buffer);
}
