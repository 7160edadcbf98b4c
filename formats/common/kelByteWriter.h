// Buffered writing of a plug-in's file at an offset of its own, with
// positioned writes: the descriptor's offset is never used (a reader may
// share the descriptor) and the descriptor stays the caller's to close.
// The first failure sticks: later writes do nothing, and flush() reports it,
// so that a plug-in may write a whole header and check once.
#ifndef KEL_BYTEWRITER_H
#define KEL_BYTEWRITER_H

#include <stddef.h>

#include <kel/kelStatus.h>

class kelByteWriter {
public:
    kelByteWriter();

    // Writing starts at `offset`.
    void attach(int fd, long long offset = 0);

    // Where the next byte goes.
    long long tell() const { return bufOffset + (long long)used; }
    // Writes out what is buffered and goes on at `offset`.
    void seek(long long offset);

    void putByte(int byte)
    {
        if (used == bufferSize)
            drain();
        if (!writeErrno)
            buf[used++] = (unsigned char)byte;
    }
    void write(const void* src, size_t n);
    // Little- and big-endian integers of 2 and 4 bytes.
    void putLE16(unsigned v);
    void putLE32(unsigned long v);
    void putBE16(unsigned v);
    void putBE32(unsigned long v);

    // Writes out what is buffered: kelOKAY, or kelWRITEFAILED with the
    // errno of the first failure since attach.
    kelStatus flush();
    int failed() const { return writeErrno != 0; }
    kelStatus status() const;

private:
    enum { bufferSize = 64 * 1024 };

    void drain();
    void writeAt(const unsigned char* p, size_t n);

    int fd;
    int writeErrno;
    long long bufOffset; // file offset of buf[0]
    size_t used;
    unsigned char buf[bufferSize];
};

#endif
