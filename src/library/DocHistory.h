// Manuscript history (`DocHistory`): earlier texts of a manuscript kept as
// versions. TDocHistory keeps a version (called from the save path,
// TManuscriptSaves, before the new text is written), lists a manuscript's
// versions newest first, reads a version's text, thins versions out by the
// keeping rule, and deletes a manuscript's versions. A version the engine
// cannot read is listed with Damaged set; reading its text raises EUserError.
#pragma once

#include "library/WritingTables.h"

#include <QString>
#include <vector>

struct TDocVersion {
    int ID = 0;
    tomedb::TDateTime SavedAt = 0;  // when the kept text had been saved
    int Chars = 0;                  // its Chinese count
    bool Damaged = false;
};

// The keeping rule, over the save times of one manuscript's versions: every
// version younger than 7 days, then the newest of each day younger than 90
// days, then the newest of each month. Returns, for each time, whether it is
// kept. Pure: `now` is given.
std::vector<bool> VersionsToKeep(const std::vector<tomedb::TDateTime>& savedAt,
                                 tomedb::TDateTime now);

class TDocHistory {
public:
    TDocHistory(TWritingTables& tables, TClock clock);
    // Keeps `text` (saved at savedAt, with cnCount Chinese characters) as a
    // version of docID, then thins the manuscript's versions out by the
    // keeping rule. The tables must be open for writing.
    void Keep(int docID, tomedb::TDateTime savedAt, int cnCount, const QString& text);
    // Save time of docID's newest readable version; 0 when it has none.
    tomedb::TDateTime NewestSavedAt(int docID);
    // Newest first. Empty when the library has no history table. With
    // checkTexts each version's text is read too, so that one whose text is
    // damaged is listed as damaged (what a list shown to the user wants).
    std::vector<TDocVersion> Versions(int docID, bool checkTexts = true);
    // Text of a version of docID; EUserError "此版本已损坏，无法恢复。" when it cannot
    // be read and "此版本不存在。" when there is no such version.
    QString Text(int docID, int versionID);
    void DeleteVersions(const QList<int>& docIDs);

private:
    void Thin(int docID);
    TWritingTables& m_tables;
    TClock m_clock;
};
