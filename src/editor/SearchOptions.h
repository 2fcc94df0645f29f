// What a find or replace dialog hands to the editor: the search text and its
// options. Plain value type.
#pragma once

#include <QString>

struct TSearchOptions {
    QString text;            // empty: no search was ever entered
    bool matchCase = false;  // "区分大小写"
    bool wholeWord = false;  // "全字匹配"
    bool down = true;        // direction: true Down (towards the end), false Up
};
