#include "kelGIFFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFormat.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "kelGIFColormap.h"
#include "kelOpenForReading.h"

kelGIFFile::kelGIFFile()
    : nimgs(1), imgidx(0), globalMap(nullptr), localMap(nullptr), isThereLocalMap(0), localBits(0),
      screen{0, 0}, backgroundIndex(0), aspectRatio(0), loopCount(-1), position{0, 0}, beginOfImages(0),
      beginCurrentImage(0), endOfImages(0), dataSize(0), interlaced(0), doInterlace(0), wroteHeader(0),
      pending(0), writing(0), transIndex(-1), delayTime(0), disposalMethod(0), userInput(0), profileSize(0),
      profileData(nullptr), headerEntries(0)
{
}

kelGIFFile::~kelGIFFile()
{
    delete globalMap;
    delete localMap;
    deleteProfile();
}

kelStatus kelGIFFile::openFile()
{
    return kelOpenForReading(fd, filename, accessmode, [this] {
        input.attach(fd);
        wroteHeader = 1;
        // A read that failed on the way, not what it left unread, is the reason.
        kelStatus sts = input.failedRead(readHeader());
        if (sts == kelOKAY)
            beginCurrentImage = input.tell();
        return sts;
    });
}

// Every image written was flushed: only the descriptor is left to close.
kelStatus kelGIFFile::closeFile()
{
    delete globalMap;
    delete localMap;
    globalMap = localMap = nullptr;
    deleteProfile();
    const int rc = fd >= 0 ? ::close(fd) : 0;
    writing = 0;
    fd = -1;
    return rc != 0 ? kelSystemStatus(kelCLOSEFAILED) : kelOKAY;
}

int kelGIFFile::getNumImgs()
{
    return nimgs;
}

int kelGIFFile::getCurrentImg()
{
    return imgidx;
}

// What a failed selection must leave as it was.
struct kelGIFFile::ImageState {
    int imgidx;
    kelSize size;
    kelSize pageSize;
    kelGIFXY position;
    int isThereLocalMap;
    int localBits;
    int interlaced;
    int transIndex;
    int delayTime;
    int disposalMethod;
    int userInput;
    int loopCount;
    long long beginCurrentImage;
    kelColormap* localMap;
    unsigned char* profileData;
    int profileSize;
};

kelStatus kelGIFFile::setCurrentImg(int desiredIdx)
{
    if (desiredIdx < 0)
        return kelFILEINDEXOOB;
    if (pending && desiredIdx == imgidx)
        return kelOKAY;
    ImageState saved = {imgidx,     size,      pageSize,       position,  isThereLocalMap,
                        localBits,  interlaced, transIndex,    delayTime, disposalMethod,
                        userInput,  loopCount, beginCurrentImage, localMap, profileData,
                        profileSize};
    localMap = nullptr;
    profileData = nullptr;
    profileSize = 0;
    kelStatus sts = input.failedRead(selectImage(desiredIdx));
    if (sts != kelOKAY) {
        delete localMap;
        deleteProfile();
        imgidx = saved.imgidx;
        size = saved.size;
        pageSize = saved.pageSize;
        position = saved.position;
        isThereLocalMap = saved.isThereLocalMap;
        localBits = saved.localBits;
        interlaced = saved.interlaced;
        transIndex = saved.transIndex;
        delayTime = saved.delayTime;
        disposalMethod = saved.disposalMethod;
        userInput = saved.userInput;
        loopCount = saved.loopCount;
        beginCurrentImage = saved.beginCurrentImage;
        localMap = saved.localMap;
        profileData = saved.profileData;
        profileSize = saved.profileSize;
        return sts;
    }
    delete saved.localMap;
    free(saved.profileData);
    pending = 0;
    markAttributesChanged();
    return kelOKAY;
}

kelStatus kelGIFFile::getColormap(const kelColormap*& cmap)
{
    cmap = currentMap();
    return kelOKAY;
}

kelStatus kelGIFFile::setColormap(const kelColormap* cmap)
{
    return CopyColormap(cmap, localMap, &transIndex);
}

// The next image takes the configuration's geometry and layout, and
// starts without a colormap or placement of its own.
kelStatus kelGIFFile::appendImg(kelFile* src, kelFileConfig* cfg)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    kelFileConfig config;
    if (cfg)
        config = *cfg;
    kelStatus sts = format->applyDefaults(src, config);
    if (sts != kelOKAY)
        return sts;
    config.getSize(size);
    config.getPageSize(pageSize);
    dtype = config.getDataType();
    order = config.getOrder();
    cm = config.getColorModel();
    orientation = config.getOrientation();
    compression = config.getCompression();
    initImageAttrs();
    if (!pending) {
        ++nimgs;
        imgidx = nimgs - 1;
    }
    pending = 1;
    markAttributesChanged();
    return kelOKAY;
}
