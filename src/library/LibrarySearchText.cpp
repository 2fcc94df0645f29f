#include "library/LibrarySearchText.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace librarysearch {

namespace {

const TViewNode* FindNode(const TViewNode& node, int id) {
    if (node.ID == id)
        return &node;
    for (const TViewNode& child : node.Children)
        if (const TViewNode* found = FindNode(child, id))
            return found;
    return nullptr;
}

void CollectIDs(const TViewNode& node, QList<int>& ids) {
    ids.append(node.ID);
    for (const TViewNode& child : node.Children)
        CollectIDs(child, ids);
}

// The line without its LF and a CR before it.
QStringView LineOf(QStringView text, qsizetype start, qsizetype end) {
    if (end > start && text[end - 1] == u'\r')
        --end;
    return text.mid(start, end - start);
}

void FindInLine(const TLineMatcher& matcher, int line, QStringView lineText, const THitSink& sink) {
    std::vector<TTextSpan> spans;
    matcher.FindIn(lineText, spans);
    for (const TTextSpan& span : spans)
        sink(line, lineText, span);
}

// Every line of decoded text.
void FindInDecoded(const TLineMatcher& matcher, QStringView text, const THitSink& sink) {
    int line = 1;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        FindInLine(matcher, line, LineOf(text, start, end), sink);
        start = end + 1;
        ++line;
    }
}

// Only the lines holding the required bytes are decoded and matched.
void FindInCandidateLines(const TLineMatcher& matcher, const std::string& stored, const THitSink& sink) {
    const TByteKey& key = matcher.RequiredBytes();
    const char* const begin = stored.data();
    const char* const end = begin + stored.size();
    const char* counted = begin;
    int line = 1;
    const char* at = key.FindIn(begin, end);
    while (at) {
        const char* lineStart = at;
        while (lineStart > counted && lineStart[-1] != '\n')
            --lineStart;
        line += int(std::count(counted, lineStart, '\n'));
        counted = lineStart;
        const char* lineEnd = static_cast<const char*>(memchr(at, '\n', size_t(end - at)));
        if (!lineEnd)
            lineEnd = end;
        const QString decoded = FromGB(QByteArray::fromRawData(lineStart, int(lineEnd - lineStart)));
        FindInLine(matcher, line, LineOf(decoded, 0, decoded.size()), sink);
        if (lineEnd == end)
            break;
        at = key.FindIn(lineEnd + 1, end);
    }
}

}  // namespace

std::optional<QList<int>> ScopeFolders(TqlvDocData& data, std::optional<int> folderID) {
    if (!folderID || *folderID == 0)
        return QList<int>();
    const TViewNode tree = data.LoadFolderTree();
    const TViewNode* node = FindNode(tree, *folderID);
    if (!node)
        return std::nullopt;
    QList<int> ids;
    CollectIDs(*node, ids);
    return ids;
}

void TProgressStep::Step(int done, int total) {
    if (!m_control.Progress || total <= 0)
        return;
    const int percent = int(int64_t(done) * 100 / total);
    if (percent == m_shown)
        return;
    m_shown = percent;
    m_control.Progress(done, total);
}

void FindInStored(const TLineMatcher& matcher, const std::string& stored, const THitSink& sink) {
    if (matcher.IsEmpty())
        return;
    if (!matcher.RequiredBytes().IsEmpty()) {
        FindInCandidateLines(matcher, stored, sink);
        return;
    }
    const QString text = FromGB(QByteArray::fromRawData(stored.data(), int(stored.size())));
    FindInDecoded(matcher, text, sink);
}

QString ReplaceInText(const TLineMatcher& matcher, const QString& text, const QString& replacement, int* count) {
    *count = 0;
    QString out;
    out.reserve(text.size());
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = LineOf(text, start, end);
        int hits = 0;
        const QString replaced = matcher.ReplaceIn(line, replacement, &hits);
        if (hits > 0)
            out += replaced;
        else
            out += line;
        *count += hits;
        out += QStringView(text).mid(start + line.size(), end - start - line.size());  // CR
        if (end < text.size())
            out += u'\n';
        start = end + 1;
    }
    return out;
}

}  // namespace librarysearch
