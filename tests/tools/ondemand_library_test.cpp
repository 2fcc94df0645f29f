// A library opened on first use: a missing library or entry point is named
// in Error() and leaves the entry null, so the feature can report it instead
// of calling through a null pointer.
#include "tools/mail/OnDemandLibrary.h"

#include <gtest/gtest.h>

namespace {

using ZipOpen = void* (*)(const char*, int, int*);

struct Case {
    const char* soname;
    const char* entry;
    bool found;
    const char* errorStart;  // how Error() begins when an entry is missing
};

TEST(OnDemandLibrary, FindsEntriesOrSaysWhatIsMissing) {
    const Case cases[] = {
        {"libzip.so.4", "zip_open", true, ""},
        {"libzip.so.4", "zip_no_such_entry", false, "libzip.so.4 has no zip_no_such_entry"},
        {"libquillora-no-such-library.so.1", "zip_open", false, "Cannot load libquillora-no-such-library.so.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        TOnDemandLibrary library(c.soname);
        ZipOpen entry = nullptr;
        library.Resolve(c.entry, entry);
        EXPECT_EQ(entry != nullptr, c.found);
        if (c.found)
            EXPECT_TRUE(library.Error().isEmpty()) << library.Error().toStdString();
        else
            EXPECT_TRUE(library.Error().startsWith(QString::fromLatin1(c.errorStart))) << library.Error().toStdString();
    }
}

TEST(OnDemandLibrary, KeepsTheFirstMissingEntry) {
    TOnDemandLibrary library("libzip.so.4");
    ZipOpen first = nullptr, second = nullptr;
    library.Resolve("zip_missing_one", first);
    library.Resolve("zip_missing_two", second);
    EXPECT_EQ(library.Error(), QStringLiteral("libzip.so.4 has no zip_missing_one"));
}

}  // namespace
