#include "library/LineMatcher.h"

#include "library/UserError.h"
#include "platform/TextCodec.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define QUILLORA_FIND_AVX2 1
#endif

#include <cstring>

namespace {

#ifdef QUILLORA_FIND_AVX2
// The first `key` (two bytes or more) in [begin, end): 32 window starts at a
// time are kept when their first and last bytes are the key's, and only
// those are compared whole; the last few windows go to memmem.
__attribute__((target("avx2"))) const char* FindKeyAvx2(const char* begin, const char* end, const char* key,
                                                        size_t size) {
    const size_t length = size_t(end - begin);
    const __m256i first = _mm256_set1_epi8(key[0]), last = _mm256_set1_epi8(key[size - 1]);
    size_t at = 0;
    for (; length >= size - 1 + 32 && at <= length - (size - 1) - 32; at += 32) {
        const __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(begin + at));
        const __m256i tails = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(begin + at + size - 1));
        auto candidates = uint32_t(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last))));
        for (; candidates != 0; candidates &= candidates - 1) {
            const char* window = begin + at + unsigned(__builtin_ctz(candidates));
            if (std::memcmp(window, key, size) == 0)
                return window;
        }
    }
    return static_cast<const char*>(memmem(begin + at, length - at, key, size));
}

#endif

const char* FindKey(const char* begin, const char* end, const char* key, size_t size) {
#ifdef QUILLORA_FIND_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && size >= 2)
        return FindKeyAvx2(begin, end, key, size);
#endif
    return static_cast<const char*>(memmem(begin, size_t(end - begin), key, size));
}

const QString kCaption = QStringLiteral("在稿件库中查找");

bool IsFoldable(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') || (unit >= 0xFF21 && unit <= 0xFF3A) ||
           (unit >= 0xFF41 && unit <= 0xFF5A);
}

char16_t FoldUnit(char16_t unit) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xFF21 && unit <= 0xFF3A))
        return char16_t(unit + 0x20);
    return unit;
}

// Copies pattern[from] up to and including the first `closer`; returns the
// position after it (the end when there is none).
qsizetype CopyThrough(const QString& pattern, qsizetype from, QChar closer, QString& out) {
    const qsizetype end = pattern.indexOf(closer, from);
    const qsizetype stop = end < 0 ? pattern.size() : end + 1;
    out += QStringView(pattern).mid(from, stop - from);
    return stop;
}

// Length of a construct at pattern[at] whose letters are names or options and
// must keep their case: an escape (with a braced or bracketed argument), a
// group name or reference, inline options, a verb. 0 when there is none.
qsizetype CasedConstructEnd(const QString& pattern, qsizetype at, QString& out) {
    const QStringView rest = QStringView(pattern).mid(at);
    if (rest.startsWith(u'\\') && rest.size() >= 2) {
        const QChar kind = rest[1];
        if (rest.size() >= 3 && QStringLiteral("pPNgkxcou").contains(kind)) {
            const QChar open = rest[2];
            if (open == u'{')
                return CopyThrough(pattern, at, u'}', out);
            if (open == u'<')
                return CopyThrough(pattern, at, u'>', out);
            if (open == u'\'') {
                out += rest.left(3);
                return CopyThrough(pattern, at + 3, u'\'', out);
            }
        }
        out += rest.left(2);
        return at + 2;
    }
    if (rest.startsWith(u"(*"))
        return CopyThrough(pattern, at, u')', out);
    if (rest.startsWith(u"(?<") && !rest.startsWith(u"(?<=") && !rest.startsWith(u"(?<!"))
        return CopyThrough(pattern, at, u'>', out);
    if (rest.startsWith(u"(?P") || rest.startsWith(u"(?&"))
        return CopyThrough(pattern, at, rest.startsWith(u"(?P<") ? u'>' : u')', out);
    if (rest.startsWith(u"(?'")) {
        out += rest.left(3);
        return CopyThrough(pattern, at + 3, u'\'', out);
    }
    if (rest.startsWith(u"(?") && rest.size() >= 3 && (rest[2].isLetter() || rest[2] == u'-' || rest[2] == u'^')) {
        qsizetype stop = at + 2;
        while (stop < pattern.size() && pattern[stop] != u':' && pattern[stop] != u')')
            ++stop;
        return CopyThrough(pattern, at, stop < pattern.size() ? pattern[stop] : QChar(u')'), out);
    }
    return 0;
}

// The regular expression with its literal letters folded, so that it finds
// in folded text what it would find case-blind in ASCII and full-width Latin
// only. Escapes, names and options keep their case.
QString FoldRegexLetters(const QString& pattern) {
    QString out;
    out.reserve(pattern.size());
    qsizetype at = 0;
    while (at < pattern.size()) {
        if (const qsizetype next = CasedConstructEnd(pattern, at, out)) {
            at = next;
            continue;
        }
        out += QChar(FoldUnit(pattern[at].unicode()));
        ++at;
    }
    return out;
}

bool IsFullWidthLetter(char16_t unit) { return IsFoldable(unit) && unit > 0x7F; }

uint8_t SmallAscii(uint8_t byte) { return byte >= 'A' && byte <= 'Z' ? uint8_t(byte | 0x20) : byte; }

// The longest run of the literal pattern without units that `breaks`.
template <class Breaks>
QString LongestRunWithout(const QString& pattern, Breaks breaks) {
    QStringView best;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= pattern.size(); ++i) {
        if (i < pattern.size() && !breaks(pattern[i].unicode()))
            continue;
        if (i - start > best.size())
            best = QStringView(pattern).mid(start, i - start);
        start = i + 1;
    }
    return best.toString();
}

// Bytes below this length skip too little of a text to prefer exact bytes
// over a longer stretch matched with ASCII letters in either case.
constexpr qsizetype kShortKey = 4;

// The prefilter of a case-blind literal pattern (see RequiredBytes).
TByteKey CaseBlindKey(const QString& pattern) {
    const QByteArray exact = ToGB(LongestRunWithout(pattern, IsFoldable));
    const QByteArray blind = ToGB(LongestRunWithout(pattern, IsFullWidthLetter));
    if (exact.size() >= kShortKey || blind.size() <= exact.size())
        return TByteKey(exact, false);
    return TByteKey(blind, true);
}

[[noreturn]] void RefuseEmptyMatch() {
    throw EUserError(QStringLiteral("这个正则表达式能匹配空文本，会在每个字之间插入替换内容，不能使用。"), kCaption, 2);
}

}  // namespace

TLineMatcher::TLineMatcher(const QString& pattern, bool regex, bool caseSensitive)
    : m_regex(regex), m_caseSensitive(caseSensitive) {
    if (pattern.isEmpty())
        return;
    if (!regex) {
        m_pattern = caseSensitive ? pattern : FoldLatin(pattern);
        m_requiredBytes = caseSensitive ? TByteKey(ToGB(pattern), false) : CaseBlindKey(pattern);
        return;
    }
    m_pattern = caseSensitive ? pattern : FoldRegexLetters(pattern);
    m_expression.setPattern(m_pattern);
    if (!m_expression.isValid()) {
        // The offset (UTF-16 units of the folded pattern, which has the same
        // length) is shown in characters, as the user counts them.
        const QStringView before = QStringView(m_pattern).left(m_expression.patternErrorOffset());
        throw EUserError(QStringLiteral("正则表达式有误（第 %1 列）：%2")
                             .arg(before.toUcs4().size() + 1)
                             .arg(m_expression.errorString()),
                         kCaption, 2);
    }
    m_expression.optimize();
    if (m_expression.match(QString()).hasMatch())
        RefuseEmptyMatch();
}

TByteKey::TByteKey(const QByteArray& bytes, bool ignoreAsciiCase) : m_bytes(bytes), m_ignoreAsciiCase(ignoreAsciiCase) {
    if (!ignoreAsciiCase)
        return;
    const auto size = uint32_t(m_bytes.size());
    m_shift.fill(size);
    for (uint32_t i = 0; i < size; ++i) {
        m_bytes[i] = char(SmallAscii(uint8_t(m_bytes[i])));
        if (i + 1 < size)
            m_shift[uint8_t(m_bytes[i])] = size - 1 - i;
    }
}

// Exact keys are found by FindKey; case-blind ones are found by Horspool's method on
// bytes with ASCII capitals made small.
const char* TByteKey::FindIn(const char* begin, const char* end) const {
    const size_t size = size_t(m_bytes.size());
    if (size == 0)
        return begin;
    if (!m_ignoreAsciiCase)
        return FindKey(begin, end, m_bytes.constData(), size);
    const auto* key = reinterpret_cast<const uint8_t*>(m_bytes.constData());
    const auto* text = reinterpret_cast<const uint8_t*>(begin);
    const size_t last = size - 1;
    for (size_t at = 0; size <= size_t(end - begin) - at;) {
        const uint8_t tail = SmallAscii(text[at + last]);
        if (tail == key[last]) {
            size_t i = last;
            while (i > 0 && SmallAscii(text[at + i - 1]) == key[i - 1])
                --i;
            if (i == 0)
                return begin + at;
        }
        at += m_shift[tail];
    }
    return nullptr;
}

QString TLineMatcher::FoldLatin(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = FoldUnit(text[i].unicode());
    return folded;
}

void TLineMatcher::FindIn(QStringView line, std::vector<TTextSpan>& hits) const {
    if (m_pattern.isEmpty())
        return;
    if (m_regex)
        FindRegex(line, hits);
    else
        FindLiteral(line, hits);
}

void TLineMatcher::FindLiteral(QStringView line, std::vector<TTextSpan>& hits) const {
    const QString folded = m_caseSensitive ? QString() : FoldLatin(line);
    const QStringView subject = m_caseSensitive ? line : QStringView(folded);
    for (qsizetype at = subject.indexOf(m_pattern); at >= 0; at = subject.indexOf(m_pattern, at + m_pattern.size()))
        hits.push_back({int(at), int(m_pattern.size())});
}

void TLineMatcher::FindRegex(QStringView line, std::vector<TTextSpan>& hits) const {
    const QString subject = m_caseSensitive ? line.toString() : FoldLatin(line);
    QRegularExpressionMatchIterator it = m_expression.globalMatch(subject);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedLength() == 0)
            RefuseEmptyMatch();  // a lookaround or anchor alone: nothing to mark or replace
        hits.push_back({int(match.capturedStart()), int(match.capturedLength())});
    }
}

// Captures are taken from the line itself: the match ran on its folded copy.
QString TLineMatcher::Expanded(QStringView line, const QString& replacement, const QRegularExpressionMatch& match) {
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c != u'\\' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const QChar next = replacement[++i];
        if (next < u'0' || next > u'9') {
            out += next;
            continue;
        }
        const int group = next.digitValue();
        if (group <= match.lastCapturedIndex() && match.capturedStart(group) >= 0)
            out += line.mid(match.capturedStart(group), match.capturedLength(group));
    }
    return out;
}

QString TLineMatcher::ReplaceIn(QStringView line, const QString& replacement, int* count) const {
    *count = 0;
    if (m_pattern.isEmpty())
        return line.toString();
    QString out;
    qsizetype copied = 0;
    auto take = [&](qsizetype start, qsizetype length, const QString& with) {
        out += line.mid(copied, start - copied);
        out += with;
        copied = start + length;
        ++*count;
    };
    if (!m_regex) {
        std::vector<TTextSpan> hits;
        FindLiteral(line, hits);
        for (const TTextSpan& hit : hits)
            take(hit.Start, hit.Length, replacement);
    } else {
        const QString subject = m_caseSensitive ? line.toString() : FoldLatin(line);
        QRegularExpressionMatchIterator it = m_expression.globalMatch(subject);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            if (match.capturedLength() == 0)
                RefuseEmptyMatch();
            take(match.capturedStart(), match.capturedLength(), Expanded(line, replacement, match));
        }
    }
    out += line.mid(copied);
    return out;
}
