#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>
#include <kel/kel.h>

#include "tile_memfile.h"

namespace {

std::string lastMessage;
int messageCount = 0;

void captureMessage(void*, int, const char* fmt, va_list args)
{
    char text[512];
    vsnprintf(text, sizeof text, fmt, args);
    lastMessage = text;
    ++messageCount;
}

// Caps this process's address space a little above what it uses now, so
// that a large allocation fails. Only ever called in a death-test child.
void limitAddressSpace()
{
    long pages = 0;
    FILE* statm = fopen("/proc/self/statm", "r");
    if (!statm || fscanf(statm, "%ld", &pages) != 1)
        exit(2);
    fclose(statm);
    rlim_t limit = rlim_t(pages) * sysconf(_SC_PAGESIZE) + (rlim_t(256) << 20);
    struct rlimit rl = {limit, limit};
    if (setrlimit(RLIMIT_AS, &rl) != 0)
        exit(3);
}

// Runs in the child: one pixel through a file whose page cannot be
// allocated. Prints the message and exits 0 when the status is right.
void transferThroughHugePage(kelDataType type, bool write)
{
    MemFile file(kelSize(32768, 32768, 1, 1), kelSize(32768, 32768, 1, 1), kelInterleaved, kelLowerLeftOrigin,
                 type);
    kelSetLocalErrorHandler capture(captureMessage, nullptr);
    limitAddressSpace();
    unsigned short pixel[1] = {0};
    kelStatus st = write ? file.setTile(5, 5, 0, 1, 1, 1, pixel) : file.getTile(5, 5, 0, 1, 1, 1, pixel);
    fprintf(stderr, "%s\n", lastMessage.c_str());
    bool ok = kelStatusMain(st) == kelMALLOCFAILED && kelStatusKind(st) == 1 && kelStatusErrno(st) == ENOMEM &&
              messageCount == 1 && file.gets.empty() && file.sets.empty();
    exit(ok ? 0 : 1);
}

#if defined(__SANITIZE_ADDRESS__)
#define KEL_ALLOCATION_FAILS_CLEANLY 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEL_ALLOCATION_FAILS_CLEANLY 0
#endif
#endif
#ifndef KEL_ALLOCATION_FAILS_CLEANLY
#define KEL_ALLOCATION_FAILS_CLEANLY 1
#endif

} // namespace

// The sanitizer's allocator ends the process instead of failing, so these
// run in plain builds only.
TEST(TileAllocationDeathTest, PageThatCannotBeAllocatedGivesMallocFailed)
{
    if (!KEL_ALLOCATION_FAILS_CLEANLY)
        GTEST_SKIP() << "allocation failures abort under AddressSanitizer";
    EXPECT_EXIT(transferThroughHugePage(kelUChar, false), testing::ExitedWithCode(0),
                "kelFile::getTile\\(\\): couldn't allocate a page of 1073741824 bytes: Cannot allocate memory");
}

TEST(TileAllocationDeathTest, ByteCountsBeyondIntAreReportedInFull)
{
    if (!KEL_ALLOCATION_FAILS_CLEANLY)
        GTEST_SKIP() << "allocation failures abort under AddressSanitizer";
    EXPECT_EXIT(transferThroughHugePage(kelUShort, true), testing::ExitedWithCode(0),
                "kelFile::getTile\\(\\): couldn't allocate a page of 2147483648 bytes: Cannot allocate memory");
}

TEST(TileAllocation, PagesBeyondIntElementsAreRefusedUnallocated)
{
    MemFile file(kelSize(65536, 65536, 1, 1), kelSize(65536, 65536, 1, 1));
    kelSetLocalErrorHandler capture(captureMessage, nullptr);
    int before = messageCount;
    unsigned char pixel[1] = {0};
    EXPECT_EQ(kelBADPARAMS, file.getTile(0, 0, 0, 1, 1, 1, pixel));
    EXPECT_EQ(before, messageCount);
    EXPECT_TRUE(file.gets.empty());
}

TEST(TileAllocation, PageWithoutExtentIsRefused)
{
    MemFile file(kelSize(4, 4, 1, 1), kelSize(4, 0, 1, 1));
    unsigned char pixel[1] = {0};
    EXPECT_EQ(kelBADPARAMS, file.getTile(0, 0, 0, 1, 1, 1, pixel));
    EXPECT_TRUE(file.gets.empty());
}
