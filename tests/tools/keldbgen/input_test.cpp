// The command line, the source directory, syntax errors and include files.
#include "keldbgenRun.h"

#include <filesystem>
#include <sstream>

static std::string entry(const std::string& name)
{
    return "format " + name + "\n    dll libkel" + name + "0.so\n";
}

static std::string writtenEntry(const std::string& name)
{
    return "\nformat " + name + "\n    dll\t\t\tlibkel" + name + "0.so\n";
}

static std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

static const std::string usageLine = "usage: keldbgen [-o dbfile] [-r root]\n";

TEST_F(KeldbgenTest, UnknownOptionOrMissingArgumentPrintsUsage)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-x"}, std::vector<std::string>{"-r", root, "-o"}}) {
        KeldbgenResult r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(usageLine), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(KEL_DBGEN_OUTPUT), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(KEL_DBSOURCE_DIR), std::string::npos) << r.err;
    }
    EXPECT_FALSE(exists(KEL_DBGEN_OUTPUT));
}

TEST_F(KeldbgenTest, OtherArgumentsAreIgnored)
{
    writeSource("a.db", entry("AA"));
    KeldbgenResult r = run({"-r", root, "extra"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("AA"));
}

TEST_F(KeldbgenTest, MissingSourceDirectory)
{
    std::filesystem::remove_all(root + KEL_DBSOURCE_DIR);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "keldbgen: no KEL database directory!\n");
    EXPECT_FALSE(exists(KEL_DBGEN_OUTPUT));
}

TEST_F(KeldbgenTest, EmptySourceDirectoryGivesTheBannerOnly)
{
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    std::string out = output();
    std::vector<std::string> l = lines(out);
    ASSERT_EQ(l.size(), 8u) << out;
    EXPECT_EQ(l[0], "! The following file has been generated automatically by the");
    EXPECT_EQ(l[2], std::string("! ") + KEL_DBSOURCE_DIR + ".");
    EXPECT_EQ(l[7], "! formats to this file.");
    for (const std::string& s : l)
        EXPECT_EQ(s.rfind("! ", 0), 0u) << s;
    // The last line ends, so the banner reads back as comments only.
    EXPECT_EQ(out.back(), '\n');
    r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(output(), out);
}

TEST_F(KeldbgenTest, EveryRegularFileIsASourceOthersAreSkipped)
{
    writeSource("README", entry("AA"));
    writeSource("b.txt", entry("BB"));
    std::filesystem::create_directories(root + KEL_DBSOURCE_DIR + "sub.db");
    std::filesystem::create_symlink("/nonexistent", root + KEL_DBSOURCE_DIR + "dangling.db");
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(entriesText(), writtenEntry("AA") + writtenEntry("BB"));
}

TEST_F(KeldbgenTest, SyntaxErrorDropsTheFilesKeptEntries)
{
    writeSource("a.db", entry("AA") + entry("BB") + "\tformat x\n" + entry("CC"), 1000);
    writeSource("b.db", entry("DD"), 2000);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "keldbgen: parse error in KEL database file " + sourceName("a.db") +
                         ", line 5:\n\tformat x\n\n\t       ^\n"
                         "keldbgen: file " +
                         sourceName("a.db") + " not a valid KEL database\n");
    EXPECT_EQ(entriesText(), writtenEntry("DD"));
}

TEST_F(KeldbgenTest, SyntaxErrorKeepsReportsOfOtherFilesVersions)
{
    writeSource("a.db", entry("AA"), 1000);
    writeSource("b.db", entry("AA") + entry("BB") + entry("BB") + "format\n", 2000);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("AA"));
    // B's second definition lost to a version that went with the file.
    std::string superseded = "keldbgen: format AA in " + sourceName("b.db") + " has been superceded by version in " +
                             sourceName("a.db") + "\n";
    EXPECT_NE(r.err.find(superseded), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("format BB"), std::string::npos) << r.err;
}

TEST_F(KeldbgenTest, CrLfLinesReadAsLines)
{
    writeSource("a.db", "format AA\r\n    dll libkelAA0.so\r\n! remark\r\n");
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(entriesText(), writtenEntry("AA"));
}

TEST_F(KeldbgenTest, IncludedEntriesBelongToTheIncludingFile)
{
    writeFile("/inc/common.inc", entry("BB"));
    writeSource("a.db", entry("AA") + "#include \"/inc/common.inc\"\n" + entry("CC"), 1000);
    writeSource("b.db", entry("BB"), 2000);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("AA") + writtenEntry("BB") + writtenEntry("CC"));
    EXPECT_EQ(r.err, "keldbgen: format BB in " + sourceName("b.db") + " has been superceded by version in " +
                         sourceName("a.db") + "\n");
}

TEST_F(KeldbgenTest, IncludeNameForms)
{
    writeFile("/inc/b.inc", entry("BB"));
    writeFile("/inc/c.inc", entry("CC"));
    writeFile("/inc/d.inc", entry("DD"));
    writeSource("a.db", "#include </inc/b.inc> rest\n#   include '/inc/c.inc'\n#include /inc/d.inc\n");
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(entriesText(), writtenEntry("BB") + writtenEntry("CC") + writtenEntry("DD"));
}

TEST_F(KeldbgenTest, IncludeProblemsAreReportedAndReadingGoesOn)
{
    writeSource("a.db", entry("AA") + "#include \"/inc/none.inc\"\n#include <>\n" + entry("BB"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("keldbgen: Could not open include file in KEL database file " + sourceName("a.db") +
                         ", line 3:\n#include \"/inc/none.inc\"\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("keldbgen: Malformed include statement in KEL database file " + sourceName("a.db") +
                         ", line 4:\n#include <>\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("not a valid"), std::string::npos) << r.err;
    EXPECT_EQ(entriesText(), writtenEntry("AA") + writtenEntry("BB"));
}

TEST_F(KeldbgenTest, DirectoryIsNoIncludeFile)
{
    std::filesystem::create_directories(root + "/inc/dir.inc");
    writeSource("a.db", entry("AA") + "#include /inc/dir.inc\n" + entry("BB"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "keldbgen: Could not open include file in KEL database file " + sourceName("a.db") +
                         ", line 3:\n#include /inc/dir.inc\n\n^\n");
    EXPECT_EQ(entriesText(), writtenEntry("AA") + writtenEntry("BB"));
}

TEST_F(KeldbgenTest, IncludeNestingStopsAtEightFiles)
{
    // a.db includes 1.inc, which includes 2.inc, ... 8.inc: the eighth
    // include would open a ninth file.
    for (int i = 1; i <= 8; i++)
        writeFile("/inc/" + std::to_string(i) + ".inc",
                  "format F" + std::to_string(i) + "\n    dll lib.so\n#include /inc/" + std::to_string(i + 1) +
                      ".inc\n");
    writeSource("a.db", "#include /inc/1.inc\n" + entry("AA"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("keldbgen: Include file nested too deeply in KEL database file /inc/7.inc, line 3:\n"),
              std::string::npos)
        << r.err;
    std::string text = entriesText();
    EXPECT_NE(text.find("format F7\n"), std::string::npos);
    EXPECT_EQ(text.find("format F8\n"), std::string::npos);
    EXPECT_NE(text.find("format AA\n"), std::string::npos);
}

TEST_F(KeldbgenTest, EachIncludeLevelCountsItsOwnLines)
{
    writeFile("/inc/bad.inc", "\n! remark\nformat ==\n");
    writeSource("a.db", "\n\n\n#include /inc/bad.inc\n");
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.rfind("keldbgen: parse error in KEL database file /inc/bad.inc, line 3:\nformat ==\n", 0), 0u)
        << r.err;

    writeFile("/inc/good.inc", "\n\n\n\n\n\n");
    writeSource("a.db", "\n#include /inc/good.inc\nformat ==\n");
    r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.rfind("keldbgen: parse error in KEL database file " + sourceName("a.db") + ", line 3:\n", 0),
              0u)
        << r.err;
}

static std::string repeated(const std::string& text, int n)
{
    std::string all;
    for (int i = 0; i < n; i++)
        all += text;
    return all;
}

// A file that includes itself (five times, as found by fuzzing) or closes a
// cycle through another file is refused where the cycle closes; a file
// included again after it ended is read again, up to the include bound.
TEST_F(KeldbgenTest, IncludeCyclesAndManyIncludesAreRefused)
{
    writeFile("/inc/self.inc", repeated("#include /inc/self.inc\n", 5) + entry("SF"));
    writeFile("/inc/b.inc", entry("BB") + "#include /inc/c.inc\n");
    writeFile("/inc/c.inc", entry("CC") + "#include /inc/b.inc\n");
    writeFile("/inc/one.inc", "");
    writeSource("a.db", "#include /inc/self.inc\n#include /inc/b.inc\n" + repeated("#include /inc/one.inc\n", 300) +
                            entry("AA"));
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("keldbgen: Include file already being read in KEL database file /inc/self.inc, line 1:\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("keldbgen: Include file already being read in KEL database file /inc/c.inc, line 3:\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("keldbgen: Too many include files in KEL database file " + sourceName("a.db")),
              std::string::npos)
        << r.err;
    EXPECT_EQ(entriesText(), writtenEntry("SF") + writtenEntry("BB") + writtenEntry("CC") + writtenEntry("AA"));
}

// Many entries of one name: the first is kept and every other one reported
// as superseded; past the entry bound the source is no valid database.
TEST_F(KeldbgenTest, ManyEntriesOfOneNameAndTheEntryBound)
{
    writeSource("a.db", repeated(entry("AA"), 3000));
    writeSource("b.db", repeated(entry("BB"), 4097), 1000000001);
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entriesText(), writtenEntry("AA"));
    std::string superseded = "keldbgen: format AA in " + sourceName("a.db") + " has been superceded by version in " +
                             sourceName("a.db") + "\n";
    size_t count = 0;
    for (size_t at = r.err.find(superseded); at != std::string::npos; at = r.err.find(superseded, at + 1))
        count++;
    EXPECT_EQ(count, 2999u);
    EXPECT_NE(r.err.find("keldbgen: too many format entries in KEL database file " + sourceName("b.db")),
              std::string::npos);
    EXPECT_NE(r.err.find("keldbgen: file " + sourceName("b.db") + " not a valid KEL database\n"), std::string::npos);
}
