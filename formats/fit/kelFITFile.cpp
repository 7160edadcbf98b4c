#include "kelFITFile.h"

#include <kel/kelDataSize.h>
#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "kelFITHeader.h"

kelFITFile::kelFITFile()
    : pageSizeBytes(0), userOffset(0), dataOffset(0), dataWritten(0), needHeader(0), scaleMinValue(0.0),
      scaleMaxValue(0.0), headerVersion(2), swapped(nullptr), userArea(nullptr)
{
}

kelFITFile::~kelFITFile()
{
    free(swapped);
    free(userArea);
}

kelStatus kelFITFile::openFile()
{
    const int openedHere = fd < 0;
    if (openedHere) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, accessmode);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    needHeader = 0;
    dataWritten = 1;
    kelStatus sts = readHeader();
    if (sts == kelOKAY) {
        compression = kelNoCompression;
        return kelOKAY;
    }
    if (openedHere) {
        ::close(fd);
        fd = -1;
    }
    return sts;
}

// Nothing is written until a page or the header is: the header waits for the
// final scale range and user area.
kelStatus kelFITFile::createFile()
{
    if (pageSize.c == 0)
        pageSize.c = order == kelSeparate ? 1 : size.c;
    else if (pageSize.c != size.c && order != kelSeparate)
        return kelBADPARAMS;
    headerVersion = 2;
    userOffset = dataOffset = kelFITHeaderBytes;
    if (!calcPageParams())
        return kelBADPARAMS;
    // Pages pass through one buffer of the framework and, byte-swapped, one
    // of the plug-in.
    kelStatus sts = kelCheckPageBytes(pageSizeBytes, "FIT page");
    if (sts != kelOKAY)
        return sts;
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    needHeader = 1;
    dataWritten = 0;
    scaleMinValue = kelDataMin(dtype);
    scaleMaxValue = kelDataMax(dtype);
    return kelOKAY;
}

kelStatus kelFITFile::closeFile()
{
    KEL_ASSERT(fd >= 0);
    int rc = ::close(fd);
    fd = -1;
    return rc != 0 ? kelSystemStatus(kelCLOSEFAILED) : kelOKAY;
}

kelStatus kelFITFile::flush()
{
    if (!needHeader)
        return kelOKAY;
    kelStatus sts = writeHeader();
    if (sts == kelOKAY)
        needHeader = 0;
    return sts;
}

kelStatus kelFITFile::getScaleMinMax(double& min, double& max)
{
    min = scaleMinValue;
    max = scaleMaxValue;
    return kelOKAY;
}

kelStatus kelFITFile::setScaleMinMax(double min, double max)
{
    if (accessmode == O_RDONLY)
        return kelREADONLY;
    scaleMinValue = min;
    scaleMaxValue = max;
    needHeader = 1;
    return kelOKAY;
}
