// Finding, reading and validating the database file.
#include <string.h>

#include <algorithm>

#include "database_test_support.h"
#include "kelPlatform.h"

namespace {

using ::testing::AllOf;
using ::testing::ContainsRegex;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;

class DatabaseLoad : public DatabaseFiles {};

// Each re-executed child makes its own test directory.
const std::string anyDir = "/tmp/kel_dbtest_[^/]+";

const char* const includedNames[] = {"AA", "BB", "CC", "DD", "EE"};
const char* const nestedNames[] = {"L1", "L4", "L7", "TP"};

TEST_F(DatabaseLoad, MissingFileIsReportedOnceAndLeavesAnEmptyDatabase)
{
    std::string path = dir + "/absent";
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelFormatDB::getDictionary() == nullptr);
            kelDictionary* again = kelFormatDB::getDictionary();
            CHILD_CHECK(again != nullptr && again->getNumEntries() == 0);
            CHILD_CHECK(kelDatabase::findByFormatName("GIF") == nullptr);
            fprintf(stderr, "done\n");
            exit(0);
        },
        ExitedWithCode(0),
        ContainsRegex("Error: Couldn't open file format database " + anyDir + "/absent:\n\tNo such file or directory\ndone\n"));
}

TEST_F(DatabaseLoad, WithoutTheVariableTheSystemDirectoryIsUsed)
{
    std::string path = std::string(kelPlatformSystemDirectory()) + "/kel_database0";
    if (access(path.c_str(), F_OK) == 0)
        GTEST_SKIP() << path << " is installed";
    EXPECT_EXIT(
        {
            kelSetErrorHandler(kelTestPrintingHandler, nullptr);
            unsetenv("KEL_DATABASE");
            CHILD_CHECK(kelFormatDB::getDictionary() == nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Error: Couldn't open file format database " + path + ":\n\t"));
}

TEST_F(DatabaseLoad, ValidationWarnsInOrderBeforeRemoving)
{
    std::string path = write("db", "format AB\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName("AB") == nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        ContainsRegex("^Warning: " + anyDir + "/db missing description for AB\n" + "Warning: " + anyDir +
                      "/db missing required DSO name for AB\n" + "Warning: " + anyDir +
                      "/db missing inst sub-system name for AB\n" + "Warning: AB format removed from KEL database\n$"));
}

TEST_F(DatabaseLoad, DefaultsMissingDescriptionAndSubsystem)
{
    std::string path = write("db", "format AB dll ab.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDatabase* e = kelDatabase::findByFormatName("AB");
            CHILD_CHECK(e && strcmp(e->getDescription(), "AB") == 0);
            CHILD_CHECK(strcmp(e->getInstSubSystem(), "unknown") == 0);
            exit(0);
        },
        ExitedWithCode(0),
        AllOf(ContainsRegex("Warning: " + anyDir + "/db missing description for AB\n"),
              ContainsRegex("Warning: " + anyDir + "/db missing inst sub-system name for AB\n"), Not(HasSubstr("removed"))));
}

TEST_F(DatabaseLoad, EntryWithoutLibraryIsRemoved)
{
    std::string path = write("db", "format AB description \"d\" subsystem ss\nformat CD dll cd.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("AB") == nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName("CD") != nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        AllOf(ContainsRegex("Warning: " + anyDir + "/db missing required DSO name for AB\n"),
              HasSubstr("Warning: AB format removed from KEL database\n")));
}

// Counts the entries that validation removes, each by its name.
void countRemovals(void* removedNames, int, const char* fmt, va_list args)
{
    if (strstr(fmt, "format removed")) {
        char text[256];
        vsnprintf(text, sizeof text, fmt, args);
        static_cast<std::vector<std::string>*>(removedNames)->push_back(text);
    }
}

// The sixteen spellings of "abcd" hash alike, so they share one probe
// sequence, and every removal moves the entries behind it: each entry must
// still be validated exactly once.
TEST_F(DatabaseLoad, ValidationVisitsEveryEntryOnceWhileRemovalsMoveOthers)
{
    std::string text;
    std::vector<std::string> names;
    for (int bits = 0; bits < 16; bits++) {
        std::string name = "abcd";
        for (int i = 0; i < 4; i++)
            if (bits & (1 << i))
                name[size_t(i)] = char(name[size_t(i)] - 'a' + 'A');
        names.push_back(name);
        text += "format " + name + " description \"d\" subsystem ss" + (bits % 2 ? "\n" : " dll x.so\n");
    }
    std::string path = write("db", text);
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            std::vector<std::string> removed;
            kelSetErrorHandler(countRemovals, &removed);
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(removed.size() == 8);
            for (int bits = 1; bits < 16; bits += 2)
                CHILD_CHECK(std::count(removed.begin(), removed.end(), names[size_t(bits)] +
                                                                           " format removed from KEL database") == 1);
            int index = 0;
            int kept = 0;
            while (kelDatabase* e = kelDatabase::findNext(index))
                kept += e->getDSOName() != nullptr;
            CHILD_CHECK(kept == 8);
            // Names equal but for case: the first on the probe sequence is found.
            CHILD_CHECK(strcmp(kelDatabase::findByFormatName("ABCD")->getName(), "abcd") == 0);
            exit(0);
        },
        ExitedWithCode(0), testing::_);
}

TEST_F(DatabaseLoad, ForeignOnlyEntryIsSilentlyAbsentAndDllWinsOverDso)
{
    std::string path = write("db", "format AB description \"d\" subsystem ss dso ab.dll\n"
                                   "format CD description \"d\" subsystem ss dso cd.dll dll cd.so\n"
                                   "format EF description \"d\" subsystem ss dll ef.so dso ef.dll\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("AB") == nullptr);
            CHILD_CHECK(strcmp(kelDatabase::findByFormatName("CD")->getDSOName(), "cd.so") == 0);
            CHILD_CHECK(strcmp(kelDatabase::findByFormatName("EF")->getDSOName(), "ef.so") == 0);
            fprintf(stderr, "done\n");
            exit(0);
        },
        ExitedWithCode(0), ::testing::StrEq("done\n"));
}

TEST_F(DatabaseLoad, MaxNeedIsTheLargestNeedOfKeptRules)
{
    std::string path = write("db", "format AB dll ab.so match uint(0) == 1\n"
                                   "format CD dll cd.so match string(4,8) == \"12345678\"\n"
                                   "format EF dll ef.so\n"
                                   "format GH match uchar(40) == 1\n"
                                   "format IJ dll ij.so match uchar(-1) == 1\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB::getDictionary();
            CHILD_CHECK(kelFormatDB::getMaxNeeded() == 12);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("GH format removed"));
}

TEST_F(DatabaseLoad, CarriageReturnLineFeedFilesLoad)
{
    std::string path = write("db", "format AB\r\n  description \"d\"\r\n  dll ab.so\r\n  subsystem ss\r\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(strcmp(kelDatabase::findByFormatName("AB")->getInstSubSystem(), "ss") == 0);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseLoad, IncludeNamesInEveryQuoting)
{
    std::string a = write("a", "format AA dll a.so\n");
    std::string b = write("b", "format BB dll b.so\n");
    std::string c = write("c", "format CC dll c.so\n");
    std::string d = write("d", "format DD dll d.so\n");
    std::string path = write("db", "#include " + a + "\n#  include <" + b + ">\n#\tinclude \"" + c + "\"\n#include '" +
                                       d + "' rest is ignored\nformat EE dll e.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            for (const char* name : includedNames)
                CHILD_CHECK(kelDatabase::findByFormatName(name) != nullptr);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseLoad, NinthFileLevelIsRefusedAndReadingGoesOn)
{
    // db includes l1, l1 includes l2, ... l8 would be the ninth open file.
    std::string next = write("l8", "format LE dll l8.so\n");
    for (int level = 7; level >= 1; level--)
        next = write("l" + std::to_string(level), "#include " + next + "\nformat L" + std::to_string(level) +
                                                       " dll l.so\n");
    std::string path = write("db", "#include " + next + "\nformat TP dll t.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("LE") == nullptr);
            for (const char* name : nestedNames)
                CHILD_CHECK(kelDatabase::findByFormatName(name) != nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Warning: Include files nested too deep in KEL database\n"));
}

// A directory opens on this platform but reads as empty: it is refused
// like a missing file, as the database and as an include file.
TEST_F(DatabaseLoad, DirectoryIsNoDatabaseFile)
{
    EXPECT_EXIT(
        {
            kelTestUseDatabase(dir);
            CHILD_CHECK(kelFormatDB::getDictionary() == nullptr);
            exit(0);
        },
        ExitedWithCode(0), ContainsRegex("^Error: Couldn't open file format database " + anyDir + ":\n\tIs a directory\n$"));
    std::string path = write("db", "#include " + dir + "\nformat AB description \"d\" dll ab.so subsystem ss\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("AB") != nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        ContainsRegex("^Error: Couldn't open file format database include file: " + anyDir + "\n\tIs a directory\n$"));
}

TEST_F(DatabaseLoad, MalformedAndMissingIncludes)
{
    std::string missing = dir + "/nothere";
    std::string path = write("db", "#include <>\n#include \"" + missing + "\"\nformat AB dll ab.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("AB") != nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        AllOf(HasSubstr("Warning: Malformed include statement in KEL database\n"),
              ContainsRegex("Error: Couldn't open file format database include file: " + anyDir +
                            "/nothere\n\tNo such file or directory\n")));
}

TEST_F(DatabaseLoad, DefaultErrorHandlerEndsTheProcessOnASyntaxError)
{
    std::string path = write("db", "format AB dll ab.so\nformat\n");
    EXPECT_EXIT(
        {
            setenv("KEL_DATABASE", path.c_str(), 1);
            unsetenv("KEL_ROBUST");
            unsetenv("KEL_SILENT");
            kelFormatDB::getDictionary();
            exit(0);
        },
        ExitedWithCode(1), HasSubstr("Error: parse error in KEL database file, line 3:"));
}

TEST_F(DatabaseLoad, SyntaxErrorLeavesEntriesUnvalidated)
{
    std::string path = write("db", "format AB dll ab.so match uchar(3) == 1\nformat CD dso cd.dll\nformat EF\n"
                                   "format GH dll\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB* ab = kelTestEntry("AB");
            CHILD_CHECK(ab && ab->getDescription() == nullptr && ab->getInstSubSystem() == nullptr);
            CHILD_CHECK(kelFormatDB::getMaxNeeded() == 0);
            CHILD_CHECK(kelTestEntry("CD") && kelTestEntry("EF") && kelTestEntry("GH"));
            exit(0);
        },
        ExitedWithCode(0), AllOf(HasSubstr("parse error"), Not(HasSubstr("Warning"))));
}

int openDescriptors()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        count += entry.path().filename() != "." ? 1 : 0;
    return count;
}

TEST_F(DatabaseLoad, SyntaxErrorInAnIncludedFileClosesEveryFile)
{
    std::string inner = write("inner", "format IN dll in.so\nformat 12\nformat AB\n");
    std::string outer = write("outer", "#include " + inner + "\n");
    std::string path = write("db", "#include " + outer + "\nformat OUT dll out.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            int before = openDescriptors();
            kelFormatDB::getDictionary();
            CHILD_CHECK(openDescriptors() == before);
            CHILD_CHECK(kelTestEntry("IN") != nullptr && kelTestEntry("OUT") == nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("parse error in KEL database file, line 4:\nformat 12\n\n       ^"));
}

} // namespace
