// Manuscript history (`DocHistory`): earlier texts of a manuscript kept as
// versions. TDocHistory keeps a version (called from the save path,
// TManuscriptSaves, before the new text is written), lists a manuscript's
// versions newest first, reads a version's text, thins versions out by the
// keeping rule, and deletes a manuscript's versions. A version the engine
// cannot read is listed with Damaged set; reading its text raises EUserError.
#pragma once

#include "library/WritingTables.h"

#include <QString>
#include <QStringView>
#include <string>
#include <vector>

struct TDocVersion {
    int ID = 0;
    tomedb::TDateTime SavedAt = 0;  // when the kept text had been saved
    int Chars = 0;                  // its Chinese count
    bool Damaged = false;
    int Length = 0;  // VersionCharacters of its text, when listed with checkTexts
};

// Characters of a text as the history list counts them: a line break (CR LF
// or LF) is one, a character beyond the BMP is one.
int VersionCharacters(QStringView text);
// The same of a text's GB18030 bytes (as stored); well-formed bytes are
// counted without being decoded.
int VersionCharacters(const std::string& gb18030);

// The keeping rule, over the save times of one manuscript's versions: every
// version younger than 7 days, then the newest of each day younger than 90
// days, then the newest of each month. Returns, for each time, whether it is
// kept. Pure: `now` is given.
std::vector<bool> VersionsToKeep(const std::vector<tomedb::TDateTime>& savedAt, tomedb::TDateTime now);
// The first moment after `now` at which VersionsToKeep over the same times
// can answer otherwise: when one of them turns 7 or 90 days old (0 when
// none will). Until then thinning them again drops nothing.
tomedb::TDateTime NextThinning(const std::vector<tomedb::TDateTime>& savedAt, tomedb::TDateTime now);

// A text to keep as a version: its GB18030 bytes, or its stored form in blob
// field FromField of table From (a table of the same library), which Keep
// copies as it is when the engine allows, instead of decoding and encoding
// it again.
struct TKeptText {
    std::string Bytes;  // the text while From is null
    std::string Stored;
    tomedb::TTomeTable* From = nullptr;
    int FromField = -1;

    // Whether the text is `bytes`; a stored form is decompressed only when
    // its length and checksum do not already tell them apart.
    bool Is(const std::string& bytes) const;
    // The text's bytes, decoded from the stored form when it has one.
    std::string Decoded() const;
};

class TDocHistory {
public:
    TDocHistory(TWritingTables& tables, TClock clock);
    // Keeps `text` (saved at savedAt, with cnCount Chinese characters) as a
    // version of docID. The tables must be open for writing.
    void Keep(int docID, tomedb::TDateTime savedAt, int cnCount, const TKeptText& text);
    // Thins docID's versions out by the keeping rule (after Keep, once the
    // kept version is durable: the rule may drop an older one of its day).
    // Returns NextThinning of the versions it leaves.
    tomedb::TDateTime Thin(int docID);
    // Save time of docID's newest readable version; 0 when it has none.
    tomedb::TDateTime NewestSavedAt(int docID);
    // Newest first. Empty when the library has no history table. With
    // checkTexts each version's text is read too, so that one whose text is
    // damaged is listed as damaged (what a list shown to the user wants), and
    // its Length counted.
    std::vector<TDocVersion> Versions(int docID, bool checkTexts = true);
    // Text of a version of docID; EUserError "此版本已损坏，无法恢复。" when it cannot
    // be read and "此版本不存在。" when there is no such version.
    QString Text(int docID, int versionID);
    void DeleteVersions(const QList<int>& docIDs);

private:
    TWritingTables& m_tables;
    TClock m_clock;
};
