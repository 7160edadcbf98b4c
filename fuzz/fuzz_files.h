// What every fuzz target needs: choices drawn from the input and scratch
// files of the fuzzing process.
#ifndef KEL_FUZZ_FILES_H
#define KEL_FUZZ_FILES_H

#include <stddef.h>
#include <stdint.h>

#include <string>

// Decisions taken from the front of the input; once it is used up every
// choice is 0. `rest` is what the decisions left.
class FuzzChoices {
public:
    FuzzChoices(const uint8_t* data, size_t size) : at(data), left(size) {}
    // Choices from the last `n` bytes of the input (fewer when it is
    // shorter), for targets whose whole input is a file.
    static FuzzChoices fromTail(const uint8_t* data, size_t size, size_t n)
    {
        return n < size ? FuzzChoices(data + size - n, n) : FuzzChoices(data, size);
    }
    // A value in 0 .. n - 1 (n > 0).
    unsigned pick(unsigned n);
    const uint8_t* rest() const { return at; }
    size_t restSize() const { return left; }

private:
    const uint8_t* at;
    size_t left;
};

// A file of this process's scratch directory, and one holding `size` bytes.
std::string kelFuzzPath(const char* name);
std::string kelFuzzWriteFile(const char* name, const void* data, size_t size);

#endif
