// The generated pinyin tables: their shape, and that the committed
// src/tools/pinyin/PinyinTables.cpp is what scripts/pinyin/gen_pinyin_table.py
// makes from the installed data packages (skipped when they are missing).
#include "tools/pinyin/PinyinTables.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

namespace {

using namespace pinyin;

int EntryOf(int lead, int trail) { return kCodeTable[(lead - kFirstLead) * kCodeColumns + (trail - kFirstTrail)]; }

TEST(PinyinTables, SyllablesAreSortedUniqueLowercaseWords) {
    EXPECT_EQ(kSyllables[0], "");
    ASSERT_GT(kSyllableCount, 400);
    for (int n = 1; n <= kSyllableCount; ++n) {
        const std::string syllable(kSyllables[n]);
        ASSERT_FALSE(syllable.empty()) << n;
        EXPECT_LE(syllable.size(), 6u) << syllable;
        EXPECT_EQ(syllable.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << syllable;
        if (n > 1) {
            EXPECT_LT(kSyllables[n - 1], kSyllables[n]) << syllable;
        }
    }
    EXPECT_EQ(kSyllables[1], "a");
    EXPECT_EQ(kSyllables[kSyllableCount], "zuo");
}

TEST(PinyinTables, EntriesNameSyllablesAndRuleRowsStayEmpty) {
    int withReading = 0;
    for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
        for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            const int entry = EntryOf(lead, trail);
            ASSERT_LE(entry, kSyllableCount);
            if (entry != 0)
                ++withReading;
            if (lead == 0xA2 || lead == 0xA3 || lead == 0xA6 || trail == 0x7F) {
                EXPECT_EQ(entry, 0) << std::hex << lead << trail;
            }
        }
    }
    EXPECT_EQ(withReading, kCodesWithReading);
    // Nearly every ideograph of GBK (20,902 unified plus a few compatibility
    // ideographs and radicals) has a reading.
    EXPECT_GT(withReading, 20850);
    EXPECT_LT(withReading, 21000);
}

// Runs the generator into a temporary file and compares. A missing data
// package skips the check; so do installed packages of other versions than
// the committed table names, since the data then legitimately differs.
TEST(PinyinTables, CommittedTableMatchesGenerator) {
    const QByteArray sourceDir = qgetenv("QUILLORA_SOURCE_DIR");
    if (sourceDir.isEmpty())
        GTEST_SKIP() << "QUILLORA_SOURCE_DIR is not set";
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFile::exists(python))
        GTEST_SKIP() << "/usr/bin/python3 is missing";
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString generated = tmp.filePath(QStringLiteral("PinyinTables.cpp"));
    QProcess generator;
    generator.start(python,
                    {QString::fromLocal8Bit(sourceDir) + "/scripts/pinyin/gen_pinyin_table.py", "--output", generated});
    ASSERT_TRUE(generator.waitForFinished(120000)) << "generator did not finish";
    const QString messages = QString::fromUtf8(generator.readAllStandardError());
    if (generator.exitCode() == 3)
        GTEST_SKIP() << "data packages not installed: " << messages.toStdString();
    ASSERT_EQ(generator.exitCode(), 0) << messages.toStdString();

    QFile committedFile(QString::fromLocal8Bit(sourceDir) + "/src/tools/pinyin/PinyinTables.cpp");
    QFile generatedFile(generated);
    ASSERT_TRUE(committedFile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(generatedFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> committed = committedFile.readAll().split('\n');
    const QList<QByteArray> fresh = generatedFile.readAll().split('\n');
    // The header lists the package versions read ("// Read: name version").
    auto versions = [](const QList<QByteArray>& lines) {
        QList<QByteArray> out;
        for (const QByteArray& line : lines)
            if (line.startsWith("// Read: "))
                out.append(line);
        return out;
    };
    if (versions(committed) != versions(fresh))
        GTEST_SKIP() << "installed data packages differ from those the table was built from; "
                     << "installed:\n"
                     << versions(fresh).join('\n').toStdString();
    ASSERT_EQ(committed.size(), fresh.size());
    for (qsizetype i = 0; i < committed.size(); ++i)
        ASSERT_EQ(committed[i].toStdString(), fresh[i].toStdString()) << "line " << i + 1;
}

}  // namespace
