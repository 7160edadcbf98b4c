// The byte reader and writer where the plug-ins' tests do not reach. Bytes
// rewritten behind the reader's back show whether it served them from its
// buffer or from the file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "kelByteReader.h"
#include "kelByteWriter.h"

namespace {

// Every byte of a 1 MiB file becomes `value`.
void fill(int fd, unsigned char value)
{
    const std::vector<unsigned char> bytes(1 << 20, value);
    ASSERT_EQ(ssize_t(bytes.size()), pwrite(fd, bytes.data(), bytes.size(), 0));
}

TEST(ByteWriter, FirstFailureSticksAndFlushReportsIt)
{
    const std::vector<unsigned char> large(200000, 1);
    for (const int err : {ENOSPC, EBADF}) {
        const int fd = err == ENOSPC ? open("/dev/full", O_WRONLY) : open("/dev/null", O_RDONLY);
        kelByteWriter w;
        w.attach(fd);
        w.putLE32(7);
        EXPECT_FALSE(w.failed()); // still buffered
        w.write(large.data(), large.size());
        w.seek(0);
        w.putByte(1);
        EXPECT_EQ(kelComposeStatus(kelWRITEFAILED, 1, err), w.flush());
        EXPECT_EQ(kelComposeStatus(kelWRITEFAILED, 1, err), w.flush());
        EXPECT_EQ(0, close(fd)); // the writer left it open
    }
}

TEST(ByteReader, ReadAheadServesSeeksAndLargeReadsGoPastIt)
{
    const long long bufferBytes = 128 * 1024, block = 4096; // the reader's
    FILE* file = tmpfile();
    const int fd = fileno(file);
    fill(fd, 'a');
    kelByteReader r;
    r.attach(fd);
    r.seek(5000);
    EXPECT_EQ('a', r.getByte()); // reads ahead from the block before
    fill(fd, 'b');
    r.seek(block + bufferBytes - 1);
    EXPECT_EQ('a', r.getByte()); // the last byte read ahead
    EXPECT_EQ('b', r.getByte()); // and the next read
    // From inside the buffer, a read of more than it holds takes the rest
    // of the buffer, then the file straight into the caller's memory.
    const long long start = r.tell() + 1000;
    fill(fd, 'c');
    std::vector<unsigned char> out(300000);
    ASSERT_EQ(out.size(), r.readAt(start, out.data(), out.size()));
    const long buffered = long(block + 2 * bufferBytes - start);
    EXPECT_EQ(buffered, std::count(out.begin(), out.begin() + buffered, 'b'));
    EXPECT_EQ(long(out.size()) - buffered, std::count(out.begin() + buffered, out.end(), 'c'));
    fill(fd, 'd');
    EXPECT_EQ('d', r.getByte()); // nothing was read ahead past it
    r.attach(fd); // afresh, at offset 0
    EXPECT_EQ(0, r.tell());
    EXPECT_EQ('d', r.getByte());
    EXPECT_EQ(0, r.error());
    EXPECT_EQ(0, fclose(file)); // the reader left the descriptor open
}

} // namespace
