// Internals of TLibrarySearch shared by its find and replace halves: the
// folders a query covers, throttled progress, and matching a manuscript's
// stored text line by line. Nothing here is for other callers.
#pragma once

#include "library/LibrarySearch.h"

#include <QList>
#include <QStringView>
#include <functional>
#include <optional>
#include <string>

namespace librarysearch {

// The folders ScanDocTexts walks for a query: empty for every manuscript (no
// folder, or the root), the folder and every folder below it otherwise;
// nullopt when the folder does not exist (nothing to search).
std::optional<QList<int>> ScopeFolders(TqlvDocData& data, std::optional<int> folderID);

// Calls the control's progress when the percentage done changes.
class TProgressStep {
public:
    explicit TProgressStep(const TSearchControl& control) : m_control(control) {}
    void Step(int done, int total);

private:
    const TSearchControl& m_control;
    int m_shown = -1;
};

using THitSink = std::function<void(int line, QStringView lineText, const TTextSpan& span)>;

// Every hit in a manuscript's stored GB18030 text, line (from 1) by line.
// Lines are decoded and matched as text; the matcher's required bytes only
// let lines (or whole texts) without them go undecoded. LF never occurs
// inside a GB18030 character, so a line can be decoded on its own.
void FindInStored(const TLineMatcher& matcher, const std::string& stored, const THitSink& sink);

// The text with every hit replaced, line by line, line breaks kept as they
// are; *count receives the number of hits.
QString ReplaceInText(const TLineMatcher& matcher, const QString& text, const QString& replacement, int* count);

}  // namespace librarysearch
