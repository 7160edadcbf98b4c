// The images of a TIFF file: its directories, selected, left and appended.
#include "kelTIFFFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFormat.h>
#include <kel/kelLimits.h>

#include <fcntl.h>

namespace {

// More directories than this are taken for a hostile chain.
const tdir_t maxImages = 65536;

} // namespace

kelStatus kelTIFFFile::countImages()
{
    const int repairs = stream.repairs; // of the first directory, read by the open
    tdir_t n = TIFFNumberOfDirectories(tif);
    stream.clear(); // a broken link after the first directories ends the chain there
    stream.repairs = repairs;
    if (n < 1)
        return kelBADIMGFMT;
    if (n > maxImages) {
        kelError(kelSeverityWarning, "TIFF file %s: only the first %u of %u directories are read",
                 stream.name.c_str(), unsigned(maxImages), unsigned(n));
        n = maxImages;
    }
    nimgs = int(n);
    imgidx = 0;
    return TIFFCurrentDirectory(tif) == 0 || TIFFSetDirectory(tif, 0) ? kelStatus(kelOKAY) : failure(kelBADIMGFMT);
}

// The current directory as kel's attributes.
kelStatus kelTIFFFile::takeLayout()
{
    kelTIFFLayout l;
    l.repaired = stream.repairs;
    kelStatus sts = kelTIFFDescribe(tif, l, stream.name.c_str());
    if (sts == kelOKAY)
        sts = kelCheckPageBytes(l.pageBytes(), "TIFF page");
    if (sts == kelOKAY)
        sts = kelCheckPageBytes(l.blockBytes, "TIFF block");
    if (sts != kelOKAY)
        return sts;
    layout = l;
    size = kelSize(l.width, l.height, 1, l.channels);
    pageSize = kelSize(l.blockW, l.blockH, 1, l.pageChannels());
    dtype = l.type;
    order = l.order;
    cm = l.cm;
    orientation = l.orientation;
    compression = l.compression;
    fresh = 0;
    blocksWritten = 0;
    direction = Idle;
    written.clear();
    return l.cm == kelRGBPalette ? loadColormap() : (colormap.reset(), kelStatus(kelOKAY));
}

// A new image is finished and its directory written; the block offsets
// of a changed one are written again, or the whole directory (libtiff puts
// a directory that grew at the end of the file). After a directory was
// written libtiff holds none until one is read.
kelStatus kelTIFFFile::leaveImage()
{
    if (accessmode != O_RDWR)
        return kelOKAY;
    kelStatus sts = fresh ? finishImage() : kelOKAY;
    if (sts == kelOKAY && !TIFFFlush(tif))
        sts = failure(kelWRITEFAILED);
    return sts;
}

int kelTIFFFile::getNumImgs()
{
    return nimgs;
}

int kelTIFFFile::getCurrentImg()
{
    return imgidx;
}

// libtiff's codec of an image is set up for one direction at a time: a
// written image turning to reads, or back, is written out and read again.
kelStatus kelTIFFFile::turn(Direction to)
{
    const Direction from = direction;
    direction = to;
    if (fresh || from == Idle || from == to)
        return kelOKAY;
    kelStatus sts = leaveImage();
    return sts == kelOKAY ? selectImage(imgidx) : sts;
}

kelStatus kelTIFFFile::selectImage(int index)
{
    stream.repairs = 0;
    if (!TIFFSetDirectory(tif, tdir_t(index)))
        return failure(kelBADIMGFMT);
    imgidx = index;
    return takeLayout();
}

kelStatus kelTIFFFile::setCurrentImg(int index)
{
    if (index < 0 || index >= nimgs)
        return kelFILEINDEXOOB;
    if (index == imgidx && !fresh)
        return kelOKAY;
    const int previous = imgidx;
    kelStatus sts = leaveImage();
    if (sts == kelOKAY)
        sts = selectImage(index);
    // An image kel cannot read leaves the previous one current.
    if (sts != kelOKAY && selectImage(previous) != kelOKAY)
        imgidx = previous;
    markAttributesChanged();
    return sts;
}

// The next image takes the configuration's geometry and layout, in a
// directory after the last.
kelStatus kelTIFFFile::appendImg(kelFile* src, kelFileConfig* cfg)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    kelFileConfig config;
    if (cfg)
        config = *cfg;
    kelStatus sts = format->applyDefaults(src, config);
    if (sts == kelOKAY)
        sts = leaveImage();
    if (sts != kelOKAY)
        return sts;
    // TIFFCreateDirectory drops the current directory without freeing it: a
    // directory that was read keeps its codec state and fields until here.
    // Changing the compression runs the codec's cleanup.
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFFreeDirectory(tif);
    if (TIFFCreateDirectory(tif) != 0)
        return failure(kelMALLOCFAILED);
    config.getSize(size);
    config.getPageSize(pageSize);
    dtype = config.getDataType();
    order = config.getOrder();
    cm = config.getColorModel();
    orientation = config.getOrientation();
    compression = config.getCompression();
    imgidx = nimgs++;
    markAttributesChanged();
    return startImage();
}

kelStatus kelTIFFFile::getColormap(const kelColormap*& cmap)
{
    cmap = colormap.get();
    return cmap ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYFILE);
}
