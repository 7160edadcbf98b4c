// The file class of the ItemProbe test format: a 1 x 1 image without pixel
// data whose items live in the object. Tests use it through the plug-in and
// directly.
#ifndef KEL_TESTS_ITEMPROBEFILE_H
#define KEL_TESTS_ITEMPROBEFILE_H

#include <kel/kelFile.h>

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "itemProbe.h"

class ItemProbeFile : public kelFile {
public:
    ~ItemProbeFile() override { free(label); }

    // The variadic forms stay callable beside the overrides.
    using kelFile::getItem;
    using kelFile::setItem;

    kelStatus getItem(int tag, va_list args) override
    {
        switch (tag) {
        case itemProbeCount:
            *va_arg(args, int*) = count;
            return kelOKAY;
        case itemProbeGamma:
            *va_arg(args, double*) = gamma;
            return kelOKAY;
        case itemProbeLabel:
            *va_arg(args, char**) = label;
            return kelOKAY;
        case itemProbeColor:
            for (int& v : color)
                *va_arg(args, int*) = v;
            return kelOKAY;
        case itemProbeLevel:
            *va_arg(args, short*) = level;
            return kelOKAY;
        default:
            return kelFile::getItem(tag, args);
        }
    }

    kelStatus setItem(int tag, va_list args) override
    {
        switch (tag) {
        case itemProbeCount:
            count = va_arg(args, int);
            return kelOKAY;
        case itemProbeGamma:
            gamma = va_arg(args, double);
            return kelOKAY;
        case itemProbeLabel:
            return setLabel(va_arg(args, const char*));
        case itemProbeColor:
            for (int& v : color)
                v = va_arg(args, int);
            return kelOKAY;
        case itemProbeLevel:
            level = short(va_arg(args, int));
            return kelOKAY;
        default:
            return kelFile::setItem(tag, args);
        }
    }

protected:
    kelStatus openFile() override
    {
        size = kelSize(1, 1, 1, 1);
        pageSize = size;
        dtype = kelUChar;
        order = kelInterleaved;
        cm = kelLuminance;
        orientation = kelLowerLeftOrigin;
        compression = kelNoCompression;
        return kelOKAY;
    }
    kelStatus closeFile() override
    {
        if (fd >= 0 && ::close(fd) != 0)
            return kelSystemStatus(kelCLOSEFAILED);
        fd = -1;
        return kelOKAY;
    }

private:
    kelStatus setLabel(const char* text)
    {
        char* copy = text ? strdup(text) : nullptr;
        if (text && !copy)
            return kelMALLOCFAILED;
        free(label);
        label = copy;
        return kelOKAY;
    }

    int count = 7;
    double gamma = 0.5;
    char* label = strdup("probe");
    int color[3] = {1, 2, 3};
    short level = -2;
};

#endif
