#include "tomedb/TomeError.h"

#include <gtest/gtest.h>

TEST(TomeError, FormatsMessagesLikePrintf) {
    EXPECT_EQ(tomedb::FormatMessage("Database file '%s' is damaged", "a.qdb"), "Database file 'a.qdb' is damaged");
    EXPECT_EQ(tomedb::FormatMessage("%d,%s", 3, "abc"), "3,abc");
    EXPECT_EQ(tomedb::FormatMessage("%s", ""), "");
}

TEST(TomeError, EncryptExceptionIsADatabaseError) {
    try {
        throw tomedb::EEncryptException("x");
    } catch (const tomedb::EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "x");
    }
}
