// Database texts made to take long or to multiply themselves: include
// cycles, many includes, many entries and many entries of one name.
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "database_test_support.h"

namespace {

using ::testing::AllOf;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;

class DatabaseBounds : public DatabaseFiles {};

std::string regression(const std::string& name)
{
    std::ifstream in(std::string(KEL_TEST_SOURCE_DIR) + "/fuzz/regressions/database/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string repeated(const std::string& text, int n)
{
    std::string all;
    for (int i = 0; i < n; i++)
        all += text;
    return all;
}

// A database that includes itself five times (found by fuzzing) names
// itself relatively, from the working directory.
TEST_F(DatabaseBounds, FileIncludingItselfIsReadOnce)
{
    std::string path = write("in.db", regression("self-include.db"));
    EXPECT_EXIT(
        {
            CHILD_CHECK(chdir(dir.c_str()) == 0);
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("AB") != nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Error: Include file in.db is already being read in KEL database file, line 1"));
}

// A cycle through another file is refused where it closes; both files'
// entries are read once.
TEST_F(DatabaseBounds, IncludeCycleThroughAnotherFileIsRefused)
{
    std::string a = dir + "/a.db";
    std::string b = write("b.db", "format BB dll b.so\n#include " + a + "\n");
    write("a.db", "#include " + b + "\nformat AA dll a.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(a);
            CHILD_CHECK(kelDatabase::findByFormatName("AA") != nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName("BB") != nullptr);
            int count = 0;
            int index = 0;
            while (kelDatabase::findNext(index))
                count++;
            CHILD_CHECK(count == 2);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("/a.db is already being read"));
}

// The same file included again after it ended is no cycle; past the
// include bound further includes are refused with a warning.
TEST_F(DatabaseBounds, IncludesAreBoundedInNumber)
{
    std::string one = write("one.db", "format ON dll one.so\n");
    std::string path = write("db", repeated("#include " + one + "\n", 300) + "format TP dll t.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("ON") != nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName("TP") != nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        AllOf(HasSubstr("Warning: More than 256 include files in KEL database"), Not(HasSubstr("Error"))));
}

TEST_F(DatabaseBounds, EntriesAreBoundedInNumber)
{
    std::string path = write("db", repeated("format AA dll a.so\n", 4097));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB::getDictionary();
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Error: too many format entries in KEL database file, line 4097"));
}

// 4000 entries of one name (found by fuzzing), all removed by validation.
TEST_F(DatabaseBounds, ManyEntriesOfOneNameAreRemovedOnce)
{
    std::string path = write("db", regression("same-name-4000.db"));
    EXPECT_EXIT(
        {
            int removals = 0;
            kelSetErrorHandler(
                [](void* count, int, const char* fmt, va_list) {
                    if (strstr(fmt, "format removed"))
                        ++*static_cast<int*>(count);
                },
                &removals);
            setenv("KEL_DATABASE", path.c_str(), 1);
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(removals == 4000);
            CHILD_CHECK(kelFormatDB::getDictionary()->getNumEntries() == 0);
            exit(0);
        },
        ExitedWithCode(0), testing::_);
}

// Kept and removed entries of one name alternate: after validation the
// first kept one in reading order is the one found by name, and every kept
// one is still listed.
TEST_F(DatabaseBounds, FirstKeptEntryOfANameIsFoundAfterValidation)
{
    std::string text;
    for (int i = 0; i < 2000; i++)
        text += "format Aa description \"d" + std::to_string(i) + "\" subsystem ss" + (i % 2 ? " dll a.so\n" : "\n");
    std::string path = write("db", text);
    EXPECT_EXIT(
        {
            kelSetErrorHandler(kelSilentErrorHandler, nullptr);
            setenv("KEL_DATABASE", path.c_str(), 1);
            CHILD_CHECK(strcmp(kelDatabase::findByFormatName("AA")->getDescription(), "d1") == 0);
            int kept = 0;
            int index = 0;
            while (kelDatabase* e = kelDatabase::findNext(index))
                kept += e->getDSOName() != nullptr;
            CHILD_CHECK(kept == 1000);
            exit(0);
        },
        ExitedWithCode(0), testing::_);
}

} // namespace
