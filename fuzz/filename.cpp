// File names with "#format", ":index" and "%arguments", and the Raw
// plug-in's arguments: the first line of the input follows the path of a
// small file whose bytes are the rest of the input.
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>

#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* end = static_cast<const uint8_t*>(memchr(data, '\n', size));
    size_t nameLen = end ? size_t(end - data) : size;
    std::string tail(reinterpret_cast<const char*>(data), nameLen);
    tail = tail.substr(0, strlen(tail.c_str()));

    char* formatName;
    char* args;
    int index;
    free(kelFile::parseFileName(tail.c_str(), &formatName, &index, &args));

    size_t fileSize = end ? size - nameLen - 1 : 0;
    std::string name = kelFuzzWriteFile("named", end ? end + 1 : data, fileSize) + tail;
    FuzzChoices choices(end ? end + 1 : data, fileSize);
    kelStatus sts = 0;
    if (kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts)) {
        kelFuzzReadEveryImage(file, choices);
        file->close();
    }
    return 0;
}
