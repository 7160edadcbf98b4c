// The byte reader and writer on their own, where the plug-ins' tests do not
// reach: errors that stick until flush() reports them, bytes read ahead
// and served again after a seek, large reads past the buffer, and
// descriptors that stay open. Bytes rewritten behind the reader's back show
// whether it served them from its buffer or from the file.
#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kelByteReader.h"
#include "kelByteWriter.h"

namespace {

const int fileBytes = 1 << 20;
// The reader's buffer and the blocks at which it starts.
const long long bufferBytes = 128 * 1024, block = 4096;

struct ScratchFile {
    ScratchFile() : path("/tmp/kel_byte_source_XXXXXX"), fd(mkstemp(&path[0])) {}
    ~ScratchFile()
    {
        close(fd);
        unlink(path.c_str());
    }
    // Every byte of the file becomes `value`.
    void fill(unsigned char value) const
    {
        const std::vector<unsigned char> bytes(fileBytes, value);
        ASSERT_EQ(fileBytes, pwrite(fd, bytes.data(), bytes.size(), 0));
    }
    std::string path;
    int fd;
};

TEST(ByteWriter, FirstFailureSticksAndFlushReportsIt)
{
    ScratchFile file;
    const struct {
        int fd;
        int err;
    } cases[] = {{open("/dev/full", O_WRONLY), ENOSPC}, {open(file.path.c_str(), O_RDONLY), EBADF}};
    const std::vector<unsigned char> large(200000, 1);
    for (const auto& c : cases) {
        ASSERT_GE(c.fd, 0);
        {
            kelByteWriter w;
            w.attach(c.fd);
            w.putLE32(7);
            EXPECT_FALSE(w.failed()); // still buffered
            w.write(large.data(), large.size());
            EXPECT_TRUE(w.failed());
            w.seek(0);
            w.putByte(1);
            EXPECT_EQ(kelComposeStatus(kelWRITEFAILED, 1, c.err), w.flush());
            EXPECT_EQ(kelComposeStatus(kelWRITEFAILED, 1, c.err), w.flush());
        }
        EXPECT_EQ(0, close(c.fd)); // the writer left it open
    }
}

TEST(ByteReader, ReadAheadServesSeeksAndLargeReadsGoPastIt)
{
    ScratchFile file;
    file.fill('a');
    {
        kelByteReader r;
        r.attach(file.fd);
        r.seek(5000);
        EXPECT_EQ('a', r.getByte()); // reads ahead from the block before
        file.fill('b');
        r.seek(block);
        EXPECT_EQ('a', r.getByte());
        r.seek(block + bufferBytes - 1);
        EXPECT_EQ('a', r.getByte()); // the last byte read ahead
        EXPECT_EQ('b', r.getByte()); // and the next read

        // From inside the buffer, a read of more than it holds takes the
        // rest of the buffer, then the file straight into the caller's memory.
        const long long start = r.tell() + 1000;
        file.fill('c');
        std::vector<unsigned char> out(300000);
        ASSERT_EQ(out.size(), r.readAt(start, out.data(), out.size()));
        const long buffered = long(block + 2 * bufferBytes - start);
        EXPECT_EQ(buffered, std::count(out.begin(), out.begin() + buffered, 'b'));
        EXPECT_EQ(long(out.size()) - buffered, std::count(out.begin() + buffered, out.end(), 'c'));
        file.fill('d');
        EXPECT_EQ('d', r.getByte()); // nothing was read ahead past it

        // Attached again, it starts afresh at offset 0.
        r.attach(file.fd);
        EXPECT_EQ(0, r.tell());
        EXPECT_EQ('d', r.getByte());
        EXPECT_EQ(0, r.error());
    }
    EXPECT_NE(-1, fcntl(file.fd, F_GETFD)); // the reader left it open
}

} // namespace
