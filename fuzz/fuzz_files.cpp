#include "fuzz_files.h"

#include <stdio.h>
#include <stdlib.h>

unsigned FuzzChoices::pick(unsigned n)
{
    if (left == 0)
        return 0;
    left--;
    return *at++ % n;
}

static const std::string& scratchDir()
{
    static std::string dir = [] {
        char tmpl[] = "/tmp/kel_fuzz_XXXXXX";
        if (!mkdtemp(tmpl))
            abort();
        return std::string(tmpl);
    }();
    return dir;
}

std::string kelFuzzPath(const char* name)
{
    return scratchDir() + "/" + name;
}

std::string kelFuzzWriteFile(const char* name, const void* data, size_t size)
{
    std::string path = kelFuzzPath(name);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || (size && fwrite(data, 1, size, f) != size) || fclose(f) != 0)
        abort();
    return path;
}

