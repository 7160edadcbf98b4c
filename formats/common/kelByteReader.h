// Buffered reading of a plug-in's file: large positioned reads through a
// buffer, so that walking a format's small fields byte by byte costs no
// system calls, and reads of many bytes go straight into the caller's
// memory. The descriptor's own offset is never used or moved (a writer may
// share the descriptor), and the descriptor stays the caller's to close.
#ifndef KEL_BYTEREADER_H
#define KEL_BYTEREADER_H

#include <stddef.h>

#include <kel/kelStatus.h>

class kelByteReader {
public:
    kelByteReader();

    // Reading starts at offset 0 of `fd`, with nothing buffered and no error.
    void attach(int fd);
    // Forgets the buffered bytes (the file was written behind our back).
    void invalidate();

    long long tell() const { return bufOffset + (long long)pos; }
    void seek(long long offset);
    void skip(long long n) { seek(tell() + n); }

    // The next byte, or -1 at the end of the file or on a read error.
    int getByte()
    {
        if (pos < end || fill())
            return buf[pos++];
        return -1;
    }
    // Copies up to n bytes from the current offset and moves past them;
    // fewer only at the end of the file or on an error.
    size_t read(void* dst, size_t n);
    // The same at `offset`.
    size_t readAt(long long offset, void* dst, size_t n)
    {
        seek(offset);
        return read(dst, n);
    }
    // The file's size in bytes, or -1 with the error kept.
    long long fileSize();

    // errno of the last failed read; 0 when reading stopped at the end of the file.
    int error() const { return readErrno; }
    // kelREADFAILED, carrying the errno of the last failed read if there was one.
    kelStatus readFailure() const;
    // `sts`, or the read failure when a read failed on the way.
    kelStatus failedRead(kelStatus sts) const { return sts != kelOKAY && readErrno ? readFailure() : sts; }

private:
    enum { bufferSize = 128 * 1024, blockSize = 4096 };

    int fill();
    size_t readDirect(unsigned char* out, size_t n);

    int fd;
    int readErrno;
    long long bufOffset; // file offset of buf[0]
    size_t pos;
    size_t end;
    unsigned char buf[bufferSize];
};

#endif
