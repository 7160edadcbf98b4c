// Which definition of a format survives, what is reported about the others,
// and when the old generated database is backed up.
#include "keldbgenRun.h"

#include <filesystem>

static std::string entry(const std::string& name, const std::string& description)
{
    return "format " + name + "\n    description \"" + description + "\"\n    dll libkel" + name + "0.so\n";
}

static std::string writtenEntry(const std::string& name, const std::string& description)
{
    return "\nformat " + name + "\n    description\t\t\"" + description + "\"\n    dll\t\t\tlibkel" + name + "0.so\n";
}

static const std::string oldDb = KEL_DBGEN_OUTPUT;
static const std::string backup = std::string(KEL_DBGEN_OUTPUT) + ".O";

TEST_F(KeldbgenTest, OlderSourceWinsAndTheNewerIsReported)
{
    // The name order is the opposite of the age order.
    writeSource("a.db", entry("XX", "newer"), 2000000000);
    writeSource("b.db", entry("XX", "older") + entry("YY", "only"), 1000000000);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("XX", "older") + writtenEntry("YY", "only"));
    EXPECT_EQ(r.err, "keldbgen: format XX in " + sourceName("a.db") + " has been superceded by version in " +
                         sourceName("b.db") + "\n");
}

TEST_F(KeldbgenTest, KelDatabaseSourceCountsAsOldest)
{
    writeSource("early.db", entry("XX", "early"), 1000);
    writeSource("kel_database", entry("XX", "base"), 2000000000);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("XX", "base"));
    EXPECT_EQ(r.err, "keldbgen: format XX in " + sourceName("early.db") + " has been superceded by version in " +
                         sourceName("kel_database") + "\n");
}

TEST_F(KeldbgenTest, EntriesKeepTheOrderOfTheirFiles)
{
    writeSource("z.db", entry("AA", "a"), 1000);
    writeSource("y.db", entry("BB", "b"), 3000);
    writeSource("x.db", entry("CC", "c"), 2000);
    ASSERT_EQ(generate().status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("AA", "a") + writtenEntry("CC", "c") + writtenEntry("BB", "b"));
}

TEST_F(KeldbgenTest, DuplicateInOneFileKeepsTheFirst)
{
    writeSource("a.db", entry("XX", "first") + entry("XX", "second"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("XX", "first"));
    EXPECT_EQ(r.err, "keldbgen: format XX in " + sourceName("a.db") + " has been superceded by version in " +
                         sourceName("a.db") + "\n");
}

TEST_F(KeldbgenTest, NamesDifferingInCaseAreDifferentFormats)
{
    writeSource("a.db", entry("gif", "lower") + entry("GIF", "upper"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(entriesText(), writtenEntry("gif", "lower") + writtenEntry("GIF", "upper"));
}

TEST_F(KeldbgenTest, OldDatabaseEntriesSurviveAndOverriddenOnesAreBackedUp)
{
    writeFile(oldDb, entry("XX", "old") + entry("YY", "kept"));
    std::string before = output();
    writeSource("a.db", entry("XX", "new"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, ""); // dropping an old definition is not reported
    EXPECT_EQ(entriesText(), writtenEntry("XX", "new") + writtenEntry("YY", "kept"));
    EXPECT_EQ(readFile(backup), before);
}

TEST_F(KeldbgenTest, NoBackupWhenTheOldDatabaseOnlyAdds)
{
    writeFile(oldDb, entry("YY", "kept"));
    writeSource("a.db", entry("XX", "new"));
    ASSERT_EQ(generate().status, 0);
    EXPECT_FALSE(exists(backup));
    EXPECT_EQ(entriesText(), writtenEntry("XX", "new") + writtenEntry("YY", "kept"));
}

TEST_F(KeldbgenTest, BackupReplacesAnEarlierBackup)
{
    writeFile(backup, "stale");
    writeFile(oldDb, entry("XX", "old"));
    writeSource("a.db", entry("XX", "new"));
    ASSERT_EQ(generate().status, 0);
    EXPECT_EQ(readFile(backup), entry("XX", "old"));
}

TEST_F(KeldbgenTest, ExplicitOutputNeverBacksUpButStillReadsTheOldDatabase)
{
    writeFile(oldDb, entry("XX", "old") + entry("YY", "kept"));
    writeSource("a.db", entry("XX", "new"));
    KeldbgenResult r = run({"-r", root, "-o", root + "/other.db"});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(exists(backup));
    EXPECT_EQ(output(), entry("XX", "old") + entry("YY", "kept"));
    std::string other = readFile("/other.db");
    EXPECT_NE(other.find(writtenEntry("XX", "new") + writtenEntry("YY", "kept")), std::string::npos) << other;
}

TEST_F(KeldbgenTest, FailedBackupLeavesTheOldDatabaseAlone)
{
    writeFile(oldDb, entry("XX", "old"));
    // A directory that is not empty can neither be removed nor replaced.
    writeFile(backup + "/keep", "");
    writeSource("a.db", entry("XX", "new"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("keldbgen: couldn't save " + root + oldDb + " to " + root + backup + ", ", 0), 0u) << r.err;
    EXPECT_EQ(output(), entry("XX", "old"));
}

TEST_F(KeldbgenTest, UnopenableOutputFails)
{
    writeSource("a.db", entry("XX", "new"));
    KeldbgenResult r = run({"-r", root, "-o", root + "/missing/dir/out.db"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "keldbgen: couldn't open " + root + "/missing/dir/out.db, No such file or directory\n");
}

TEST_F(KeldbgenTest, FailedWriteIsReported)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    writeSource("a.db", entry("XX", "new"));
    KeldbgenResult r = run({"-r", root, "-o", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "keldbgen: couldn't write /dev/full, No space left on device\n");
}
