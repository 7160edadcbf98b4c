#include "kelWEBPFile.h"

#include <kel/kelError.h>

#include <fcntl.h>
#include <unistd.h>

#include <new>

#include "kelOpenForReading.h"

kelWEBPFile::kelWEBPFile() : creating(0), imgidx(0), frames(0), timestamp(0), writeStatus(kelOKAY) {}

kelWEBPFile::~kelWEBPFile() = default;

kelStatus kelWEBPFile::openFile()
{
    return kelOpenForReading(fd, filename, accessmode, [this] {
        kelStatus sts = readFile();
        if (sts != kelOKAY)
            reader.reset();
        return sts;
    });
}

kelStatus kelWEBPFile::createFile()
{
    creating = 1;
    encoder.setName(filename);
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    // A file that could not start is never encoded.
    writeStatus = startFrame();
    return writeStatus;
}

// A new file is encoded here, whole.
kelStatus kelWEBPFile::closeFile()
{
    kelStatus sts = creating ? finishFile() : kelOKAY;
    reader.reset();
    pixels.clear();
    if (fd >= 0 && ::close(fd) != 0 && sts == kelOKAY)
        sts = kelSystemStatus(kelCLOSEFAILED);
    fd = -1;
    return sts;
}

int kelWEBPFile::getNumImgs()
{
    return creating ? frames + 1 : reader->frameCount();
}

int kelWEBPFile::getCurrentImg()
{
    return imgidx;
}

// A new file's frames before the current one are encoded already.
kelStatus kelWEBPFile::setCurrentImg(int i)
{
    if (i < 0 || i >= getNumImgs())
        return kelFILEINDEXOOB;
    if (creating)
        return i == imgidx ? kelStatus(kelOKAY) : kelStatus(kelREADONLY);
    imgidx = i;
    describeFrame(i);
    markAttributesChanged();
    return kelOKAY;
}

kelStatus kelWEBPFile::_getICCProfile(int& sz, void*& data)
{
    sz = 0;
    data = nullptr;
    if (!info.hasIcc)
        return kelBADPARAMS;
    sz = int(info.icc.size());
    data = info.icc.data();
    return kelOKAY;
}

kelStatus kelWEBPFile::_freeICCProfile(void*)
{
    return kelOKAY;
}

// The profile joins the file when it is closed.
kelStatus kelWEBPFile::_setICCProfile(int sz, const void* data)
{
    if (!creating)
        return kelREADONLY;
    if (sz < 0 || (sz > 0 && !data))
        return kelBADPARAMS;
    try {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        info.icc.assign(p, p + sz);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    info.hasIcc = sz > 0;
    return kelOKAY;
}
