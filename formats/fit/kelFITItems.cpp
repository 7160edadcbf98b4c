// The user area between the header and the first page, and the header's
// version, as items.
#include <kel/kelFITFile.h>

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <kel/kelLimits.h>

#include "kelFITFile.h"
#include "kelPositionedIO.h"

kelStatus kelFITFile::getItem(int tag, va_list args)
{
    switch (tag) {
    case kelFITextensionSize:
    case kelFITheaderVersion: {
        int* result = va_arg(args, int*);
        if (!result)
            return kelBADPARAMS;
        *result = tag == kelFITextensionSize ? dataOffset - userOffset : headerVersion;
        return kelOKAY;
    }
    case kelFITextensionData: {
        void* buffer = va_arg(args, void*);
        int bytes = va_arg(args, int);
        return getExtensionData(buffer, bytes);
    }
    case kelFITuserArea: {
        const void** data = va_arg(args, const void**);
        int* bytes = va_arg(args, int*);
        return data && bytes ? getUserArea(*data, *bytes) : kelBADPARAMS;
    }
    default:
        return kelBADPARAMS;
    }
}

kelStatus kelFITFile::setItem(int tag, va_list args)
{
    switch (tag) {
    case kelFITextensionSize:
        return setExtensionSize(va_arg(args, int));
    case kelFITextensionData: {
        const void* data = va_arg(args, const void*);
        int bytes = va_arg(args, int);
        return setExtensionData(data, bytes);
    }
    case kelFITuserArea: {
        const void* data = va_arg(args, const void*);
        int bytes = va_arg(args, int);
        return setUserArea(data, bytes);
    }
    case kelFITheaderVersion:
        return kelBADFIELDSET; // every file is written in its own version
    default:
        return kelBADPARAMS;
    }
}

// The whole area, read into a buffer of the file's that the caller borrows.
kelStatus kelFITFile::getUserArea(const void*& data, int& bytes)
{
    const int size = dataOffset - userOffset;
    kelStatus sts = kelCheckPageBytes((unsigned long long)size, "FIT user area");
    if (sts != kelOKAY)
        return sts;
    void* copy = realloc(userArea, size_t(size) + 1);
    if (!copy)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    userArea = copy;
    sts = getExtensionData(userArea, size);
    if (sts != kelOKAY)
        return sts;
    data = userArea;
    bytes = size;
    return kelOKAY;
}

kelStatus kelFITFile::setUserArea(const void* data, int bytes)
{
    if (bytes < 0 || (!data && bytes > 0))
        return kelBADPARAMS;
    if (bytes != dataOffset - userOffset) {
        kelStatus sts = setExtensionSize(bytes);
        if (sts != kelOKAY)
            return sts;
    }
    return setExtensionData(data, bytes);
}

// A user area that was sized but never written reads as zeros.
kelStatus kelFITFile::getExtensionData(void* buffer, int bytes)
{
    if (bytes < 0 || bytes > dataOffset - userOffset || (!buffer && bytes > 0))
        return kelBADPARAMS;
    ssize_t n = kelReadAt(fd, buffer, size_t(bytes), userOffset);
    if (n < 0)
        return kelSystemStatus(kelREADFAILED);
    if (n < bytes)
        memset(static_cast<char*>(buffer) + n, 0, size_t(bytes) - size_t(n));
    return kelOKAY;
}

// The pages follow the user area, so it keeps its size once they exist.
kelStatus kelFITFile::setExtensionSize(int bytes)
{
    if (bytes < 0)
        return kelBADPARAMS;
    if (dataWritten)
        return kelBADFIELDSET;
    if (bytes > INT_MAX - userOffset || !layoutFits((long long)userOffset + bytes))
        return kelBADPARAMS;
    dataOffset = userOffset + bytes;
    needHeader = 1;
    return kelOKAY;
}

kelStatus kelFITFile::setExtensionData(const void* data, int bytes)
{
    if (bytes < 0 || (!data && bytes > 0))
        return kelBADPARAMS;
    if (bytes > dataOffset - userOffset) {
        if (dataWritten)
            return kelBADPARAMS;
        kelStatus sts = setExtensionSize(bytes);
        if (sts != kelOKAY)
            return sts;
    }
    size_t written = 0;
    if (kelWriteAt(fd, data, size_t(bytes), userOffset, written) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
}
