// Finding entries by position, name, suffix and leading bytes, and loading
// their plug-ins.
#include <fcntl.h>
#include <sys/resource.h>
#include <string.h>

#include "database_test_support.h"

namespace {

using ::testing::AllOf;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StrEq;

class DatabaseLookup : public DatabaseFiles {
protected:
    // Opens a new file holding `bytes` for reading.
    int openBytes(const std::string& bytes)
    {
        return open(write("data" + std::to_string(files++), bytes).c_str(), O_RDONLY);
    }

    int files = 0;
};

TEST_F(DatabaseLookup, ByNameIgnoresCase)
{
    std::string path = write("db", "format GIF dll g.so\nformat Tiff dll t.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("gif") == kelDatabase::findByFormatName("GIF"));
            CHILD_CHECK(strcmp(kelDatabase::findByFormatName("TIFF")->getName(), "Tiff") == 0);
            CHILD_CHECK(kelDatabase::findByFormatName("GIF8") == nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName(nullptr) == nullptr);
            int index = 0;
            int count = 0;
            while (kelDatabase::findNext(index))
                count++;
            CHILD_CHECK(count == 2);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseLookup, BySuffixIsCaseSensitiveAndNeedsALongerName)
{
    std::string path = write("db", "format GIF dll g.so suffixes .gif, .giff match uchar(0) == 71\n"
                                   "format RAW dll r.so suffixes .raw, \".GIF\"\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDatabase* gif = kelDatabase::findByFormatName("GIF");
            kelDatabase* raw = kelDatabase::findByFormatName("RAW");
            CHILD_CHECK(kelDatabase::findByFileName("a.gif", 0) == gif);
            CHILD_CHECK(kelDatabase::findByFileName("dir/a.giff", 0) == gif);
            CHILD_CHECK(kelDatabase::findByFileName(".gif", 0) == nullptr);
            CHILD_CHECK(kelDatabase::findByFileName("gif", 0) == nullptr);
            CHILD_CHECK(kelDatabase::findByFileName("a.GIF", 0) == raw);
            CHILD_CHECK(kelDatabase::findByFileName("a.Gif", 0) == nullptr);
            // Formats with a match rule are skipped on request.
            CHILD_CHECK(kelDatabase::findByFileName("a.gif", 1) == nullptr);
            CHILD_CHECK(kelDatabase::findByFileName("a.raw", 1) == raw);
            CHILD_CHECK(kelDatabase::findByFileName(nullptr, 0) == nullptr);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseLookup, DefaultSuffixAndAccessModes)
{
    std::string path = write("db", "format TIFF dll t.so suffixes .tif, .tiff access readonly\n"
                                   "format NOSUF dll n.so access writeonly\nformat RW dll r.so\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDatabase* tiff = kelDatabase::findByFormatName("TIFF");
            kelDatabase* nosuf = kelDatabase::findByFormatName("NOSUF");
            kelDatabase* rw = kelDatabase::findByFormatName("RW");
            CHILD_CHECK(strcmp(tiff->getDefaultSuffix(), ".tif") == 0);
            CHILD_CHECK(nosuf->getDefaultSuffix() == nullptr);
            CHILD_CHECK(tiff->accessModeIsSupported(0) && !tiff->accessModeIsSupported(1));
            CHILD_CHECK(!nosuf->accessModeIsSupported(0) && nosuf->accessModeIsSupported(1));
            CHILD_CHECK(rw->accessModeIsSupported(0) && rw->accessModeIsSupported(1) && rw->accessModeIsSupported(2));
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseLookup, ByMagicEvaluatesOnlyRulesCoveredByTheBytesRead)
{
    std::string path = write("db", "format SIG dll s.so match string(0,4) == \"SIG4\"\n"
                                   "format BIG dll b.so match uint(0) == 0xFFFFFFFF && uint(0) < 0\n"
                                   "format NORULE dll n.so\n");
    int sig = openBytes("SIG4 and more"), shortFile = openBytes("SIG"), ones = openBytes("\xff\xff\xff\xff");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByMagic(sig) == kelDatabase::findByFormatName("SIG"));
            CHILD_CHECK(kelDatabase::findByMagic(shortFile) == nullptr);
            CHILD_CHECK(kelDatabase::findByMagic(ones) == kelDatabase::findByFormatName("BIG"));
            // The file is read from its start whatever its position.
            CHILD_CHECK(lseek(sig, 3, SEEK_SET) == 3);
            CHILD_CHECK(kelDatabase::findByMagic(sig) == kelDatabase::findByFormatName("SIG"));
            // A descriptor that cannot be read matches nothing.
            CHILD_CHECK(kelDatabase::findByMagic(-1) == nullptr);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
    close(sig);
    close(shortFile);
    close(ones);
}

// Inside a child: at most 1 GiB of address space, so that an allocation of
// several gigabytes fails. The address sanitizer reserves far more than that
// for itself, so its builds go without the limit.
void limitAddressSpace()
{
#if !defined(__SANITIZE_ADDRESS__)
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = rlim_t(1) << 30;
    CHILD_CHECK(setrlimit(RLIMIT_AS, &limit) == 0);
#endif
}

// Memory for the leading bytes follows what the file provides, not the
// largest need: a device that yields no bytes costs next to nothing.
TEST_F(DatabaseLookup, ByMagicAllocatesOnlyForBytesRead)
{
    std::string path = write("db", "format HUGE dll h.so match string(0,2000000000) == \"x\"\n"
                                   "format ANY dll a.so match 1 == 1\n");
    int device = open("/dev/null", O_RDONLY);
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(kelFormatDB::getMaxNeeded() == 2000000000);
            limitAddressSpace();
            CHILD_CHECK(kelDatabase::findByMagic(device) == kelDatabase::findByFormatName("ANY"));
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
    close(device);
}

// Bytes taken from a pipe could not be put back for the caller: a
// descriptor that cannot be positioned is not read, and only rules that
// need no bytes match it.
TEST_F(DatabaseLookup, ByMagicLeavesUnpositionableDescriptorsUnread)
{
    std::string path = write("db", "format PIPE dll p.so match string(0,4) == \"PIPE\"\n");
    std::string constant = write("constant", "format PIPE dll p.so match string(0,4) == \"PIPE\"\n"
                                             "format ANY dll a.so match 1 == 1\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            int fds[2];
            CHILD_CHECK(pipe(fds) == 0);
            CHILD_CHECK(::write(fds[1], "PIPE", 4) == 4);
            close(fds[1]);
            CHILD_CHECK(kelDatabase::findByMagic(fds[0]) == nullptr);
            char back[8];
            CHILD_CHECK(read(fds[0], back, sizeof back) == 4 && memcmp(back, "PIPE", 4) == 0);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(constant);
            int fds[2];
            CHILD_CHECK(pipe(fds) == 0);
            CHILD_CHECK(::write(fds[1], "PIPE", 4) == 4);
            CHILD_CHECK(kelDatabase::findByMagic(fds[0]) == kelDatabase::findByFormatName("ANY"));
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseLookup, EmptyFileMatchesOnlyRulesNeedingNoBytes)
{
    std::string path = write("db", "format ONE dll o.so match uchar(0) == 0\nformat ANY dll a.so match 1 == 1\n");
    std::string none = write("none", "format ONE dll o.so match uchar(0) == 0\n");
    int empty = openBytes("");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByMagic(empty) == kelDatabase::findByFormatName("ANY"));
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
    // With maxNeed 0 (no rule reads bytes after a failed parse) nothing is read.
    std::string broken = write("broken", "format ZERO dll z.so match 2 > 1\nformat ONE dll o.so match uchar(0)==0 ;\n");
    int zero = openBytes(std::string(1, '\0'));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(broken);
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(kelFormatDB::getMaxNeeded() == 0);
            CHILD_CHECK(kelDatabase::findByMagic(zero) == kelDatabase::findByFormatName("ZERO"));
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("parse error"));
    close(empty);
    close(zero);
}

TEST_F(DatabaseLookup, NoDatabaseMeansNoEntries)
{
    std::string path = dir + "/absent";
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            int index = 0;
            CHILD_CHECK(kelDatabase::findNext(index) == nullptr);
            CHILD_CHECK(kelDatabase::findByFileName("a.gif", 0) == nullptr);
            CHILD_CHECK(kelDatabase::findByMagic(0) == nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Couldn't open file format database"));
}

// Test plug-ins are built beside the core library, where a bare library
// name is looked for.
std::string pluginName(const char* target)
{
    return std::string("lib") + target + ".so";
}

TEST_F(DatabaseLookup, LoadingRegistersTheFormatObject)
{
    std::string path = write("db", "format TestRegistered description \"t\" subsystem ts dll " + pluginName("kelTestRegistering") + "\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB* e = kelTestEntry("TestRegistered");
            CHILD_CHECK(e->getFormat(0) == nullptr);
            CHILD_CHECK(!e->haveDSOVersion(1, 0));
            kelFormat* fmt = e->getFormat(1);
            CHILD_CHECK(fmt != nullptr && e->getFormat(0) == fmt && e->getFormat(1) == fmt);
            CHILD_CHECK(e->haveDSOVersion(1, 3) && e->haveDSOVersion(0, 9) && e->haveDSOVersion(1, 0));
            CHILD_CHECK(!e->haveDSOVersion(1, 4) && !e->haveDSOVersion(2, 0));
            fprintf(stderr, "done\n");
            exit(0);
        },
        ExitedWithCode(0), StrEq("done\n"));
}

TEST_F(DatabaseLookup, LibraryThatRegistersNothing)
{
    std::string lib = pluginName("kelTestNoFormat");
    std::string path = write("db", "format NoFormat dll " + lib + "\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDatabase* e = kelDatabase::findByFormatName("NoFormat");
            CHILD_CHECK(e->getFormat(1) == nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        HasSubstr("Error: The dynamic shared object " + lib + " failed to register\n\ta file format called \"NoFormat\"\n"));
}

TEST_F(DatabaseLookup, MissingLibraryIsReportedOnEveryTry)
{
    std::string path = write("db", "format NOLIB description \"d\" dll libkelNoSuchPlugin0.so subsystem kel.sw.nolib\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDatabase* e = kelDatabase::findByFormatName("NOLIB");
            CHILD_CHECK(e->getFormat(0) == nullptr);
            fprintf(stderr, "quiet so far\n");
            CHILD_CHECK(e->getFormat(1) == nullptr);
            CHILD_CHECK(e->getFormat(1) == nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        AllOf(HasSubstr("quiet so far\nError: Dynamic shared object \"libkelNoSuchPlugin0.so\" version " +
                        std::string(libkelVersion) +
                        " not found\n\tfor run-time linking NOLIB-format-specific code.\n\tThis file can be found "
                        "in the appropriate\n\tversion of the product kel.sw.nolib.\nError: Dynamic"),
              Not(HasSubstr("Warning"))));
}

TEST_F(DatabaseLookup, MissingLibraryWithoutSubsystem)
{
    // The failed parse leaves the entry without the defaulted sub-system.
    std::string path = write("db", "format NOLIB dll libkelNoSuchPlugin0.so\nformat\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("NOLIB")->getFormat(1) == nullptr);
            exit(0);
        },
        ExitedWithCode(0),
        HasSubstr("Error: Dynamic shared object \"libkelNoSuchPlugin0.so\" version " + std::string(libkelVersion) +
                  " not found\n\tfor run-time linking NOLIB-format-specific code.\n\n"));
}

TEST_F(DatabaseLookup, UnvalidatedEntriesWithoutLibraryNeverLoad)
{
    std::string path = write("db", "format NODLL description \"d\"\nformat FOREIGN dso x.dll\nformat\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelDatabase::findByFormatName("NODLL")->getFormat(1) == nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName("FOREIGN")->getFormat(1) == nullptr);
            fprintf(stderr, "done\n");
            exit(0);
        },
        ExitedWithCode(0), AllOf(HasSubstr("parse error"), HasSubstr("done\n"), Not(HasSubstr("Dynamic")),
                                 Not(HasSubstr("Internal KEL error"))));
}

TEST(DatabaseLibraryName, DebugNameInsertsSuffixBeforeTheExtension)
{
    EXPECT_EQ(kelFormatDB::debugLibraryName("libkelGIF0.so"), "libkelGIF0_d.so");
    EXPECT_EQ(kelFormatDB::debugLibraryName("/opt/kel.d/libkelGIF0.so"), "/opt/kel.d/libkelGIF0_d.so");
    EXPECT_EQ(kelFormatDB::debugLibraryName("/opt/kel.d/plugin"), "/opt/kel.d/plugin_d");
    EXPECT_EQ(kelFormatDB::debugLibraryName("plugin"), "plugin_d");
}

} // namespace
